#include "remote/TelemetryFeed.h"

#include "link/FrameDecoder.h"
#include "link/ReceivePath.h"

namespace im::remote {

TelemetryFeed::TelemetryFeed(Telemetry& telemetry, link::FrameDecoder& decoder,
                             link::ReceivePath& receive, std::function<AlarmState()> readAlarms,
                             QObject* parent)
    : QObject(parent), telemetry_(telemetry), readAlarms_(std::move(readAlarms)) {
    decoder.lineRecorded = [this](const link::DecodedFrame& values, const QDateTime& time) {
        telemetry_.recordLine(values, time);
    };
    connect(&receive, &link::ReceivePath::receiving, this, [this](bool arriving) {
        telemetry_.setReceiving(arriving);
        refresh();
    });
}

void TelemetryFeed::refresh() {
    telemetry_.setAlarms(readAlarms_());
}

}  // namespace im::remote
