#pragma once

#include <QString>

namespace im::settings {
class SettingsFile;
}

namespace im::link {

class ESerialPortError;
class TSerialPort;

// The port's basic settings in section "ComPort1" of the settings file at
// path. Loading reads inside a settings update bracket, so an open port is
// reconfigured once; a value text that matches none of its list gives that
// setting's fallback (9600, 1, 8, None, Custom); a missing key keeps the
// current value. Failures of the file become ESerialPortError 17 and 16.
void LoadPortSettings(TSerialPort& port, const QString& path);
void StorePortSettings(const TSerialPort& port, const QString& path);
// The same into a file that may be gathering a batch of writes.
void StorePortSettings(const TSerialPort& port, settings::SettingsFile& file);
// The error of a store that failed (16), for a batch whose commit failed.
ESerialPortError storeFailedError();

}  // namespace im::link
