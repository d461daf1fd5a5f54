#include "chart/Overview.h"

#include "chart/ChartModel.h"
#include "journal/RecordLine.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace im::chart {

namespace {

using journal::ValueDigest;

constexpr std::array<Overview::Value, 2> kTemperatures{ValueDigest::T1, ValueDigest::T2};
constexpr std::array<Overview::Value, 1> kHumidity{ValueDigest::HM};
const std::array<QString, ValueDigest::kValues> kNames{QStringLiteral("T1"), QStringLiteral("T2"),
                                                       QStringLiteral("HM")};

}  // namespace

Overview::Overview(const journal::JournalStore& journal, QChar decimalSeparator)
    : journal_(journal), digest_(decimalSeparator) {}

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

void Overview::paint(QPainter& painter, QSize size, const Style& style, const Bands& bands,
                     int markedLine) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const Layout l = layout(size, metrics.height());
    painter.fillRect(QRect(QPoint(0, 0), size), style.background);
    const std::vector<ValueDigest::Range> cols = columns(l.temperatures.width());
    const auto [temperatureSpan, humiditySpan] = spans(cols, bands);

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
        for (int x = 0; x < rect.width(); x += kLabelSpacing) {
            painter.drawLine(rect.left() + x, rect.top(), rect.left() + x, rect.bottom());
        }
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        for (const Value v : values) {
            painter.setPen(QPen(style.curves[v], 1, Qt::DashLine));
            for (const int band : {bands.high[v], bands.low[v]}) {
                const int y = rowOf(band, span, rect);
                painter.drawLine(rect.left(), y, rect.right(), y);
            }
        }
        for (auto v = values.rbegin(); v != values.rend(); ++v) {
            for (int x = 0; x < rect.width(); ++x) {
                const ValueDigest::Range& c = cols[std::size_t(x)];
                if (c.count == 0) {
                    continue;
                }
                const int top = rowOf(c.max[*v], span, rect);
                const int bottom = rowOf(c.min[*v], span, rect);
                painter.fillRect(rect.left() + x, top, 1, bottom - top + 1, style.curves[*v]);
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
    paintTimeLabels(painter, l, style);
}

void Overview::paintTimeLabels(QPainter& painter, const Layout& l, const Style& style) const {
    if (digest_.lineCount() == 0) {
        return;
    }
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect& plot = l.humidity;
    const int top = plot.bottom() + 2;
    const int lastLabel = plot.width() - metrics.horizontalAdvance(QStringLiteral("00.00.00"));
    for (int x = 0; x <= lastLabel; x += kLabelSpacing) {
        const int line = columnLines(x, plot.width()).first;
        const auto [time, date] = journal::timeAndDateOf(journal_.lineBytes(line));
        const int px = plot.left() + x;
        painter.setPen(style.grid);
        painter.drawLine(px, plot.bottom() + 1, px, plot.bottom() + 3);
        if (date.trimmed().isEmpty()) {
            continue;  // a note has no time stamp
        }
        painter.setPen(style.text);
        // "14:03" over "05.12.26": the hour and minute of the column's first
        // line, and its date.
        const QRect box(px + 2, top + 2, kLabelSpacing - 4, metrics.height());
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, time.left(5));
        painter.drawText(box.translated(0, metrics.height()), Qt::AlignLeft | Qt::AlignTop, date);
    }
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
