#include "journal/ViewFont.h"

#include "core/ErrorReport.h"

#include <QCoreApplication>

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
    const int stored =
        file.ReadInteger(QLatin1String(size.section), QLatin1String(size.name), font.pointSize());
    if (stored > 0) {
        font.setPointSize(std::min(stored, kLargestFontSize));
    }
    view.setFont(font);
}

void storeFont(settings::SettingsFile& file, const settings::StringKey& name,
               const settings::IntKey& size, const QFont& font) {
    file.write(name, font.family());
    file.write(size, font.pointSize());
}

void refuseOversizedFont(const QFont& font) {
    if (font.pointSize() > kLargestFontSize) {
        throw core::Error(QCoreApplication::translate(
                              "ViewFont", "Шрифт больше %1 пунктов не годится: шрифт не изменён.")
                              .arg(kLargestFontSize));
    }
}

}  // namespace im::journal
