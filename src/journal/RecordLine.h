#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace im::journal {

// The locale's decimal separator (a comma in the Russian locale), used by
// every number text that record lines and panels carry.
QString decimalSeparator();

// A value in tenths in the pattern "00.0": at least two integer digits,
// exactly one decimal, the locale's separator (375 -> 37,5; 50 -> 05,0).
QString formatTenths(qint64 tenths);

// One record line: T1, T2 and T3 in tenths, HM in percent, the outputs
// string, and the moment the line was made:
// "T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27".
QString makeRecordLine(int t1, int t2, int t3, int hm, const QString& outputs, const QDateTime& at);

// The positional field extraction that every reader of record lines uses:
// `rounds` times trim (characters with codes up to 32) and cut the line up
// to and including the first delimiter; trim again; the first `length`
// characters. Never fails: any line gives some text, possibly empty.
QString extractField(QStringView line, QChar delimiter, int rounds, int length);

QString get_T1(QStringView line);
QString get_T2(QStringView line);
QString get_T3(QStringView line);
QString get_HM(QStringView line);
QString get_outs(QStringView line);
QString get_date(QStringView line);
QString get_time(QStringView line);

}  // namespace im::journal
