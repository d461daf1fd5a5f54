#pragma once

#include "analysis/DailySummary.h"
#include "journal/JournalStore.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <functional>

namespace im::analysis {

// What a report line carries after its event text.
enum class Tail {
    None,
    Humidity,      // "  55%"
    Temperatures,  // "  T1=37,5 T2=37,4"
};

// One report on a controller output. A watched position (1 to 8) of the
// outputs string holds its digit while the output is on and "_" while it
// is off.
struct ReportKind {
    char letter;
    const char* heading;  // UTF-8, as every text here
    int position;
    const char* onText;
    // The tray report watches a second position with a text of its own,
    // taken when the first is off.
    int secondPosition;
    const char* secondText;
    Tail tail;
};

// The kinds in the order of the "Анализ" menus: L, H, D, N, Z, O, A.
const std::array<ReportKind, 7>& reportKinds();
// The kind of a letter; nullptr for any other character.
const ReportKind* reportKind(char letter);

// The report of one kind over the whole journal, oldest line first: the
// heading, then one line per switch of the output (date, two spaces, time,
// four spaces, event text, tail), each line followed by a line end, replace
// the report's text in one change. Empty lines are skipped, and so are
// lines without a full outputs string (a note typed into the journal).
void writeReport(const ReportKind& kind, const journal::JournalStore& journal,
                 journal::JournalStore& report);

// The report kind the program holds for its whole run, and the dispatcher
// that runs the report of that kind into a report view's text.
class OutputAnalysis {
public:
    // The kind of the daily summary, beside the seven output reports.
    static constexpr char kDailySummary = 'S';

    char kind() const { return kind_; }
    void setKind(char letter) { kind_ = letter; }
    // Where the daily summary takes the alarm bands from when it runs.
    void setBands(std::function<journal::ValueBands()> bands) { bands_ = std::move(bands); }

    // Replaces the report text by the report of the current kind, in one
    // change, so a view over it is redrawn once. Any other kind runs
    // nothing and leaves the report as it was.
    void run(const journal::JournalStore& journal, journal::JournalStore& report) const;

private:
    char kind_ = 0;
    std::function<journal::ValueBands()> bands_;
};

// Whether a record line's outputs field shows the output at that position
// (1 to 8) on: its own digit stands there, "_" when it is off.
template <typename View>
bool outputOn(View outputs, int position) {
    return position > 0 && outputs.size() >= position &&
           outputs[position - 1] == QLatin1Char(char('0' + position));
}

// The meaning of the eight output digits of a record line, one line each
// ("Справка").
QStringList outputsHelp();

}  // namespace im::analysis
