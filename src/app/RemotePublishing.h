#pragma once

#include "remote/MqttPublisher.h"
#include "remote/Telemetry.h"
#include "remote/TelemetryFeed.h"

#include <QObject>

class QMainWindow;

namespace im::alarms {
class AlarmSignalling;
}
namespace im::core {
class Balloons;
}

namespace im::app {

class Dialogs;

// The main window's part in publishing the incubator: feeds the telemetry
// from its receive path and alarms, runs the publisher on the [Mqtt]
// settings, tells the operator how the connection fares and opens "MQTT…".
class RemotePublishing : public QObject {
    Q_OBJECT
public:
    RemotePublishing(link::FrameDecoder& decoder, link::ReceivePath& receive,
                     alarms::AlarmSignalling& alarms, QMainWindow& window, core::Balloons& balloons,
                     Dialogs& dialogs);

    // Starts publishing as the settings file says. Throws what reading the
    // file throws.
    void start();
    void openDialog();

    remote::Telemetry& telemetry() { return telemetry_; }
    remote::MqttPublisher& publisher() { return publisher_; }

private:
    void tell(const QString& text, bool trouble);

    QMainWindow& window_;
    core::Balloons& balloons_;
    Dialogs& dialogs_;
    remote::Telemetry telemetry_;
    remote::TelemetryFeed feed_;
    remote::MqttPublisher publisher_;
    bool troubleTold_ = false;
};

}  // namespace im::app
