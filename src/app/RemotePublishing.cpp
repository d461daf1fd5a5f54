#include "app/RemotePublishing.h"

#include "alarms/AlarmSignalling.h"
#include "app/Controls.h"
#include "app/MqttDialog.h"
#include "core/Balloons.h"
#include "link/ReceivePath.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStatusBar>

namespace im::app {

RemotePublishing::RemotePublishing(link::FrameDecoder& decoder, link::ReceivePath& receive,
                                   alarms::AlarmSignalling& alarms, QMainWindow& window,
                                   core::Balloons& balloons, Dialogs& dialogs)
    : QObject(nullptr),
      window_(window),
      balloons_(balloons),
      dialogs_(dialogs),
      feed_(telemetry_, decoder, receive,
            [&decoder, &receive, &alarms] {
                using alarms::Channel;
                const link::AlarmFlags& f = decoder.alarmFlags;
                return remote::AlarmState{
                    f.t1 && alarms.enabled(Channel::T1), f.t2 && alarms.enabled(Channel::T2),
                    f.hm && alarms.enabled(Channel::Humidity), receive.noDataFlag};
            }),
      publisher_(telemetry_, QCoreApplication::applicationVersion()) {
    connect(&alarms, &alarms::AlarmSignalling::flagsChanged, &feed_,
            &remote::TelemetryFeed::refresh);
    connect(&publisher_, &remote::MqttPublisher::statusChanged, this, &RemotePublishing::tell);
}

void RemotePublishing::start() {
    publisher_.apply(remote::MqttSettings::read(settings::SettingsFile::forApplication()));
}

// Every change reaches the status bar; a fault, and the recovery from one,
// also the tray, as the port's troubles do.
void RemotePublishing::tell(const QString& text, bool trouble) {
    window_.statusBar()->showMessage(text);
    if (trouble || troubleTold_) {
        balloons_.ShowBalloon(QStringLiteral("MQTT"), text,
                              trouble ? core::BalloonIcon::Warning : core::BalloonIcon::Info, 10);
    }
    troubleTold_ = trouble;
}

void RemotePublishing::openDialog() {
    auto* dialog = new MqttDialog(
        publisher_.settings(), dialogs_,
        [this](const remote::MqttSettings& s) {
            settings::SettingsFile file = settings::SettingsFile::forApplication();
            s.write(file);
            publisher_.apply(s);
        },
        &window_);
    showModalOver(window_, dialog);
}

}  // namespace im::app
