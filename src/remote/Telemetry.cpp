#include "remote/Telemetry.h"

#include "remote/LocalTime.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace im::remote {

namespace {

void appendBool(QByteArray& out, const char* name, bool value) {
    out += '"';
    out += name;
    out += value ? "\": true" : "\": false";
}

void appendAlarms(QByteArray& out, const AlarmState& alarms) {
    const std::array<bool, 4> flags{alarms.t1, alarms.t2, alarms.hm, alarms.noData};
    out += '{';
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        appendBool(out, kAlarmNames[i], flags[i]);
    }
    out += '}';
}

// ISO 8601 with the offset: 2026-12-08T14:03:27+03:00, or Z at UTC.
void appendIsoTime(QByteArray& out, const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    const int offset = offsetOf(time);
    char text[40];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(),
                          d.day(), t.hour(), t.minute(), t.second());
    if (offset == 0) {
        text[n++] = 'Z';
    } else {
        const int minutes = std::abs(offset) / 60;
        n += std::snprintf(text + n, sizeof text - std::size_t(n), "%c%02d:%02d",
                           offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    }
    out.append(text, n);
}

// The members of the state message, without its braces.
void appendReading(QByteArray& out, const Reading& reading) {
    const link::DecodedFrame& v = reading.values;
    out += "\"time\": \"";
    appendIsoTime(out, reading.time);
    out += "\", \"t1\": ";
    appendTenths(out, v.t1);
    out += ", \"t2\": ";
    appendTenths(out, v.t2);
    out += ", \"t3\": ";
    appendTenths(out, v.t3);
    out += ", \"hm\": ";
    out += QByteArray::number(v.hm);
    out += ", \"outputs\": \"";
    out += link::outputsString(v.outputs).toLatin1();
    out += '"';
    for (int bit = 0; bit < 8; ++bit) {
        out += ", ";
        appendBool(out, kOutputNames[std::size_t(bit)], (v.outputs >> bit) & 1u);
    }
}

}  // namespace

void appendTenths(QByteArray& out, int tenths) {
    if (tenths < 0) {
        out += '-';
    }
    const unsigned magnitude = tenths < 0 ? 0u - unsigned(tenths) : unsigned(tenths);
    out += QByteArray::number(magnitude / 10);
    out += '.';
    out += char('0' + magnitude % 10);
}

QByteArray stateJson(const Reading& reading) {
    QByteArray out;
    out.reserve(320);
    out += '{';
    appendReading(out, reading);
    out += '}';
    return out;
}

QByteArray alarmJson(const AlarmState& alarms) {
    QByteArray out;
    appendAlarms(out, alarms);
    return out;
}

QByteArray stateWithAlarmsJson(const std::optional<Reading>& reading, const AlarmState& alarms,
                               bool receiving) {
    QByteArray out;
    out.reserve(400);
    out += '{';
    if (reading) {
        appendReading(out, *reading);
        out += ", ";
    }
    appendBool(out, "receiving", receiving);
    out += ", \"alarm\": ";
    appendAlarms(out, alarms);
    out += '}';
    return out;
}

void Telemetry::recordLine(const link::DecodedFrame& values, const QDateTime& time) {
    last_ = Reading{time, values};
    Q_EMIT lineRecorded();
}

void Telemetry::setAlarms(const AlarmState& alarms) {
    if (alarms == alarms_) {
        return;
    }
    alarms_ = alarms;
    Q_EMIT alarmsChanged();
}

void Telemetry::setReceiving(bool receiving) {
    if (receiving == receiving_) {
        return;
    }
    receiving_ = receiving;
    Q_EMIT receivingChanged();
}

}  // namespace im::remote
