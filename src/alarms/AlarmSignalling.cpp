#include "alarms/AlarmSignalling.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace im::alarms {

AlarmSignalling::AlarmSignalling(Flags flags, AlarmOutputs& outputs, core::Balloons& balloons,
                                 core::Sound& sound, core::Timer& timerAlarm,
                                 core::Timer& timerAlarmSound, QObject* parent)
    : QObject(parent),
      flags_(flags),
      outputs_(outputs),
      balloons_(balloons),
      sound_(sound),
      soundTimer_(timerAlarmSound) {
    connect(&timerAlarm, &core::Timer::timeout, this, &AlarmSignalling::TimerAlarmTimer);
    connect(&timerAlarmSound, &core::Timer::timeout, this, &AlarmSignalling::TimerAlarmSoundTimer);
    timerAlarm.setInterval(kBlinkMs);
    timerAlarm.start();
    setSoundPeriod(kDefaultSoundSeconds);
}

QString AlarmSignalling::balloonTitle(Channel channel) {
    switch (channel) {
        case Channel::Humidity:
            return QCoreApplication::translate("AlarmSignalling", "Влажность");
        case Channel::T2:
            return QCoreApplication::translate("AlarmSignalling", "Температура T2");
        case Channel::T1:
            break;
    }
    return QCoreApplication::translate("AlarmSignalling", "Температура T1");
}

bool& AlarmSignalling::flag(Channel channel) {
    switch (channel) {
        case Channel::Humidity:
            return flags_.channels.hm;
        case Channel::T2:
            return flags_.channels.t2;
        case Channel::T1:
            break;
    }
    return flags_.channels.t1;
}

bool AlarmSignalling::signalled(Channel channel) {
    return flag(channel) && enabled(channel);
}

void AlarmSignalling::TimerAlarmTimer() {
    bool higherRankAlarmed = false;
    for (const Channel channel : kRankOrder) {
        bool& red = red_[index(channel)];
        if (signalled(channel)) {
            balloons_.ShowAlarmBalloon(
                balloonTitle(channel),
                QCoreApplication::translate("AlarmSignalling", "За пределами допустимых значений!"),
                10);
            red = !red;
            // One flashing channel is enough: the taskbar follows the
            // highest alarmed one, enabled or not.
            if (red && !higherRankAlarmed) {
                outputs_.flashTaskbar();
            }
        } else {
            red = false;
        }
        outputs_.setPanelRed(channel, red);
        higherRankAlarmed = higherRankAlarmed || flag(channel);
    }
}

void AlarmSignalling::TimerAlarmSoundTimer() {
    const bool anyChannel = std::any_of(kRankOrder.begin(), kRankOrder.end(),
                                        [this](Channel c) { return signalled(c); });
    if (anyChannel || (flags_.noData && flags_.noDataSound)) {
        sound_.play(alarmSound);
    }
}

void AlarmSignalling::Panel1DblClick(Channel channel) {
    flag(channel) = false;
    const link::AlarmFlags& f = flags_.channels;
    if (!f.t1 && !f.t2 && !f.hm) {
        balloons_.HideAlarmBalloon();
    }
    Q_EMIT flagsChanged();
}

void AlarmSignalling::N21Click() {
    Panel1DblClick(Channel::T1);
    Panel1DblClick(Channel::T2);
    Panel1DblClick(Channel::Humidity);
    flags_.noData = false;
    Q_EMIT flagsChanged();
}

void AlarmSignalling::setEnabled(Channel channel, bool on) {
    if (enabled_[index(channel)] != on) {
        enabled_[index(channel)] = on;
        Q_EMIT flagsChanged();
    }
}

void AlarmSignalling::setSoundPeriod(int seconds) {
    if (seconds <= 0) {
        soundTimer_.stop();
        return;
    }
    // A period no timer can hold is the longest one it can.
    const qint64 ms = std::min<qint64>(qint64(seconds) * 1000, std::numeric_limits<int>::max());
    soundTimer_.setInterval(static_cast<int>(ms));
    soundTimer_.start();
}

}  // namespace im::alarms
