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
};

}  // namespace im::chart
