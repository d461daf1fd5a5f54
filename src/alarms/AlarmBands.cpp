#include "alarms/AlarmBands.h"

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

}  // namespace im::alarms
