#pragma once

#include "chart/ChartModel.h"
#include "journal/JournalStore.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace im::chart {

// The main window's view of the journal on the chart: a window of
// consecutive record lines ending at a chosen line, plotted as four curves
// (T1, T2, T3, HM) against the position of each line in the window.
class ChartWindow {
public:
    static constexpr int kMinimumLength = 50;

    ChartWindow(const journal::JournalStore& journal, ChartModel& chart);

    // The window length: ScrollBarXScale's position + 50 lines.
    int windowLength() const { return length_; }
    void setWindowLengthFromScrollBar(int position) { length_ = position + kMinimumLength; }

    struct EndLabels {
        QString endTime;
        QString endDate;
        // Only when the window's first line is line 3 or later.
        std::optional<QString> beginTime;
        std::optional<QString> beginDate;
    };
    // Refills the four curves with the window ending at line last, in one
    // repaint. A line that is empty, or whose values are not numbers (a
    // note typed into the journal), gives no point.
    EndLabels PlotChartWindow(int last);

    // The chart's X range becomes the window length, and the visible range
    // is derived anew (Scale 100, then 101).
    void applyWindowLength();
    // The Y range from the gain and position scroll bars.
    void applyYScrollBars(int gain, int positionMaximum, int position);

    // Where the window ends: at the newest line, moving on with every new
    // one, or held at a line the operator chose on the overview while new
    // lines arrive, until the operator goes back to the newest lines.
    void hold(int last) { held_ = last; }
    void follow() { held_.reset(); }
    std::optional<int> heldLine() const { return held_; }
    // The window's last line when the newest line is `newest`: the held
    // line, unless an edit took it away (then the window follows again).
    int lastLine(int newest) {
        if (held_ && *held_ > newest) {
            held_.reset();
        }
        return held_.value_or(newest);
    }
    // The window scroll bar moved to the line `last`: at the bar's end
    // (`toTheEnd`) a held window follows again, elsewhere it stays held
    // there. A window that follows is moved back by the next line anyway.
    void scrolledTo(int last, bool toTheEnd) {
        if (held_) {
            held_ = toTheEnd ? std::nullopt : std::optional<int>(last);
        }
    }

    // Line that the window scroll bar at position shows.
    static int lineAtPosition(int count, int maximum, int position) {
        return count - 1 - (maximum - position);
    }
    // The window scroll bar's hint.
    static QString scrollBarHint(const QString& line, int position, int count);
    // The Y value under the pointer as "00.0".
    QString readout(QPoint pointer);

private:
    // The numbers of a line, parsed once: a new line moves the window by one
    // and only that line needs reading. Valid while the journal's revision
    // is the same.
    struct Parsed {
        int line = -1;
        bool ok = false;
        std::array<double, 4> values{};
    };
    const Parsed& parsed(int line);

    const journal::JournalStore& journal_;
    std::vector<Parsed> cache_;
    quint64 cacheRevision_ = 0;
    ChartModel& chart_;
    int length_ = 100 + kMinimumLength;
    std::optional<int> held_;
};

}  // namespace im::chart
