#include "journal/RecordLine.h"

#include <QLocale>

namespace im::journal {

namespace {

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QStringView trimLow(QStringView s) {
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

}  // namespace

QString decimalSeparator() {
    return QLocale().decimalPoint();
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
    line += QLatin1Char(' ') + twoDigits(time.hour()) + QLatin1Char(':') +
            twoDigits(time.minute()) + QLatin1Char(':') + twoDigits(time.second());
    return line;
}

QString extractField(QStringView line, QChar delimiter, int rounds, int length) {
    QStringView s = line;
    for (int round = 0; round < rounds; ++round) {
        s = trimLow(s);
        const qsizetype at = s.indexOf(delimiter);
        if (at >= 0) {
            s = s.sliced(at + 1);
        }
    }
    s = trimLow(s);
    return s.left(length).toString();
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
QString get_time(QStringView line) {
    return extractField(line, QLatin1Char(' '), 6, 8);
}

}  // namespace im::journal
