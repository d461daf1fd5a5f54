#pragma once

#include "remote/JournalHistory.h"
#include "remote/MqttPublisher.h"
#include "remote/Telemetry.h"
#include "remote/TelemetryFeed.h"
#include "remote/WebPublisher.h"

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace im::alarms {
class AlarmSignalling;
}
namespace im::core {
class Balloons;
}
namespace im::journal {
class JournalView;
}

namespace im::app {

class Dialogs;

// The main window's part in showing the incubator beyond the program:
// feeds the telemetry from its receive path, alarms and journal, runs the
// MQTT publisher and the web page on their settings, tells the operator how
// they fare and opens "MQTT…" and "Веб-страница…".
class RemotePublishing : public QObject {
    Q_OBJECT
public:
    RemotePublishing(link::FrameDecoder& decoder, link::ReceivePath& receive,
                     alarms::AlarmSignalling& alarms, journal::JournalView& journal,
                     QMainWindow& window, core::Balloons& balloons, Dialogs& dialogs);

    // "MQTT…" and "Веб-страница…" at the end of the menu, with access keys.
    void addMenuItems(QMenu& menu, QMenuBar& bar);
    // Starts publishing as the settings file says. Throws what reading the
    // file throws.
    void start();
    void openDialog();
    void openWebDialog();

    remote::Telemetry& telemetry() { return telemetry_; }
    remote::MqttPublisher& publisher() { return publisher_; }
    remote::WebPublisher& web() { return web_; }
    QAction* mqttAction = nullptr;
    QAction* webAction = nullptr;

private:
    void tell(const QString& text, bool trouble);

    QMainWindow& window_;
    core::Balloons& balloons_;
    Dialogs& dialogs_;
    remote::Telemetry telemetry_;
    remote::TelemetryFeed feed_;
    remote::MqttPublisher publisher_;
    remote::WebPublisher web_;
    remote::JournalHistory history_;
    bool troubleTold_ = false;
};

}  // namespace im::app
