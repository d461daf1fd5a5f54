#pragma once

#include "link/TelemetryFrame.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>

#include <array>
#include <optional>

namespace im::remote {

// One recorded line's values, as the network sees them.
struct Reading {
    QDateTime time;
    link::DecodedFrame values;
};

// The alarm flags an operator would see signalled: a channel's latched flag
// while its alarm is enabled, and the no-data flag.
struct AlarmState {
    bool t1 = false;
    bool t2 = false;
    bool hm = false;
    bool noData = false;
    friend bool operator==(const AlarmState&, const AlarmState&) = default;
};

// The names the network gives the controller's eight outputs, bit 0 first.
inline constexpr std::array<const char*, 8> kOutputNames{
    "buzzer",       "heater",        "difference", "humidifier",
    "turn_reverse", "turn_movement", "cooling",    "relay"};
// The names of the alarm flags in the alarm message, in its order.
inline constexpr std::array<const char*, 4> kAlarmNames{"t1", "t2", "hm", "no_data"};

// Tenths as a JSON number, with a full stop whatever the locale:
// 378 -> 37.8, 370 -> 37.0, -5 -> -0.5.
void appendTenths(QByteArray& out, int tenths);

// The state message: {"time": ISO 8601 with the local offset, "t1": 37.8,
// ..., "hm": 56, "outputs": "_2__5___", "buzzer": false, ...}. Numbers are
// written with a full stop whatever the locale.
QByteArray stateJson(const Reading& reading);
// {"t1": false, "t2": true, "hm": false, "no_data": false}
QByteArray alarmJson(const AlarmState& alarms);
// The state message with the alarm flags added under "alarm".
QByteArray stateWithAlarmsJson(const std::optional<Reading>& reading, const AlarmState& alarms,
                               bool receiving);

// What the incubator looks like from outside the program: the newest
// recorded line, the alarm flags and whether data is arriving. Everything
// that publishes (the broker client, the web page) reads it and follows
// its signals; the window and the recorder feed it. Lives on the interface
// thread and costs a copy of a few numbers per line.
class Telemetry : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void recordLine(const link::DecodedFrame& values, const QDateTime& time);
    // Takes the flags as they are now; signals only when they changed.
    void setAlarms(const AlarmState& alarms);
    void setReceiving(bool receiving);

    const std::optional<Reading>& last() const { return last_; }
    const AlarmState& alarms() const { return alarms_; }
    bool receiving() const { return receiving_; }

Q_SIGNALS:
    void lineRecorded();
    void alarmsChanged();
    void receivingChanged();

private:
    std::optional<Reading> last_;
    AlarmState alarms_;
    bool receiving_ = false;
};

}  // namespace im::remote
