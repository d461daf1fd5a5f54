#include "chart/ChartWindow.h"

#include <QCoreApplication>

#include "journal/RecordLine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

namespace im::chart {

ChartWindow::ChartWindow(const journal::JournalStore& journal, ChartModel& chart)
    : journal_(journal), chart_(chart) {}

const ChartWindow::Parsed& ChartWindow::parsed(int line) {
    Parsed& slot = cache_[std::size_t(line) % cache_.size()];
    if (slot.line == line) {
        return slot;
    }
    slot.line = line;
    const QByteArrayView bytes = journal_.lineBytes(line);
    const QChar separator = journal::decimalSeparator().at(0);
    const std::optional<std::array<double, 4>> values =
        bytes.isEmpty() ? std::nullopt : journal::withLineText(bytes, [&](auto text) {
            return journal::lineValues(text, separator);
        });
    slot.ok = values.has_value();
    slot.values = values.value_or(std::array<double, 4>{});
    return slot;
}

ChartWindow::EndLabels ChartWindow::PlotChartWindow(int last) {
    const int n = length_;
    EndLabels labels;
    std::tie(labels.endTime, labels.endDate) = journal::timeAndDateOf(journal_.lineBytes(last));
    const int first = last - (n - 1);
    // The first line plotted, also while the window is not yet full.
    if (last >= 0) {
        std::tie(labels.beginTime, labels.beginDate) =
            journal::timeAndDateOf(journal_.lineBytes(std::max(first, 0)));
    }

    TCurves& curves = chart_.Curves();
    curves.BeginUpdate();
    const int curveCount = std::min(4, curves.count());
    std::array<std::vector<double>, 4> xs;
    std::array<std::vector<double>, 4> ys;
    for (int c = 0; c < curveCount; ++c) {
        xs[std::size_t(c)].reserve(std::size_t(n));
        ys[std::size_t(c)].reserve(std::size_t(n));
    }
    if (cacheRevision_ != journal_.revision() || cache_.size() < std::size_t(2 * n)) {
        cache_.assign(std::size_t(2 * n), Parsed{});
        cacheRevision_ = journal_.revision();
    }
    const int lines = journal_.lineCount();
    for (int k = 0; k < n; ++k) {
        const int i = first + k;
        // Lines are only ever added after the last one, so a line that
        // exists keeps its numbers until the revision changes.
        if (i < 0 || i >= lines) {
            continue;
        }
        const Parsed& p = parsed(i);
        if (!p.ok) {
            continue;
        }
        for (int c = 0; c < curveCount; ++c) {
            xs[std::size_t(c)].push_back(k);
            ys[std::size_t(c)].push_back(p.values[std::size_t(c)]);
        }
    }
    for (int c = 0; c < curveCount; ++c) {
        curves[c].setPoints(std::move(xs[std::size_t(c)]), std::move(ys[std::size_t(c)]));
    }
    curves.EndUpdate();
    return labels;
}

void ChartWindow::applyWindowLength() {
    chart_.setMaxXValue(length_);
    chart_.setScale(100);
    chart_.setScale(101);
}

void ChartWindow::applyYScrollBars(int gain, int positionMaximum, int position) {
    const double c = (positionMaximum - position) / 10.0;
    chart_.setMinYValue(c - 20 + gain / 10.0);
    chart_.setMaxYValue(c + 30 - gain / 10.0);
    chart_.setScale(100);
    chart_.setScale(101);
}

QString ChartWindow::scrollBarHint(const QString& line, int position, int count) {
    return line + QStringLiteral("\r\n") +
           QCoreApplication::translate("ChartWindow", "строка %1, всего %2")
               .arg(position)
               .arg(count);
}

QString ChartWindow::readout(QPoint pointer) {
    const double y = chart_.PixelToValue(pointer).y();
    // "00.0": the value rounded to tenths, half away from zero.
    return journal::formatTenths(static_cast<qint64>(std::round(y * 10)));
}

}  // namespace im::chart
