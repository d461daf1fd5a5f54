#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>

#include <array>
#include <optional>
#include <vector>

namespace im::journal {
class JournalStore;
}

namespace im::remote {

// T1, T2, T3 (tenths of a degree) and HM (percent) of a line.
using Values = std::array<qint16, 4>;

// The journal by time: the minimum and the maximum of each value per minute
// of the wall clock, which is what a picture of any time range needs, be it
// six hours or the whole incubation (a month is 43,200 minutes, about a
// megabyte). Lines arrive in time order; one from earlier (a clock set
// back) goes into its own minute.
class History {
public:
    struct Minute {
        qint32 minute = 0;  // since 1 January 2000 00:00, wall clock
        qint32 count = 0;
        Values min{};
        Values max{};
    };

    void add(qint64 wallSeconds, const Values& values);
    // Takes in another history's minutes: the envelopes of a minute both
    // hold are joined, so a line seen twice changes nothing.
    void merge(const History& other);
    void clear() { minutes_.clear(); }
    bool isEmpty() const { return minutes_.empty(); }
    std::size_t minuteCount() const { return minutes_.size(); }

    // The moment and values of a record line, when it has both.
    static std::optional<std::pair<qint64, Values>> parseLine(QByteArrayView line,
                                                              QChar decimalSeparator);
    // Every line of a journal; of the day files yyyy-mm-dd.txt in a folder.
    static History of(const journal::JournalStore& journal, QChar decimalSeparator);
    static History ofDayFiles(const QString& folder, QChar decimalSeparator);

    // The envelopes between two moments (milliseconds since the epoch;
    // none: the whole history) in at most `points` buckets of equal length:
    // {"from": ms, "to": ms, "points": [[ms, t1min, t1max, t2min, t2max,
    // t3min, t3max, hmmin, hmmax], ...]}.
    QByteArray json(std::optional<qint64> fromMs, std::optional<qint64> toMs, int points) const;

private:
    std::vector<Minute> minutes_;
};

}  // namespace im::remote
