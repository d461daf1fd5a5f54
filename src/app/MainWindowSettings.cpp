#include "app/MainWindowSettings.h"

#include "app/NormalPlace.h"
#include "app/TForm1.h"
#include "app/TTrayIcon.h"
#include "link/PortSettingsStorage.h"
#include "settings/SettingsFile.h"

namespace im::app {

namespace keys = settings::keys;
using settings::SettingsFile;

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

void MainWindowSettings::writeForClose(const QRect& place) {
    // Every key in one replacement of the file; a file that cannot be
    // written fails as the port's settings, the first thing written, would.
    TForm1& f = form_;
    SettingsFile settings = SettingsFile::forApplication();
    try {
        settings.beginBatch();
    } catch (const settings::SettingsReadError&) {
        throw link::storeFailedError();
    }
    link::StorePortSettings(f.ComPort1, settings);
    // One kind of position for both states: the client area's. (The frame's
    // origin is not known for the maximised state, and mixing the two would
    // move the window by its title bar at every maximised close.)
    const bool normal = !(f.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    if (NormalPlace::positionKnown()) {
        settings.write(keys::Top, place.top());
        settings.write(keys::Left, place.left());
    }
    if (normal) {
        settings.write(keys::Width, f.width());
        settings.write(keys::Height, f.height());
    }
    settings.write(keys::InitMax, f.isMaximized());
    settings.write(keys::GainY, f.ScrollBarGainY->value());
    settings.write(keys::PosY, f.ScrollBarPosY->value());
    settings.write(keys::XScale, f.ScrollBarXScale->value());
    for (const auto& [key, field] : thresholdKeys()) {
        settings.write(*key, f.decoder().thresholds.*field);
    }
    settings.write(keys::Sound, f.alarms().alarmSound);
    try {
        settings.commit();
    } catch (const settings::SettingsWriteError&) {
        throw link::storeFailedError();
    }
}

}  // namespace im::app
