#include "journal/ViewFont.h"

#include <QWidget>

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
    font.setPointSize(
        file.ReadInteger(QLatin1String(size.section), QLatin1String(size.name), font.pointSize()));
    view.setFont(font);
}

void storeFont(settings::SettingsFile& file, const settings::StringKey& name,
               const settings::IntKey& size, const QFont& font) {
    file.write(name, font.family());
    file.write(size, font.pointSize());
}

}  // namespace im::journal
