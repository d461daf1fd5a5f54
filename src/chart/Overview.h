#pragma once

#include "journal/JournalStore.h"
#include "journal/ValueDigest.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <vector>

class QPainter;

namespace im::chart {

// The whole journal in one picture: per pixel column the lowest and highest
// T1 and T2 (upper panel) and humidity (lower panel) of the lines that fall
// on it, the alarm bands as lines, the columns where a value left its band
// shaded, and round hours or days along the bottom. Columns follow line
// numbers, as the chart does. A paint costs the columns and the blocks of
// the digest, not the journal's length.
class Overview {
public:
    using Value = journal::ValueDigest::Value;

    struct Style {
        QColor background = Qt::white;
        QColor grid{0xC0, 0xC0, 0xC0};
        QColor text = Qt::black;
        QColor outside{0xFF, 0xB4, 0xB4};  // behind a column where a value left its band
        std::array<QColor, journal::ValueDigest::kValues> curves{Qt::red, Qt::blue, Qt::darkGreen};
        friend bool operator==(const Style&, const Style&) = default;
    };
    using Bands = journal::ValueBands;

    static constexpr int kLeftMargin = 44;
    static constexpr int kRightMargin = 8;
    static constexpr int kTopMargin = 6;
    static constexpr int kPanelGap = 8;
    // Pixels a time label wants on average; the step between labels (a
    // minute up to weeks) is the smallest that leaves them that much room.
    static constexpr int kLabelSpacing = 80;
    // The plot's last columns, and the margin beside them, stand for the
    // newest lines: a click there takes the chart back to them.
    static constexpr int kNewestEdge = 4;

    // The digest is its owner's and outlives the overview: it follows the
    // journal while no overview is shown, and a file's loader may have made
    // it.
    Overview(const journal::JournalStore& journal, journal::ValueDigest& digest);

    // Reads what changed in the journal; true when the picture may differ.
    bool sync();
    const journal::ValueDigest& digest() const { return digest_; }

    // The two panels of a picture of that size, and the text height below.
    struct Layout {
        QRect temperatures;
        QRect humidity;
        int labelHeight = 0;
    };
    Layout layout(QSize size, int textHeight) const;

    // The lines a column of a plot that wide covers, from..to (exclusive):
    // at least one line each when the journal is shorter than the plot.
    std::pair<int, int> columnLines(int column, int width) const;
    std::vector<journal::ValueDigest::Range> columns(int width) const;

    // The lowest and highest tenths a panel shows: its values and bands,
    // with a little room.
    struct Span {
        int low = 0;
        int high = 1;
    };
    std::pair<Span, Span> spans(const std::vector<journal::ValueDigest::Range>& columns,
                                const Bands& bands) const;
    // The row of a value in a panel.
    static int rowOf(int tenths, const Span& span, const QRect& panel);

    // With a mark at the column of markedLine (the newest line of the main
    // chart's window), unless it is negative.
    void paint(QPainter& painter, QSize size, const Style& style, const Bands& bands,
               int markedLine = -1) const;
    // The column a line falls on.
    int columnOf(int line, int width) const;

    // The line a click at that point of a picture of that size stands for:
    // the middle one of its column; -1 off the plot or on an empty journal.
    int lineAt(QPoint point, QSize size, int textHeight) const;
    // Whether a click at that point is on the right edge, which stands for
    // the newest lines.
    bool atNewestEdge(QPoint point, QSize size, int textHeight) const;

    // A label along the bottom: a round moment (a whole minute, hour, day or
    // week, in seconds since 1 January 2000 as journal::momentOf counts
    // them) at the column where its lines begin. The time is "hh:mm", empty
    // on a label of a day; the date "dd.mm.yy".
    struct TimeLabel {
        int column = 0;
        qint64 moment = 0;
        QString time;
        QString date;
    };
    // The labels of a plot that wide for labels that wide: one step for all
    // of them, each moment once, left to right, none closer than a label's
    // width to the one before. Reads a line a column.
    std::vector<TimeLabel> timeLabels(int width, int labelWidth) const;

private:
    void paintTimeLabels(QPainter& painter, const Layout& layout, const Style& style,
                         const std::vector<TimeLabel>& labels) const;

    const journal::JournalStore& journal_;
    journal::ValueDigest& digest_;
    quint64 revision_ = 0;
};

}  // namespace im::chart
