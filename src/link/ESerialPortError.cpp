#include "link/ESerialPortError.h"

namespace im::link {

namespace {

QString messageFor(int code, int osError) {
    QString text = ESerialPortError::textOf(code);
    if (osError != ESerialPortError::kNoOsError) {
        text += QStringLiteral(" (error code: %1)").arg(osError);
    }
    return text;
}

}  // namespace

ESerialPortError::ESerialPortError(int code, int osError)
    : core::Error(messageFor(code, osError)), code_(code), osError_(osError) {}

QString ESerialPortError::textOf(int code) {
    switch (code) {
        case 1:
            return QStringLiteral("Unable to open com port");
        case 3:
            return QStringLiteral("ReadFile function failed");
        case 5:
            return QStringLiteral("PurgeComm function failed");
        case 6:
            return QStringLiteral("Unable to get async status");
        case 7:
            return QStringLiteral("SetCommState function failed");
        case 8:
            return QStringLiteral("SetCommTimeouts failed");
        case 9:
            return QStringLiteral("SetupComm function failed");
        case 10:
            return QStringLiteral("ClearCommError function failed");
        case 12:
            return QStringLiteral("EscapeCommFunction function failed");
        case 16:
            return QStringLiteral("Failed to store settings");
        case 17:
            return QStringLiteral("Failed to load settings");
        case 23:
            return QStringLiteral("Registry error");
        default:
            return QStringLiteral("Serial port error %1").arg(code);
    }
}

}  // namespace im::link
