#include "alarms/AlarmBands.h"

#include <QCoreApplication>

#include "journal/RecordLine.h"
#include "settings/SettingsFile.h"

#include <limits>

namespace im::alarms {

std::optional<int> floorTenths(QStringView text) {
    const QChar separator = journal::decimalSeparator().at(0);
    qsizetype i = 0;
    const bool negative = i < text.size() && text[i] == QLatin1Char('-');
    if (negative || (i < text.size() && text[i] == QLatin1Char('+'))) {
        ++i;
    }
    qint64 whole = 0;
    int digits = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        whole = whole * 10 + (text[i].unicode() - '0');
        if (whole > std::numeric_limits<int>::max()) {
            return std::nullopt;
        }
        ++digits;
        ++i;
    }
    int firstDecimal = 0;
    bool moreDecimals = false;
    if (i < text.size() && text[i] == separator) {
        ++i;
        for (int d = 0; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++d, ++i) {
            ++digits;
            if (d == 0) {
                firstDecimal = text[i].unicode() - '0';
            } else if (text[i] != QLatin1Char('0')) {
                moreDecimals = true;
            }
        }
    }
    if (digits == 0 || i != text.size()) {
        return std::nullopt;
    }
    qint64 tenths = whole * 10 + firstDecimal;
    if (negative) {
        tenths = -tenths - (moreDecimals ? 1 : 0);  // floor goes down for negatives
    }
    if (tenths > std::numeric_limits<int>::max() || tenths < std::numeric_limits<int>::min()) {
        return std::nullopt;
    }
    return static_cast<int>(tenths);
}

void recomputeThresholds(const BandTexts& texts, link::AlarmThresholds& t) {
    int* const temperatures[] = {&t.T1_HI, &t.T1_LOW, &t.T2_HI, &t.T2_LOW};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<int> tenths = floorTenths(texts[i]);
        if (!tenths) {
            return;
        }
        *temperatures[i] = *tenths;
    }
    int* const humidity[] = {&t.T3_HI, &t.T3_LOW};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::optional<int> percent = settings::SettingsFile::parseInteger(texts[4 + i]);
        if (!percent) {
            return;
        }
        *humidity[i] = *percent;
    }
}

BandTexts textsFor(const link::AlarmThresholds& t) {
    return {journal::formatTenths(t.T1_HI), journal::formatTenths(t.T1_LOW),
            journal::formatTenths(t.T2_HI), journal::formatTenths(t.T2_LOW),
            QString::number(t.T3_HI),       QString::number(t.T3_LOW)};
}

namespace {

QChar separator() {
    return journal::decimalSeparator().at(0);
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

}  // namespace

std::optional<QChar> temperatureKey(QChar typed, QStringView boxText, bool hasSelection) {
    if (typed == QLatin1Char('.') || typed == QLatin1Char(',')) {
        typed = separator();
    }
    if (typed != kBackspace && typed != separator() && !isDigit(typed)) {
        return std::nullopt;
    }
    // One decimal only: with the separator second to last, the number is whole.
    if (boxText.size() >= 2 && boxText[boxText.size() - 2] == separator() && typed != kBackspace &&
        !hasSelection) {
        return std::nullopt;
    }
    return typed;
}

std::optional<QChar> humidityKey(QChar typed) {
    if (typed == kBackspace || isDigit(typed)) {
        return typed;
    }
    return std::nullopt;
}

namespace {

// As the window captions the box: its group, then its label.
QString boxName(std::size_t box) {
    static const char* const groups[] = {QT_TRANSLATE_NOOP("AlarmBands", "Т1 Тревога"),
                                         QT_TRANSLATE_NOOP("AlarmBands", "Т2 Тревога"),
                                         QT_TRANSLATE_NOOP("AlarmBands", "Влажность")};
    static const char* const labels[] = {QT_TRANSLATE_NOOP("AlarmBands", "Выше"),
                                         QT_TRANSLATE_NOOP("AlarmBands", "Ниже")};
    return QCoreApplication::translate("AlarmBands", groups[box / 2]) + QStringLiteral(", ") +
           QCoreApplication::translate("AlarmBands", labels[box % 2]);
}

BoxExit temperatureExit(const QString& text) {
    BoxExit exit;
    exit.text = text;
    if (exit.text.isEmpty() || exit.text == separator()) {
        exit.text = QStringLiteral("0");
    } else if (exit.text.startsWith(separator())) {
        exit.text.prepend(QLatin1Char('0'));
    }
    if (!exit.text.contains(separator())) {
        exit.text += separator() + QStringLiteral("0");
    }
    // The separator taken out: "39,5" gives 395; a text that is not digits,
    // separator and one digit gives no integer.
    QString tenths = exit.text;
    tenths[tenths.size() - 2] = tenths[tenths.size() - 1];
    tenths.chop(1);
    const std::optional<int> value = settings::SettingsFile::parseInteger(tenths);
    if (!value) {
        exit.conversionError =
            QCoreApplication::translate("AlarmBands", "'%1' is not a valid integer value")
                .arg(tenths);
    } else if (*value > 500) {
        exit.rangeMessage =
            QCoreApplication::translate("AlarmBands", "Не в диапазоне (0..50.0)  ") +
            quoted(exit.text);
    } else {
        exit.threshold = value;
    }
    return exit;
}

BoxExit humidityExit(const QString& text) {
    BoxExit exit;
    exit.text = text;
    const std::optional<int> value = settings::SettingsFile::parseInteger(text);
    if (value && *value >= 100) {
        exit.rangeMessage =
            QCoreApplication::translate("AlarmBands", "Не в диапазоне (0..99)  ") + quoted(text);
    } else {
        exit.threshold = value;
    }
    return exit;
}

}  // namespace

BoxExit boxExit(std::size_t box, const QString& text) {
    BoxExit exit = box < 4 ? temperatureExit(text) : humidityExit(text);
    // Six boxes share the two messages: the operator must see which one was refused.
    if (!exit.rangeMessage.isEmpty()) {
        exit.rangeMessage.prepend(boxName(box) + QLatin1Char('\n'));
    }
    return exit;
}

}  // namespace im::alarms
