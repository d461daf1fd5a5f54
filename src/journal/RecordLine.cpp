#include "journal/RecordLine.h"

#include <QLocale>

#include <cstring>

namespace im::journal {

namespace {

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

template <typename View>
View trimLow(View s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin].unicode() <= 32) {
        ++begin;
    }
    while (end > begin && s[end - 1].unicode() <= 32) {
        --end;
    }
    return s.sliced(begin, end - begin);
}

qsizetype indexIn(QStringView s, QChar c) {
    return s.indexOf(c);
}

// QLatin1String::indexOf takes a general path through the string search, an
// order of magnitude slower than the C library's search for one byte over the
// few characters to the next delimiter of a record line; reports and chart
// reads search millions, and a line of a file opened by mistake may hold
// 100 MB without a delimiter.
qsizetype indexIn(QLatin1String s, QChar c) {
    if (c.unicode() > 0xFF || s.isEmpty()) {
        return -1;
    }
    const void* at = std::memchr(s.data(), c.unicode(), std::size_t(s.size()));
    return at ? static_cast<const char*>(at) - s.data() : -1;
}

template <typename View>
View extractIn(View s, QChar delimiter, int rounds, int length) {
    for (int round = 0; round < rounds; ++round) {
        s = trimLow(s);
        const qsizetype at = indexIn(s, delimiter);
        if (at >= 0) {
            s = s.sliced(at + 1);
        }
    }
    s = trimLow(s);
    return s.left(length);
}

template <typename View>
std::optional<double> numberIn(View text, QChar separator) {
    qsizetype i = 0;
    qsizetype n = text.size();
    while (i < n && text[i].unicode() == ' ') {
        ++i;
    }
    while (n > i && text[n - 1].unicode() == ' ') {
        --n;
    }
    bool negative = false;
    if (i < n && (text[i].unicode() == '-' || text[i].unicode() == '+')) {
        negative = text[i].unicode() == '-';
        ++i;
    }
    // Digits collect into an integer divided once at the end, so that
    // 37,4 reads as exactly the double nearest to 37.4. The integer is
    // exact in 64 bits up to 18 digits, and in a double up to 15; longer
    // runs of digits, which no record line has, go on in a double.
    quint64 whole = 0;
    double mantissa = 0;
    double divisor = 1;
    int digits = 0;
    auto take = [&](int digit) {
        if (digits < 15) {
            whole = whole * 10 + quint64(digit);
        } else {
            if (digits == 15) {
                mantissa = double(whole);
            }
            mantissa = mantissa * 10 + digit;
        }
        ++digits;
    };
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        take(text[i].unicode() - '0');
        ++i;
    }
    // The locale's separator, and either of the two that record lines are
    // written with: a day file made in a Russian session (commas) opens in
    // an English one (full stops) and the other way round.
    const char16_t c = i < n ? text[i].unicode() : 0;
    if (i < n && (c == separator.unicode() || c == u',' || c == u'.')) {
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            take(text[i].unicode() - '0');
            divisor *= 10;
            ++i;
        }
    }
    const double value = (digits <= 15 ? double(whole) : mantissa) / divisor;
    if (digits == 0 || i != n) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace

QString decimalSeparator() {
    return QLocale().decimalPoint();
}

QChar timeSeparator() {
    // What stands between the hours and the minutes of the locale's time
    // format: one character, neither a letter nor a space (a space would
    // split the time into two fields for the readers), else a colon.
    const QString format = QLocale().timeFormat(QLocale::ShortFormat);
    qsizetype i = 0;
    while (i < format.size() && format[i] != u'h' && format[i] != u'H') {
        ++i;
    }
    while (i < format.size() && (format[i] == u'h' || format[i] == u'H')) {
        ++i;
    }
    if (i < format.size()) {
        const QChar c = format[i];
        if (!c.isLetterOrNumber() && !c.isSpace() && c != u'\'') {
            return c;
        }
    }
    return QLatin1Char(':');
}

QString formatTenths(qint64 tenths) {
    const bool negative = tenths < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(tenths) : quint64(tenths);
    QString text = QStringLiteral("%1").arg(magnitude / 10, 2, 10, QLatin1Char('0'));
    text += decimalSeparator();
    text += QChar(u'0' + static_cast<char16_t>(magnitude % 10));
    return negative ? QLatin1Char('-') + text : text;
}

QString makeRecordLine(int t1, int t2, int t3, int hm, const QString& outputs,
                       const QDateTime& at) {
    // One reading of the clock for date and time, so that a line made at
    // midnight cannot carry the old date with the new time.
    const QDate date = at.date();
    const QTime time = at.time();
    QString line;
    line.reserve(72);
    line += QLatin1String("T1=") + formatTenths(t1);
    line += QLatin1String("  T2=") + formatTenths(t2);
    line += QLatin1String("  T3=") + formatTenths(t3);
    line += QLatin1String("  HM=") + QString::number(hm);
    line += QLatin1String("  OUT=") + outputs;
    line += QLatin1String("  ") + twoDigits(date.day()) + QLatin1Char('.') +
            twoDigits(date.month()) + QLatin1Char('.') + twoDigits(date.year() % 100);
    const QChar separator = timeSeparator();
    line += QLatin1Char(' ') + twoDigits(time.hour()) + separator + twoDigits(time.minute()) +
            separator + twoDigits(time.second());
    return line;
}

QString extractField(QStringView line, QChar delimiter, int rounds, int length) {
    return extractIn(line, delimiter, rounds, length).toString();
}

QStringView extractFieldView(QStringView line, QChar delimiter, int rounds, int length) {
    return extractIn(line, delimiter, rounds, length);
}

QLatin1String extractFieldView(QLatin1String line, QChar delimiter, int rounds, int length) {
    return extractIn(line, delimiter, rounds, length);
}

std::optional<double> fieldNumber(QStringView text, QChar decimalSeparator) {
    return numberIn(text, decimalSeparator);
}

std::optional<double> fieldNumber(QLatin1String text, QChar decimalSeparator) {
    return numberIn(text, decimalSeparator);
}

namespace {

template <typename View>
std::optional<double> valueIn(View line, LineValue which, QChar decimalSeparator) {
    // Rounds after "=" and the field's length: "T1=37,5  T2=..." gives 37,5.
    static constexpr struct {
        int rounds;
        int length;
    } kFields[] = {{1, 4}, {2, 4}, {3, 4}, {4, 2}};
    const auto& field = kFields[static_cast<int>(which)];
    return numberIn(extractIn(line, QLatin1Char('='), field.rounds, field.length),
                    decimalSeparator);
}

// All four in one pass: the text left after a field's round is where the
// next field's cut starts.
template <typename View>
std::optional<std::array<double, 4>> valuesIn(View s, QChar decimalSeparator) {
    static constexpr int kLengths[] = {4, 4, 4, 2};
    std::array<double, 4> values{};
    for (std::size_t f = 0; f < values.size(); ++f) {
        s = trimLow(s);
        const qsizetype at = indexIn(s, QLatin1Char('='));
        if (at >= 0) {
            s = s.sliced(at + 1);
        }
        const std::optional<double> v = numberIn(trimLow(s).left(kLengths[f]), decimalSeparator);
        if (!v) {
            return std::nullopt;
        }
        values[f] = *v;
    }
    return values;
}

}  // namespace

std::optional<std::array<double, 4>> lineValues(QStringView line, QChar decimalSeparator) {
    return valuesIn(line, decimalSeparator);
}

std::optional<std::array<double, 4>> lineValues(QLatin1String line, QChar decimalSeparator) {
    if (const std::optional<std::array<int, 4>> written = writtenFormValues(line)) {
        // As the general reading divides its digits: exactly the same doubles.
        const std::array<int, 4>& v = *written;
        return std::array<double, 4>{double(v[0]) / 10, double(v[1]) / 10, double(v[2]) / 10,
                                     double(v[3])};
    }
    return valuesIn(line, decimalSeparator);
}

std::optional<std::array<int, 4>> writtenFormValues(QByteArrayView line) {
    static constexpr char kPattern[] = "T1=dd.d  T2=dd.d  T3=dd.d  HM=dd";
    constexpr qsizetype kLength = sizeof kPattern - 1;
    if (line.size() < kLength) {
        return std::nullopt;
    }
    const char* p = line.data();
    for (qsizetype i = 0; i < kLength; ++i) {
        const char c = p[i];
        const bool fits = kPattern[i] == 'd'   ? c >= '0' && c <= '9'
                          : kPattern[i] == '.' ? c == ',' || c == '.'
                                               : c == kPattern[i];
        if (!fits) {
            return std::nullopt;
        }
    }
    auto digit = [p](int at) { return p[at] - '0'; };
    auto tenths = [&](int at) { return digit(at) * 100 + digit(at + 1) * 10 + digit(at + 3); };
    return std::array<int, 4>{tenths(3), tenths(12), tenths(21), digit(30) * 10 + digit(31)};
}

std::optional<double> lineValue(QStringView line, LineValue which, QChar decimalSeparator) {
    return valueIn(line, which, decimalSeparator);
}

std::optional<double> lineValue(QLatin1String line, LineValue which, QChar decimalSeparator) {
    return valueIn(line, which, decimalSeparator);
}

bool isAscii(QByteArrayView bytes) {
    // Eight bytes at a time: every journal line is checked by the reports.
    const char* p = bytes.data();
    qsizetype n = bytes.size();
    quint64 high = 0;
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        high |= word;
    }
    for (; n > 0; ++p, --n) {
        high |= static_cast<unsigned char>(*p);
    }
    return (high & 0x8080808080808080ULL) == 0;
}

QString get_T1(QStringView line) {
    return extractField(line, QLatin1Char('='), 1, 4);
}
QString get_T2(QStringView line) {
    return extractField(line, QLatin1Char('='), 2, 4);
}
QString get_T3(QStringView line) {
    return extractField(line, QLatin1Char('='), 3, 4);
}
QString get_HM(QStringView line) {
    return extractField(line, QLatin1Char('='), 4, 2);
}
QString get_outs(QStringView line) {
    return extractField(line, QLatin1Char('='), 5, 8);
}
QString get_date(QStringView line) {
    return extractField(line, QLatin1Char(' '), 5, 8);
}
QString get_date(QLatin1String line) {
    return QString(extractFieldView(line, QLatin1Char(' '), 5, 8));
}
QString get_time(QStringView line) {
    return extractField(line, QLatin1Char(' '), 6, 8);
}
QString get_time(QLatin1String line) {
    return QString(extractFieldView(line, QLatin1Char(' '), 6, 8));
}

std::pair<QString, QString> timeAndDateOf(QByteArrayView line) {
    return withLineText(line, [](auto text) { return std::pair{get_time(text), get_date(text)}; });
}

namespace {

template <typename View>
std::optional<qint64> momentIn(View date, View time) {
    int digits[12];
    int n = 0;
    for (View part : {date, time}) {
        int inPart = 0;
        for (qsizetype i = 0; i < part.size() && inPart < 6; ++i) {
            const char16_t c = QChar(part[i]).unicode();
            if (c >= '0' && c <= '9') {
                digits[n++] = c - '0';
                ++inPart;
            }
        }
        if (inPart != 6) {
            return std::nullopt;
        }
    }
    const auto two = [&digits](int at) { return digits[at] * 10 + digits[at + 1]; };
    const int day = two(0), month = two(2), year = 2000 + two(4);
    if (month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    // Days from the civil date (proleptic Gregorian), counted from
    // 1 March of the year 0; 1 January 2000 is day 730425.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 days = qint64(era) * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 730425;
    return days * 86400 + two(6) * 3600 + two(8) * 60 + two(10);
}

}  // namespace

std::optional<qint64> momentOf(QStringView date, QStringView time) {
    return momentIn(date, time);
}

std::optional<qint64> momentOf(QLatin1String date, QLatin1String time) {
    return momentIn(date, time);
}

std::optional<qint64> momentOfLine(QByteArrayView line) {
    return withLineText(line, [](auto text) {
        return momentOf(extractFieldView(text, QLatin1Char(' '), 5, 8),
                        extractFieldView(text, QLatin1Char(' '), 6, 8));
    });
}

}  // namespace im::journal
