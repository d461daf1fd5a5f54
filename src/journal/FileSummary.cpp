#include "journal/FileSummary.h"

#include "core/ErrorReport.h"
#include "journal/JournalFiles.h"
#include "journal/RecordLine.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace im::journal {

void ValueRange::add(double v) {
    min = std::min(min, v);
    max = std::max(max, v);
    sumTenths += std::llround(v * 10);
}

void ValueRange::merge(const ValueRange& other) {
    min = std::min(min, other.min);
    max = std::max(max, other.max);
    sumTenths += other.sumTenths;
}

void FileSummary::merge(const FileSummary& other) {
    lines += other.lines;
    skipped += other.skipped;
    t1.merge(other.t1);
    t2.merge(other.t2);
    hm.merge(other.hm);
}

FileSummary summarizeDayFile(const QByteArray& bytes, QChar decimalSeparator) {
    FileSummary day;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            end = bytes.size();
        }
        QByteArrayView line(bytes.constData() + start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty()) {
            continue;  // the line end each save writes first
        }
        const bool read = withLineText(line, [&](auto text) {
            const auto t1 = lineValue(text, LineValue::T1, decimalSeparator);
            const auto t2 = lineValue(text, LineValue::T2, decimalSeparator);
            const auto hm = lineValue(text, LineValue::HM, decimalSeparator);
            if (!t1 || !t2 || !hm) {
                return false;
            }
            day.t1.add(*t1);
            day.t2.add(*t2);
            day.hm.add(*hm);
            return true;
        });
        ++(read ? day.lines : day.skipped);
    }
    return day;
}

std::vector<FileSummary> summarizeDailyFiles(const QString& folder, QChar decimalSeparator,
                                             QStringList* unreadable) {
    static const QRegularExpression dayName(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})\\.txt$"));
    std::vector<FileSummary> days;
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = dayName.match(name);
        if (!m.hasMatch()) {
            continue;
        }
        try {
            FileSummary day =
                summarizeDayFile(readJournalFile(QDir(folder).filePath(name)), decimalSeparator);
            day.date = m.captured(1);
            days.push_back(std::move(day));
        } catch (const core::Error& e) {
            if (unreadable) {
                unreadable->append(QString::fromUtf8(e.what()));
            }
        }
    }
    return days;
}

// In whole tenths: no binary fraction decides a half.
QByteArray meanOfTenths(qint64 sumTenths, qint64 count) {
    const qint64 tenths = (2 * std::abs(sumTenths) + count) / (2 * count);
    return (sumTenths < 0 && tenths != 0 ? "-" : "") + QByteArray::number(tenths / 10) + '.' +
           QByteArray::number(tenths % 10);
}

namespace {

QByteArray number(double v, int decimals) {
    return QByteArray::number(v, 'f', decimals);
}

QByteArray row(const QString& date, const FileSummary& s) {
    QByteArray out = date.toUtf8() + '\t' + QByteArray::number(s.lines);
    const struct {
        const ValueRange& range;
        int decimals;
    } channels[] = {{s.t1, 1}, {s.t2, 1}, {s.hm, 0}};
    for (const auto& c : channels) {
        if (s.lines == 0) {
            out += "\t\t\t";  // no values: empty fields, not a made-up number
            continue;
        }
        out += '\t' + number(c.range.min, c.decimals) + '\t' + number(c.range.max, c.decimals) +
               '\t' + meanOfTenths(c.range.sumTenths, s.lines);
    }
    return out + '\n';
}

}  // namespace

QByteArray summaryTable(const std::vector<FileSummary>& days) {
    QByteArray out =
        "date\tlines\tt1_min\tt1_max\tt1_mean\tt2_min\tt2_max\tt2_mean\thm_min\thm_max\thm_mean\n";
    FileSummary total;
    for (const FileSummary& day : days) {
        out += row(day.date, day);
        total.merge(day);
    }
    return out + row(QStringLiteral("total"), total);
}

}  // namespace im::journal
