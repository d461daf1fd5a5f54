// The settings file as the program reads it at start: any bytes as the
// file, every key of the program read with its rule, and the port settings
// applied to a port.

#include "FuzzApp.h"
#include "link/PortSettingsStorage.h"
#include "link/TSerialPort.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsSchema.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

using namespace im;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const settings::SettingsFile settings(path);
    for (const settings::IntKey* key : settings::keys::intKeys) {
        (void)settings.read(*key);
    }
    for (const settings::BoolKey* key : settings::keys::boolKeys) {
        (void)settings.read(*key);
    }
    for (const settings::StringKey* key : settings::keys::stringKeys) {
        (void)settings.read(*key);
    }
    link::TSerialPort port;
    link::LoadPortSettings(port, path);
    return 0;
}
