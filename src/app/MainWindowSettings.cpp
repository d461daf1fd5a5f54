#include "app/MainWindowSettings.h"

#include "app/TForm1.h"
#include "app/TTrayIcon.h"

namespace im::app {

QString MainWindowSettings::alarmSound() const {
    return form_.alarms().alarmSound;
}

void MainWindowSettings::setSignalOffData(bool on) {
    form_.receivePath().SignalOffData = on;
}

void MainWindowSettings::setMinimizeToTray(bool on) {
    form_.TrayIcon1->MinimizeToTray = on;
}

void MainWindowSettings::setSavePeriod(int minutes) {
    form_.setSavePeriod(minutes);
}

void MainWindowSettings::setDecimation(int n) {
    form_.decoder().setDecimation(n);
}

void MainWindowSettings::setAlarmEnables(bool t1, bool t2, bool humidity) {
    form_.alarms().setEnabled(alarms::Channel::T1, t1);
    form_.alarms().setEnabled(alarms::Channel::T2, t2);
    form_.alarms().setEnabled(alarms::Channel::Humidity, humidity);
}

void MainWindowSettings::setSignalOffDataSound(bool on) {
    form_.receivePath().SignalOffDataSound = on;
}

void MainWindowSettings::setAlarmSound(const QString& name) {
    form_.alarms().alarmSound = name;
}

void MainWindowSettings::setSoundPeriod(int seconds) {
    form_.alarms().setSoundPeriod(seconds);
}

}  // namespace im::app
