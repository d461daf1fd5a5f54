#pragma once

#include "core/Balloons.h"
#include "core/Sound.h"
#include "core/Timer.h"
#include "link/FrameDecoder.h"

#include <QObject>
#include <QString>

#include <array>

namespace im::alarms {

// The three signalled channels, in the order every blink tick serves them.
enum class Channel { Humidity, T2, T1 };
inline constexpr std::array<Channel, 3> kRankOrder{Channel::Humidity, Channel::T2, Channel::T1};

// What signalling does outside itself: the window paints its value panels
// and flashes its taskbar button; tests record.
class AlarmOutputs {
public:
    virtual ~AlarmOutputs() = default;
    virtual void setPanelRed(Channel channel, bool red) = 0;
    virtual void flashTaskbar() = 0;
};

// Serves the latched alarm flags: every 700 ms the panel of each enabled,
// alarmed channel changes between red and normal and its balloon is shown
// again; every sound period the alarm sound plays while an enabled channel
// or the no-data flag (with its switch) is set. Only the operator's reset
// clears a channel's flag.
class AlarmSignalling : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlinkMs = 700;
    static constexpr int kDefaultSoundSeconds = 3;

    // The flags it serves: the channels' from frame decoding, the no-data
    // flag and its sound switch from the watchdog.
    struct Flags {
        link::AlarmFlags& channels;
        bool& noData;
        const bool& noDataSound;
    };

    // Both timers are the window's: TimerAlarm, started here and running
    // until the end, and TimerAlarmSound, running while the period is not 0.
    AlarmSignalling(Flags flags, AlarmOutputs& outputs, core::Balloons& balloons,
                    core::Sound& sound, core::Timer& timerAlarm, core::Timer& timerAlarmSound,
                    QObject* parent = nullptr);

    void TimerAlarmTimer();
    void TimerAlarmSoundTimer();
    // A double click on a channel's panel clears its flag.
    void Panel1DblClick(Channel channel);
    // "Сброс тревоги": every channel, then the no-data flag.
    void N21Click();

    bool enabled(Channel channel) const { return enabled_[index(channel)]; }
    void setEnabled(Channel channel, bool on);

    // The name played: a path or a bare name.
    QString alarmSound;
    // Seconds between two plays; 0 (or less) stops the sound timer.
    void setSoundPeriod(int seconds);

Q_SIGNALS:
    // A reset or a switched channel: what is signalled may have changed.
    void flagsChanged();

private:
    static QString balloonTitle(Channel channel);
    static std::size_t index(Channel channel) { return static_cast<std::size_t>(channel); }
    bool& flag(Channel channel);
    bool signalled(Channel channel);

    Flags flags_;
    AlarmOutputs& outputs_;
    core::Balloons& balloons_;
    core::Sound& sound_;
    core::Timer& soundTimer_;
    std::array<bool, 3> enabled_{true, true, true};
    std::array<bool, 3> red_{};
};

}  // namespace im::alarms
