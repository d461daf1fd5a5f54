#pragma once

#include "journal/JournalStore.h"
#include "journal/ValueDigest.h"

namespace im::analysis {

// Time between two lines longer than this is no data: it counts for
// nothing, neither inside nor outside a band.
inline constexpr int kLongestGapSeconds = 5 * 60;

// "Сводка по дням": a heading line of column names, then one line per date
// of the journal's record lines, in the order the dates first appear, the
// columns separated by tabs: the date, the lines, minimum, maximum and mean
// of T1, T2 and the humidity, the minutes each of them was outside its band,
// the tray turns (each switch-on of output 5 or 6) and the heater's share of
// the time (output 2), in percent. The time of a line lasts until the next
// line. Lines whose T1, T2 and HM are no numbers are left out; they are
// read with a comma or a full stop, whichever locale wrote them. Numbers are
// written with the locale's decimal separator, so that a spreadsheet of the
// locale opens the copied text as columns.
void writeDailySummary(const journal::JournalStore& journal, const journal::ValueBands& bands,
                       journal::JournalStore& report);

}  // namespace im::analysis
