#pragma once

#include "remote/Telemetry.h"

#include <QObject>

#include <functional>

namespace im::link {
class FrameDecoder;
class ReceivePath;
}  // namespace im::link

namespace im::remote {

// Feeds the telemetry from a program's receive path: every journal line the
// decoder makes, whether data arrives, and the alarm flags, read again
// whenever a chunk was decoded, the watchdog ticked or refresh() is called
// (a reset, a switched channel).
class TelemetryFeed : public QObject {
    Q_OBJECT
public:
    TelemetryFeed(Telemetry& telemetry, link::FrameDecoder& decoder, link::ReceivePath& receive,
                  std::function<AlarmState()> readAlarms, QObject* parent = nullptr);

    void refresh();

private:
    Telemetry& telemetry_;
    std::function<AlarmState()> readAlarms_;
};

}  // namespace im::remote
