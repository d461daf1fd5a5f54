#include "app/RemotePublishing.h"

#include "alarms/AlarmSignalling.h"
#include "app/Controls.h"
#include "app/MqttDialog.h"
#include "app/WebDialog.h"
#include "core/AppLocation.h"
#include "core/Balloons.h"
#include "core/ErrorReport.h"
#include "core/Mnemonics.h"
#include "journal/JournalView.h"
#include "link/ReceivePath.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace im::app {

RemotePublishing::RemotePublishing(link::FrameDecoder& decoder, link::ReceivePath& receive,
                                   alarms::AlarmSignalling& alarms, journal::JournalView& journal,
                                   QMainWindow& window, core::Balloons& balloons, Dialogs& dialogs)
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
      publisher_(telemetry_, QCoreApplication::applicationVersion()),
      web_(telemetry_, core::AppLocation::logDirPath()),
      history_(journal.store(), web_) {
    connect(&alarms, &alarms::AlarmSignalling::flagsChanged, &feed_,
            &remote::TelemetryFeed::refresh);
    connect(&publisher_, &remote::MqttPublisher::statusChanged, this, &RemotePublishing::tell);
    connect(&web_, &remote::WebPublisher::statusChanged, this, &RemotePublishing::tell);
    connect(&journal, &journal::JournalView::rewritten, &history_,
            &remote::JournalHistory::rewritten);
    connect(&web_, &remote::WebPublisher::listening, &history_, &remote::JournalHistory::rewritten);
}

void RemotePublishing::addMenuItems(QMenu& menu, QMenuBar& bar) {
    auto guarded = [](auto open) { return [open] { core::runGuarded(open); }; };
    mqttAction = menu.addAction(QCoreApplication::translate("RemotePublishing", "MQTT…"), this,
                                guarded([this] { openDialog(); }));
    webAction = menu.addAction(QCoreApplication::translate("RemotePublishing", "Веб-страница…"),
                               this, guarded([this] { openWebDialog(); }));
    core::addMnemonics(&bar);
}

void RemotePublishing::start() {
    const settings::SettingsFile file = settings::SettingsFile::forApplication();
    publisher_.apply(remote::MqttSettings::read(file));
    web_.apply(remote::WebSettings::read(file));
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

void RemotePublishing::openWebDialog() {
    auto* dialog = new WebDialog(
        web_.settings(), dialogs_,
        [this](const remote::WebSettings& s) {
            settings::SettingsFile file = settings::SettingsFile::forApplication();
            s.write(file);
            web_.apply(s);
        },
        &window_);
    showModalOver(window_, dialog);
}

}  // namespace im::app
