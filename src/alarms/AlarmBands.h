#pragma once

#include "link/FrameDecoder.h"

#include <QString>

#include <array>
#include <optional>

namespace im::alarms {

// The six band boxes in their order: T1 above, T1 below, T2 above, T2 below,
// humidity above, humidity below.
using BandTexts = std::array<QString, 6>;

// A temperature text (locale separator) in tenths, rounded down:
// "39,5" -> 395, "5" -> 50, "-0,55" -> -6. Decimal digits are taken exactly,
// so "37,3" is 373, not 372 as a binary multiplication would give.
std::optional<int> floorTenths(QStringView text);

// The threshold each box sets, in the boxes' order.
inline constexpr std::array<int link::AlarmThresholds::*, 6> kBoxThresholds{
    &link::AlarmThresholds::T1_HI,  &link::AlarmThresholds::T1_LOW, &link::AlarmThresholds::T2_HI,
    &link::AlarmThresholds::T2_LOW, &link::AlarmThresholds::T3_HI,  &link::AlarmThresholds::T3_LOW};

// Recomputes all six thresholds from the box texts, in order; the first text
// that does not convert stops it, leaving that threshold and the later ones
// as they were.
void recomputeThresholds(const BandTexts& texts, link::AlarmThresholds& thresholds);

// The box texts for stored thresholds: "00.0" for temperatures, plain
// integers for humidity.
BandTexts textsFor(const link::AlarmThresholds& thresholds);

// The character a temperature box receives for a typed one, or none: a
// full stop (or comma) becomes the decimal separator, only backspace, the
// separator and digits pass, and once the separator is second to last only
// backspace or a typed replacement of selected text gets through.
std::optional<QChar> temperatureKey(QChar typed, QStringView boxText, bool hasSelection);
// The same for a humidity box: backspace and digits only.
std::optional<QChar> humidityKey(QChar typed);

inline constexpr QChar kBackspace{8};

// What leaving a band box does to its text.
struct BoxExit {
    QString text;                  // the box's text first (a completed number)
    QString conversionError;       // not empty: reported as an error; text stays
    QString rangeMessage;          // not empty: shown, then the box gets back its last value
    std::optional<int> threshold;  // set when the text passes: the box's new threshold
};
// Leaving a box (0 to 3 temperature, 4 and 5 humidity). Temperatures: ""
// and "," become 0,0, ",5" 0,5 and "5" 5,0; more than 50,0 is out of range.
// Humidity: 100 or more is out of range; a text that is no integer is left
// alone and sets nothing. The range message names the box on a line of its
// own before it.
BoxExit boxExit(std::size_t box, const QString& text);

}  // namespace im::alarms
