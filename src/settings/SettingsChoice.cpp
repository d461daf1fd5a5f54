#include "settings/SettingsChoice.h"

#include "settings/Autorun.h"
#include "settings/SettingsFile.h"

#include <algorithm>

namespace im::settings {

int Range::clamp(int value) const {
    return std::clamp(value, minimum, maximum);
}

namespace {

SettingsChoice readFrom(const SettingsFile& settings) {
    SettingsChoice choice;
    choice.openPortAtStart = settings.read(keys::OpenStart);
    choice.signalOffData = settings.read(keys::SignalOffData);
    choice.signalOffDataSound = choice.signalOffData && settings.read(keys::SignalOffDataSound);
    choice.minimizeToTray = settings.read(keys::MinToTrey);
    choice.startInTray = settings.read(keys::StartInTrey);
    choice.t1Enabled = settings.read(keys::T1_enable);
    choice.t2Enabled = settings.read(keys::T2_enable);
    choice.hmEnabled = settings.read(keys::HM_enable);
    choice.soundSeconds = kSoundSecondsRange.clamp(settings.read(keys::TimeSound));
    choice.skipData = kSkipDataRange.clamp(settings.read(keys::SkipData));
    choice.saveMinutes = kSaveMinutesRange.clamp(settings.read(keys::Time));
    return choice;
}

}  // namespace

SettingsChoice SettingsChoice::read(const SettingsFile& settings, const Autorun& autorun,
                                    const QString& currentAlarmSound) {
    SettingsChoice choice;
    try {
        choice = readFrom(settings);
    } catch (const SettingsReadError&) {
        choice = readFrom(SettingsFile(QString()));  // no file: every default
    }
    choice.autorun = autorun.present();
    choice.alarmSound = currentAlarmSound;
    return choice;
}

void SettingsChoice::apply(SettingsFile& settings, Autorun& entry, SettingsTarget& target) const {
    settings.write(keys::OpenStart, openPortAtStart);
    settings.write(keys::SignalOffData, signalOffData);
    settings.write(keys::SignalOffDataSound, signalOffDataSound);
    target.setSignalOffData(signalOffData);

    settings.write(keys::StartInTrey, startInTray);
    settings.write(keys::MinToTrey, minimizeToTray);
    target.setMinimizeToTray(minimizeToTray);

    settings.write(keys::TimeSound, soundSeconds);
    settings.write(keys::SkipData, skipData);
    settings.write(keys::Time, saveMinutes);
    target.setSavePeriod(saveMinutes);
    target.setDecimation(skipData);

    settings.write(keys::T1_enable, t1Enabled);
    settings.write(keys::T2_enable, t2Enabled);
    settings.write(keys::HM_enable, hmEnabled);
    target.setAlarmEnables(t1Enabled, t2Enabled, hmEnabled);
    target.setSignalOffDataSound(signalOffDataSound);

    if (autorun) {
        entry.write();
    } else {
        entry.remove();
    }

    target.setAlarmSound(alarmSound);
    target.setSoundPeriod(soundSeconds);
}

}  // namespace im::settings
