#pragma once

#include "core/ErrorReport.h"

namespace im::link {

// A failure of the serial port: a code from 1 to 23 and, where the operating
// system gave one, its error number.
class ESerialPortError : public core::Error {
public:
    static constexpr int kNoOsError = -1;

    ESerialPortError(int code, int osError);
    int code() const { return code_; }
    int osError() const { return osError_; }

    // "Unable to open com port", "ReadFile function failed", ...
    static QString textOf(int code);

private:
    int code_;
    int osError_;
};

}  // namespace im::link
