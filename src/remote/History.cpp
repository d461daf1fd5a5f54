#include "remote/History.h"

#include "journal/JournalStore.h"
#include "journal/RecordLine.h"
#include "remote/LocalTime.h"
#include "remote/Telemetry.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace im::remote {

namespace {

void join(History::Minute& into, const Values& min, const Values& max, int count) {
    if (into.count == 0) {
        into.min = min;
        into.max = max;
    } else {
        for (std::size_t i = 0; i < min.size(); ++i) {
            into.min[i] = std::min(into.min[i], min[i]);
            into.max[i] = std::max(into.max[i], max[i]);
        }
    }
    into.count += count;
}

}  // namespace

void History::add(qint64 wallSeconds, const Values& values) {
    const auto minute = qint32(std::clamp<qint64>(wallSeconds / 60, 0, INT32_MAX));
    if (minutes_.empty() || minutes_.back().minute < minute) {
        minutes_.push_back({minute, 0, {}, {}});
    } else if (minutes_.back().minute != minute) {
        auto at = std::lower_bound(minutes_.begin(), minutes_.end(), minute,
                                   [](const Minute& m, qint32 v) { return m.minute < v; });
        if (at->minute != minute) {
            at = minutes_.insert(at, {minute, 0, {}, {}});
        }
        join(*at, values, values, 1);
        return;
    }
    join(minutes_.back(), values, values, 1);
}

void History::merge(const History& other) {
    std::vector<Minute> joined;
    joined.reserve(minutes_.size() + other.minutes_.size());
    auto a = minutes_.begin();
    auto b = other.minutes_.begin();
    while (a != minutes_.end() || b != other.minutes_.end()) {
        if (b == other.minutes_.end() || (a != minutes_.end() && a->minute < b->minute)) {
            joined.push_back(*a++);
        } else if (a == minutes_.end() || b->minute < a->minute) {
            joined.push_back(*b++);
        } else {
            joined.push_back(*a++);
            join(joined.back(), b->min, b->max, b->count);
            ++b;
        }
    }
    minutes_ = std::move(joined);
}

History History::ofDayFiles(const QString& folder, QChar decimalSeparator) {
    History history;
    static const QRegularExpression dayFile(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.txt$"));
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (!dayFile.match(info.fileName()).hasMatch() || !file.open(QIODevice::ReadOnly)) {
            continue;
        }
        while (!file.atEnd()) {
            const QByteArray line = file.readLine(4096).trimmed();
            if (const auto parsed = parseLine(line, decimalSeparator)) {
                history.add(parsed->first, parsed->second);
            }
        }
    }
    return history;
}

std::optional<std::pair<qint64, Values>> History::parseLine(QByteArrayView line,
                                                            QChar decimalSeparator) {
    if (line.isEmpty()) {
        return std::nullopt;
    }
    const auto read = journal::withLineText(line, [decimalSeparator](auto text) {
        return journal::lineValues(text, decimalSeparator);
    });
    const std::optional<qint64> moment = read ? journal::momentOfLine(line) : std::nullopt;
    if (!moment) {
        return std::nullopt;
    }
    Values values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double scale = i == 3 ? 1 : 10;
        values[i] = qint16(std::clamp(std::round((*read)[i] * scale), -32767.0, 32767.0));
    }
    return std::pair{*moment, values};
}

History History::of(const journal::JournalStore& journal, QChar decimalSeparator) {
    History history;
    journal.forEachSegment([&](QByteArrayView line) {
        if (const auto parsed = parseLine(line, decimalSeparator)) {
            history.add(parsed->first, parsed->second);
        }
    });
    return history;
}

QByteArray History::json(std::optional<qint64> fromMs, std::optional<qint64> toMs,
                         int points) const {
    points = std::clamp(points, 1, 5000);
    QByteArray out = "{";
    if (minutes_.empty()) {
        return out + "\"points\": []}";
    }
    const qint64 first = fromMs ? wallOfUtcMs(*fromMs) / 60 : minutes_.front().minute;
    const qint64 last = toMs ? wallOfUtcMs(*toMs) / 60 : minutes_.back().minute;
    out += "\"from\": " + QByteArray::number(fromMs ? *fromMs : utcMsOfWall(first * 60)) +
           ", \"to\": " + QByteArray::number(toMs ? *toMs : utcMsOfWall(last * 60 + 59) + 999) +
           ", \"points\": [";
    const auto begin = std::lower_bound(minutes_.begin(), minutes_.end(), first,
                                        [](const Minute& m, qint64 v) { return m.minute < v; });
    const auto end = std::upper_bound(begin, minutes_.end(), last,
                                      [](qint64 v, const Minute& m) { return v < m.minute; });
    // Buckets of equal length over the range, each the envelope of its
    // minutes; empty ones are left out.
    const qint64 span = std::max<qint64>(last - first + 1, 1);
    const qint64 buckets = std::min<qint64>(points, span);
    bool firstPoint = true;
    for (auto it = begin; it != end;) {
        const qint64 bucket = (it->minute - first) * buckets / span;
        Minute sum{};
        for (; it != end && (it->minute - first) * buckets / span == bucket; ++it) {
            join(sum, it->min, it->max, it->count);
        }
        // The bucket's first minute: the smallest m with (m - first) *
        // buckets / span == bucket.
        const qint64 start = first + (bucket * span + buckets - 1) / buckets;
        out += firstPoint ? "[" : ", [";
        firstPoint = false;
        out += QByteArray::number(utcMsOfWall(start * 60));
        for (std::size_t v = 0; v < sum.min.size(); ++v) {
            out += ", ";
            v == 3 ? void(out += QByteArray::number(sum.min[v])) : appendTenths(out, sum.min[v]);
            out += ", ";
            v == 3 ? void(out += QByteArray::number(sum.max[v])) : appendTenths(out, sum.max[v]);
        }
        out += ']';
    }
    return out + "]}";
}

}  // namespace im::remote
