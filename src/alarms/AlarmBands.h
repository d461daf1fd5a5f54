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

// Recomputes all six thresholds from the box texts, in order; the first text
// that does not convert stops it, leaving that threshold and the later ones
// as they were.
void recomputeThresholds(const BandTexts& texts, link::AlarmThresholds& thresholds);

// The box texts for stored thresholds: "00.0" for temperatures, plain
// integers for humidity.
BandTexts textsFor(const link::AlarmThresholds& thresholds);

}  // namespace im::alarms
