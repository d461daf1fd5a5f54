#include "analysis/DailySummary.h"

#include "analysis/OutputAnalysis.h"
#include "journal/FileSummary.h"
#include "journal/RecordLine.h"

#include <QCoreApplication>

#include <climits>
#include <cmath>
#include <optional>

namespace im::analysis {

namespace {

struct Channel : journal::ValueRange {
    qint64 outsideSeconds = 0;
};

struct Day {
    QString date;
    qint64 lines = 0;
    Channel t1, t2, hm;
    qint64 turns = 0;
    qint64 heaterSeconds = 0;
    qint64 knownSeconds = 0;
};

QString textOf(QStringView v) {
    return v.toString();
}
QString textOf(QLatin1String v) {
    return QString(v);
}

class Summary {
public:
    Summary(const journal::ValueBands& bands, QChar separator)
        : bands_(bands), separator_(separator) {}

    template <typename View>
    void line(View text) {
        // The fields one after the other, each round of the extraction
        // going on from the last one's cut: the same values as the chart's
        // reading, in one pass over the line.
        const auto next = [](View rest) {
            return journal::extractFieldView(rest, QLatin1Char('='), 1, INT_MAX);
        };
        const View afterT1 = next(text);
        const View afterT2 = next(afterT1);
        const View afterHm = next(next(afterT2));
        const auto t1 = journal::fieldNumber(afterT1.left(4), separator_);
        const auto t2 = journal::fieldNumber(afterT2.left(4), separator_);
        const auto hm = journal::fieldNumber(afterHm.left(2), separator_);
        if (!t1 || !t2 || !hm) {
            return;
        }
        // The date and the time follow the outputs, a space apart.
        const View afterOutputs = next(afterHm);
        const View fromDate = journal::extractFieldView(afterOutputs, QLatin1Char(' '), 1, INT_MAX);
        const View date = fromDate.left(8);
        const View time = journal::extractFieldView(fromDate, QLatin1Char(' '), 1, 8);
        Day& day = dayOf(date);
        ++day.lines;
        day.t1.add(*t1);
        day.t2.add(*t2);
        day.hm.add(*hm);

        const View outputs = afterOutputs.left(8);
        const bool full = outputs.size() >= 8;
        const bool tray5 = full && outputOn(outputs, 5);
        const bool tray6 = full && outputOn(outputs, 6);
        day.turns += int(tray5 && !tray5_) + int(tray6 && !tray6_);
        tray5_ = tray5;
        tray6_ = tray6;

        // The time since the line before belongs to that line's state.
        const std::optional<qint64> now = journal::momentOf(date, time);
        if (now && previous_ && *now >= previous_->moment &&
            *now - previous_->moment <= kLongestGapSeconds) {
            const qint64 dt = *now - previous_->moment;
            Day& before = days_[previous_->day];
            before.knownSeconds += dt;
            before.heaterSeconds += previous_->heater ? dt : 0;
            before.t1.outsideSeconds += previous_->t1Out ? dt : 0;
            before.t2.outsideSeconds += previous_->t2Out ? dt : 0;
            before.hm.outsideSeconds += previous_->hmOut ? dt : 0;
        }
        if (now) {
            previous_ = State{*now,
                              current_,
                              full && outputOn(outputs, 2),
                              outside(V::T1, *t1 * 10),
                              outside(V::T2, *t2 * 10),
                              outside(V::HM, std::round(*hm) * 10)};
        } else {
            previous_.reset();
        }
    }

    const std::vector<Day>& days() const { return days_; }

private:
    struct State {
        qint64 moment;
        std::size_t day;
        bool heater, t1Out, t2Out, hmOut;
    };

    // By the panel's own whole tenths (whole percent for the humidity).
    bool outside(journal::ValueDigest::Value v, double tenths) const {
        return bands_.outside(v, static_cast<int>(std::lround(tenths)));
    }
    using V = journal::ValueDigest;

    template <typename View>
    Day& dayOf(View date) {
        if (!days_.empty() && days_[current_].date == date) {
            return days_[current_];
        }
        for (std::size_t i = 0; i < days_.size(); ++i) {
            if (days_[i].date == date) {
                current_ = i;
                return days_[i];
            }
        }
        Day day;
        day.date = textOf(date);
        days_.push_back(std::move(day));
        current_ = days_.size() - 1;
        return days_.back();
    }

    const journal::ValueBands& bands_;
    QChar separator_;
    std::vector<Day> days_;
    std::size_t current_ = 0;
    std::optional<State> previous_;
    bool tray5_ = false, tray6_ = false;
};

}  // namespace

void writeDailySummary(const journal::JournalStore& journal, const journal::ValueBands& bands,
                       journal::JournalStore& report) {
    const QString separator = journal::decimalSeparator();
    Summary summary(bands, separator.at(0));
    journal.forEachSegment([&summary](QByteArrayView bytes) {
        if (!bytes.isEmpty()) {
            journal::withLineText(bytes, [&summary](auto text) { summary.line(text); });
        }
    });

    const auto number = [&separator](double v, int decimals) {
        QString text = QString::number(v, 'f', decimals);
        return text.replace(QLatin1Char('.'), separator);
    };
    const auto minutes = [&number](qint64 seconds) { return number(double(seconds) / 60, 1); };
    journal::JournalStore::Rebuild out(report);
    out.append(QCoreApplication::translate(
                   "DailySummary",
                   "Дата\tСтрок\tT1 мин\tT1 макс\tT1 средн\tT2 мин\tT2 макс\tT2 средн\t"
                   "HM мин\tHM макс\tHM средн\tT1 вне, мин\tT2 вне, мин\tHM вне, мин\t"
                   "Перевороты\tНагрев, %")
                   .toUtf8());
    out.endLine();
    for (const Day& day : summary.days()) {
        QString line = day.date + QLatin1Char('\t') + QString::number(day.lines);
        const struct {
            const Channel& channel;
            int decimals;
        } channels[] = {{day.t1, 1}, {day.t2, 1}, {day.hm, 0}};
        for (const auto& c : channels) {
            line += QLatin1Char('\t') + number(c.channel.min, c.decimals) + QLatin1Char('\t') +
                    number(c.channel.max, c.decimals) + QLatin1Char('\t') +
                    QString::fromLatin1(journal::meanOfTenths(c.channel.sumTenths, day.lines))
                        .replace(QLatin1Char('.'), separator);
        }
        for (const auto& c : channels) {
            line += QLatin1Char('\t') + minutes(c.channel.outsideSeconds);
        }
        line += QLatin1Char('\t') + QString::number(day.turns) + QLatin1Char('\t');
        if (day.knownSeconds > 0) {
            line += number(100.0 * double(day.heaterSeconds) / double(day.knownSeconds), 1);
        }
        out.append(line.toUtf8());
        out.endLine();
    }
    out.commit();
}

}  // namespace im::analysis
