#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <utility>

namespace im::journal {

// The locale's decimal separator (a comma in the Russian locale), used by
// every number text that record lines and panels carry.
QString decimalSeparator();
// The locale's time separator (a colon in the Russian locale, a full stop in
// the Finnish one).
QChar timeSeparator();

// A value in tenths in the pattern "00.0": at least two integer digits,
// exactly one decimal, the locale's separator (375 -> 37,5; 50 -> 05,0).
QString formatTenths(qint64 tenths);

// One record line: T1, T2 and T3 in tenths, HM in percent, the outputs
// string, and the moment the line was made (the date with full stops, the
// time with the locale's separator):
// "T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27".
QString makeRecordLine(int t1, int t2, int t3, int hm, const QString& outputs, const QDateTime& at);

// The positional field extraction that every reader of record lines uses:
// `rounds` times trim (characters with codes up to 32) and cut the line up
// to and including the first delimiter; trim again; the first `length`
// characters. Never fails: any line gives some text, possibly empty.
QString extractField(QStringView line, QChar delimiter, int rounds, int length);

// The same extraction without copying, on a UTF-16 or a Latin-1 (ASCII) view.
QStringView extractFieldView(QStringView line, QChar delimiter, int rounds, int length);
QLatin1String extractFieldView(QLatin1String line, QChar delimiter, int rounds, int length);

// The value of a field text: surrounding spaces, an optional sign, digits
// with a decimal separator (37,5; 37.5; 100, as a cut T1 gives; 5 with a
// space after it). The separator is the one given (the locale's), a comma
// or a full stop, whichever the line was written with. No value for
// anything else: a note typed into the journal has no number.
std::optional<double> fieldNumber(QStringView text, QChar decimalSeparator);
std::optional<double> fieldNumber(QLatin1String text, QChar decimalSeparator);

// A value of a record line as the chart reads it: T1, T2, T3 or HM, each
// field cut by its place and length and read by fieldNumber.
enum class LineValue { T1, T2, T3, HM };
std::optional<double> lineValue(QStringView line, LineValue which, QChar decimalSeparator);
std::optional<double> lineValue(QLatin1String line, LineValue which, QChar decimalSeparator);

// T1, T2, T3 and HM in that order, when all four read as numbers: the
// points of a line on the chart. The same as four lineValue() reads, in one
// pass over the line.
std::optional<std::array<double, 4>> lineValues(QStringView line, QChar decimalSeparator);
std::optional<std::array<double, 4>> lineValues(QLatin1String line, QChar decimalSeparator);
// T1, T2 and T3 in tenths and HM in whole percent of a line in the form this
// program and the recorder write ("T1=37,4  T2=37,4  T3=36,2  HM=55 ..."),
// read at its fixed places: what lineValues reads from it, at a fraction of
// the cost. None for any other form (a negative or one-digit value, another
// separator, other spacing), which lineValues still reads.
std::optional<std::array<int, 4>> writtenFormValues(QByteArrayView line);

bool isAscii(QByteArrayView bytes);

// Calls use with a line's text: its bytes seen as Latin-1 when they are
// ASCII (no copy, the common case of record lines), otherwise the view of
// its UTF-16 text, so that field lengths count characters.
template <typename Use>
decltype(auto) withLineText(QByteArrayView utf8, Use&& use) {
    if (isAscii(utf8)) {
        return use(QLatin1String(utf8.data(), utf8.size()));
    }
    const QString text = QString::fromUtf8(utf8.data(), utf8.size());
    return use(QStringView(text));
}

QString get_T1(QStringView line);
QString get_T2(QStringView line);
QString get_T3(QStringView line);
QString get_HM(QStringView line);
QString get_outs(QStringView line);
QString get_date(QStringView line);
QString get_time(QStringView line);
// The same on the bytes of an ASCII line (see withLineText).
QString get_date(QLatin1String line);
QString get_time(QLatin1String line);
// The time and the date of a line's bytes, without a copy of the line,
// which may be a file's only line of 100 MB.
std::pair<QString, QString> timeAndDateOf(QByteArrayView line);

// The moment of a date "dd.mm.yy" and a time "hh:mm:ss" (any separators)
// as the wall clock showed it, in seconds since 1 January 2000 00:00; none
// when the digits are not there.
std::optional<qint64> momentOf(QStringView date, QStringView time);
std::optional<qint64> momentOf(QLatin1String date, QLatin1String time);
// The moment of a line's date and time fields.
std::optional<qint64> momentOfLine(QByteArrayView line);

}  // namespace im::journal
