#include "journal/ViewFont.h"

#include <QWidget>

#include <algorithm>

namespace im::journal {

QFont nameAndSizeOf(const QFont& font) {
    QFont kept;
    kept.setFamily(font.family());
    kept.setPointSize(font.pointSize());
    return kept;
}

void applyStoredFont(QWidget& view, const settings::SettingsFile& file,
                     const settings::StringKey& name, const settings::IntKey& size) {
    QFont font = view.font();
    font.setFamily(
        file.ReadString(QLatin1String(name.section), QLatin1String(name.name), font.family()));
    // A size no font dialog offers would draw the journal as unreadable boxes.
    constexpr int kLargest = 72;
    const int stored =
        file.ReadInteger(QLatin1String(size.section), QLatin1String(size.name), font.pointSize());
    if (stored > 0) {
        font.setPointSize(std::min(stored, kLargest));
    }
    view.setFont(font);
}

void storeFont(settings::SettingsFile& file, const settings::StringKey& name,
               const settings::IntKey& size, const QFont& font) {
    file.write(name, font.family());
    file.write(size, font.pointSize());
}

}  // namespace im::journal
