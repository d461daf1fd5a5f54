#include "link/ESerialPortError.h"

#include <QCoreApplication>

namespace im::link {

namespace {

QString messageFor(int code, int osError) {
    QString text = ESerialPortError::textOf(code);
    if (osError != ESerialPortError::kNoOsError) {
        text += QCoreApplication::translate("ESerialPortError", " (error code: %1)").arg(osError);
    }
    return text;
}

}  // namespace

ESerialPortError::ESerialPortError(int code, int osError)
    : core::Error(messageFor(code, osError)), code_(code), osError_(osError) {}

QString ESerialPortError::textOf(int code) {
    switch (code) {
        case 1:
            return QCoreApplication::translate("ESerialPortError", "Unable to open com port");
        case 3:
            return QCoreApplication::translate("ESerialPortError", "ReadFile function failed");
        case 5:
            return QCoreApplication::translate("ESerialPortError", "PurgeComm function failed");
        case 6:
            return QCoreApplication::translate("ESerialPortError", "Unable to get async status");
        case 7:
            return QCoreApplication::translate("ESerialPortError", "SetCommState function failed");
        case 8:
            return QCoreApplication::translate("ESerialPortError", "SetCommTimeouts failed");
        case 9:
            return QCoreApplication::translate("ESerialPortError", "SetupComm function failed");
        case 10:
            return QCoreApplication::translate("ESerialPortError",
                                               "ClearCommError function failed");
        case 12:
            return QCoreApplication::translate("ESerialPortError",
                                               "EscapeCommFunction function failed");
        case 16:
            return QCoreApplication::translate("ESerialPortError", "Failed to store settings");
        case 17:
            return QCoreApplication::translate("ESerialPortError", "Failed to load settings");
        case 23:
            return QCoreApplication::translate("ESerialPortError", "Registry error");
        default:
            return QCoreApplication::translate("ESerialPortError", "Serial port error %1")
                .arg(code);
    }
}

}  // namespace im::link
