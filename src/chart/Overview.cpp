#include "chart/Overview.h"

#include "chart/ChartModel.h"
#include "journal/RecordLine.h"

#include <QDate>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace im::chart {

namespace {

using journal::ValueDigest;

constexpr std::array<Overview::Value, 2> kTemperatures{ValueDigest::T1, ValueDigest::T2};
constexpr std::array<Overview::Value, 1> kHumidity{ValueDigest::HM};
const std::array<QString, ValueDigest::kValues> kNames{QStringLiteral("T1"), QStringLiteral("T2"),
                                                       QStringLiteral("HM")};

constexpr qint64 kMinute = 60;
constexpr qint64 kHour = 3600;
constexpr qint64 kDay = 86400;

// The steps between time labels, smallest first: round minutes, hours and
// days from midnight, weeks from Monday (1 January 2000 was a Saturday).
constexpr qint64 kSteps[] = {kMinute,      2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute,
                             30 * kMinute, kHour,       2 * kHour,   3 * kHour,    6 * kHour,
                             12 * kHour,   kDay,        2 * kDay,    7 * kDay,     14 * kDay,
                             28 * kDay,    91 * kDay,   364 * kDay};

qint64 offsetOf(qint64 step) {
    return step % (7 * kDay) == 0 ? 2 * kDay : 0;
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

Overview::TimeLabel labelOf(int column, qint64 moment, bool ofADay) {
    Overview::TimeLabel label;
    label.column = column;
    label.moment = moment;
    const qint64 day = floorDiv(moment, kDay);
    const qint64 second = moment - day * kDay;
    if (!ofADay) {
        label.time = QStringLiteral("%1%2%3")
                         .arg(second / kHour, 2, 10, QLatin1Char('0'))
                         .arg(journal::timeSeparator())
                         .arg(second % kHour / kMinute, 2, 10, QLatin1Char('0'));
    }
    label.date = QDate(2000, 1, 1).addDays(day).toString(QStringLiteral("dd.MM.yy"));
    return label;
}

}  // namespace

Overview::Overview(const journal::JournalStore& journal, journal::ValueDigest& digest)
    : journal_(journal), digest_(digest) {}

bool Overview::sync() {
    const int before = digest_.lineCount();
    const int first = digest_.sync(journal_);
    return first != digest_.lineCount() || before != digest_.lineCount();
}

Overview::Layout Overview::layout(QSize size, int textHeight) const {
    Layout l;
    l.labelHeight = 2 * textHeight + 6;
    const int left = kLeftMargin;
    const int width = std::max(1, size.width() - kLeftMargin - kRightMargin);
    const int plots = std::max(2, size.height() - kTopMargin - kPanelGap - l.labelHeight);
    const int upper = plots * 3 / 5;
    l.temperatures = QRect(left, kTopMargin, width, std::max(1, upper));
    l.humidity = QRect(left, kTopMargin + upper + kPanelGap, width, std::max(1, plots - upper));
    return l;
}

std::pair<int, int> Overview::columnLines(int column, int width) const {
    const qint64 lines = digest_.lineCount();
    const int from = static_cast<int>(lines * column / width);
    const int to = static_cast<int>(lines * (column + 1) / width);
    return {from, std::max(to, std::min(from + 1, int(lines)))};
}

std::vector<ValueDigest::Range> Overview::columns(int width) const {
    std::vector<ValueDigest::Range> out(std::size_t(std::max(width, 0)));
    for (int x = 0; x < width; ++x) {
        const auto [from, to] = columnLines(x, width);
        out[std::size_t(x)] = digest_.range(from, to);
    }
    return out;
}

std::pair<Overview::Span, Overview::Span> Overview::spans(
    const std::vector<ValueDigest::Range>& columns, const Bands& bands) const {
    auto spanOf = [&](auto values) {
        int low = INT_MAX;
        int high = INT_MIN;
        for (const Value v : values) {
            low = std::min({low, bands.low[v], bands.high[v]});
            high = std::max({high, bands.low[v], bands.high[v]});
            for (const ValueDigest::Range& c : columns) {
                if (c.count > 0) {
                    low = std::min(low, c.min[v]);
                    high = std::max(high, c.max[v]);
                }
            }
        }
        const int room = std::max(5, (high - low) / 20);
        return Span{low - room, high + room};
    };
    return {spanOf(kTemperatures), spanOf(kHumidity)};
}

int Overview::rowOf(int tenths, const Span& span, const QRect& panel) {
    const double share = double(span.high - tenths) / double(span.high - span.low);
    return panel.top() + static_cast<int>(std::lround(share * (panel.height() - 1)));
}

int Overview::columnOf(int line, int width) const {
    const qint64 lines = std::max(digest_.lineCount(), 1);
    return static_cast<int>(std::clamp<qint64>(qint64(line) * width / lines, 0, width - 1));
}

std::vector<Overview::TimeLabel> Overview::timeLabels(int width, int labelWidth) const {
    std::vector<TimeLabel> labels;
    if (digest_.lineCount() == 0 || width <= 0) {
        return labels;
    }
    // The moment of each column's first line; a column that begins with a
    // note has none.
    std::vector<std::optional<qint64>> moments(static_cast<std::size_t>(width));
    int previousLine = -1;
    for (int x = 0; x < width; ++x) {
        const int line = columnLines(x, width).first;
        moments[std::size_t(x)] = line == previousLine
                                      ? moments[std::size_t(x - 1)]
                                      : journal::momentOfLine(journal_.lineBytes(line));
        previousLine = line;
    }
    // A round moment of a step is where the first line of a later interval
    // of the step than any before falls: a clock set back repeats none.
    auto crossings = [&moments, width](qint64 step, auto&& use) {
        std::optional<qint64> last;
        for (int x = 0; x < width; ++x) {
            if (const std::optional<qint64> m = moments[std::size_t(x)]) {
                const qint64 k = floorDiv(*m - offsetOf(step), step);
                if (!last || k > *last) {
                    if (last) {
                        use(x, k * step + offsetOf(step));
                    }
                    last = k;
                }
            }
        }
    };
    const int room = std::max(1, width / kLabelSpacing);
    qint64 chosen = kSteps[std::size(kSteps) - 1];
    for (const qint64 step : kSteps) {
        int count = 0;
        crossings(step, [&count](int, qint64) { ++count; });
        if (count <= room) {
            chosen = step;
            break;
        }
    }
    const bool ofDays = chosen >= kDay;
    // A label fits in the plot and the margin beside it; one too close to
    // the last (lines after a night without any) is left out.
    const int lastColumn = width + kRightMargin - labelWidth;
    crossings(chosen, [&](int x, qint64 moment) {
        if (x <= lastColumn && (labels.empty() || x - labels.back().column >= labelWidth)) {
            labels.push_back(labelOf(x, moment, ofDays));
        }
    });
    // At the left edge, where there is room, the interval the journal
    // begins in, so that even a short journal tells its date.
    const auto first = std::find_if(moments.begin(), moments.end(),
                                    [](const std::optional<qint64>& m) { return m.has_value(); });
    if (first != moments.end()) {
        const int x = static_cast<int>(first - moments.begin());
        if (x <= lastColumn && (labels.empty() || labels.front().column - x >= labelWidth)) {
            const qint64 k = floorDiv(**first - offsetOf(chosen), chosen);
            labels.insert(labels.begin(), labelOf(x, k * chosen + offsetOf(chosen), ofDays));
        }
    }
    return labels;
}

void Overview::paint(QPainter& painter, QSize size, const Style& style, const Bands& bands,
                     int markedLine) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const Layout l = layout(size, metrics.height());
    painter.fillRect(QRect(QPoint(0, 0), size), style.background);
    const std::vector<ValueDigest::Range> cols = columns(l.temperatures.width());
    const auto [temperatureSpan, humiditySpan] = spans(cols, bands);
    const int labelWidth = std::max(metrics.horizontalAdvance(labelOf(0, 0, false).time),
                                    metrics.horizontalAdvance(labelOf(0, 0, false).date)) +
                           8;
    const std::vector<TimeLabel> labels = timeLabels(l.humidity.width(), labelWidth);

    auto panel = [&](const QRect& rect, const Span& span, auto values) {
        // Shading first, then the grid with its labels and the frame, the
        // bands, and the envelopes on top, the first value last.
        for (const Value v : values) {
            for (int x = 0; x < rect.width(); ++x) {
                const ValueDigest::Range& c = cols[std::size_t(x)];
                if (c.count > 0 && (bands.outside(v, c.max[v]) || bands.outside(v, c.min[v]))) {
                    painter.fillRect(rect.left() + x, rect.top(), 1, rect.height(), style.outside);
                }
            }
        }
        const double step = ChartModel::gridStep((span.high - span.low) / 10.0 / 6.0);
        const int decimals = ChartModel::DecimalsForStep(step);
        painter.setPen(style.grid);
        for (double g = std::ceil(span.low / 10.0 / step) * step; g * 10 <= span.high; g += step) {
            const int y = rowOf(static_cast<int>(std::lround(g * 10)), span, rect);
            painter.drawLine(rect.left(), y, rect.right(), y);
            const QString text = ChartModel::numberText(g, decimals);
            painter.setPen(style.text);
            painter.drawText(QRect(0, y - metrics.height() / 2, kLeftMargin - 4, metrics.height()),
                             Qt::AlignRight | Qt::AlignVCenter, text);
            painter.setPen(style.grid);
        }
        for (const TimeLabel& label : labels) {
            const int x = rect.left() + label.column;
            painter.drawLine(x, rect.top(), x, rect.bottom());
        }
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        for (const Value v : values) {
            painter.setPen(QPen(style.curves[v], 1, Qt::DashLine));
            for (const int band : {bands.high[v], bands.low[v]}) {
                const int y = rowOf(band, span, rect);
                painter.drawLine(rect.left(), y, rect.right(), y);
            }
        }
        // The first value's bars, and over them the others' highest and
        // lowest rows: T2 mostly runs within T1's bar, and shows there as
        // the two lines of its edges.
        for (const Value v : values) {
            for (int x = 0; x < rect.width(); ++x) {
                const ValueDigest::Range& c = cols[std::size_t(x)];
                if (c.count == 0) {
                    continue;
                }
                const int top = rowOf(c.max[v], span, rect);
                const int bottom = rowOf(c.min[v], span, rect);
                if (v == values.front()) {
                    painter.fillRect(rect.left() + x, top, 1, bottom - top + 1, style.curves[v]);
                } else {
                    painter.fillRect(rect.left() + x, top, 1, 1, style.curves[v]);
                    painter.fillRect(rect.left() + x, bottom, 1, 1, style.curves[v]);
                }
            }
        }
        // The names of the values in their colours, in the panel's corner.
        int x = rect.left() + 4;
        for (const Value v : values) {
            const QString name = kNames[v];
            painter.setPen(style.curves[v]);
            painter.drawText(x, rect.top() + 2 + metrics.ascent(), name);
            x += metrics.horizontalAdvance(name) + metrics.horizontalAdvance(QLatin1Char(' '));
        }
    };
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), size));
    panel(l.temperatures, temperatureSpan, kTemperatures);
    panel(l.humidity, humiditySpan, kHumidity);
    if (markedLine >= 0 && markedLine < digest_.lineCount()) {
        const int x = l.temperatures.left() + columnOf(markedLine, l.temperatures.width());
        painter.setPen(QPen(style.text, 1, Qt::DotLine));
        painter.drawLine(x, l.temperatures.top(), x, l.humidity.bottom());
    }
    painter.restore();
    paintTimeLabels(painter, l, style, labels);
}

void Overview::paintTimeLabels(QPainter& painter, const Layout& l, const Style& style,
                               const std::vector<TimeLabel>& labels) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect& plot = l.humidity;
    const int top = plot.bottom() + 2;
    for (const TimeLabel& label : labels) {
        const int px = plot.left() + label.column;
        painter.setPen(style.grid);
        painter.drawLine(px, plot.bottom() + 1, px, plot.bottom() + 3);
        painter.setPen(style.text);
        // "14:00" over "05.12.26"; a day's label is its date alone.
        QRect box(px + 2, top + 2, metrics.horizontalAdvance(label.date) + 4, metrics.height());
        if (!label.time.isEmpty()) {
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, label.time);
            box.translate(0, metrics.height());
        }
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, label.date);
    }
}

bool Overview::atNewestEdge(QPoint point, QSize size, int textHeight) const {
    const Layout l = layout(size, textHeight);
    return point.x() > l.temperatures.right() - kNewestEdge && point.x() < size.width() &&
           point.y() >= l.temperatures.top() && point.y() <= l.humidity.bottom();
}

int Overview::lineAt(QPoint point, QSize size, int textHeight) const {
    const Layout l = layout(size, textHeight);
    const QRect plots(l.temperatures.topLeft(), l.humidity.bottomRight());
    if (digest_.lineCount() == 0 || !plots.contains(point)) {
        return -1;
    }
    const auto [from, to] = columnLines(point.x() - plots.left(), plots.width());
    return from + (to - from - 1) / 2;
}

}  // namespace im::chart
