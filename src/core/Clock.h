#pragma once

#include <QDateTime>

namespace im::core {

// The local date and time, behind an interface so that record lines and day
// files can be tested at any moment of any day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};

}  // namespace im::core
