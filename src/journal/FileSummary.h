#pragma once

#include <QByteArray>
#include <QString>

#include <limits>
#include <vector>

namespace im::journal {

// Smallest, largest and sum of the values of one channel. The sum is kept
// in tenths, the values' own precision, so that a mean rounds exactly.
struct ValueRange {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    qint64 sumTenths = 0;
    void add(double v);
    void merge(const ValueRange& other);
};

// What the daily files say of one day (or, merged, of all of them): the
// lines whose T1, T2 and HM read as numbers, and the other lines that are
// not empty.
struct FileSummary {
    QString date;  // yyyy-mm-dd, from the file's name
    qint64 lines = 0;
    qint64 skipped = 0;
    ValueRange t1, t2, hm;
    void merge(const FileSummary& other);
};

// A day file's bytes: LF or CR LF line ends, values read as the chart reads
// them: with that decimal separator, a comma or a full stop.
FileSummary summarizeDayFile(const QByteArray& bytes, QChar decimalSeparator);

// Every yyyy-mm-dd.txt of the folder, in date order. A file that cannot be
// read is left out and told in `unreadable`.
std::vector<FileSummary> summarizeDailyFiles(const QString& folder, QChar decimalSeparator,
                                             QStringList* unreadable);

// The mean of values summed in tenths, with one decimal and a full stop,
// halves rounded away from zero.
QByteArray meanOfTenths(qint64 sumTenths, qint64 count);

// The tab-separated table: a header, a row a day, a "total" row. Numbers
// always with a full stop; means rounded half away from zero.
QByteArray summaryTable(const std::vector<FileSummary>& days);

}  // namespace im::journal
