#include "chart/ChartModel.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace im::chart {

namespace {

constexpr std::array<double, 13> kStepSeries = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1,
                                                0.2,   0.5,   1,     2,    5,    10};

// Keeps a visible range of width w inside [lo, hi], moving it, never
// resizing it.
void keepInside(double& viewMin, double& viewMax, double lo, double hi, double w) {
    if (viewMin < lo) {
        viewMin = lo;
        viewMax = viewMin + w;
    }
    if (viewMax > hi) {
        viewMax = hi;
        viewMin = viewMax - w;
    }
}

}  // namespace

ChartModel::ChartModel() = default;

int ChartModel::toPixel(double v) {
    // Half to even, and within what a pixel coordinate can be however far
    // outside the view a value lies.
    const double r = std::nearbyint(v);
    if (!(r > -1e7)) {
        return -10000000;
    }
    return r < 1e7 ? static_cast<int>(r) : 10000000;
}

void ChartModel::setColorAxis(const QColor& c) {
    if (c != colorAxis_) {
        colorAxis_ = c;
        invalidate();
    }
}

void ChartModel::setMinXValue(double v) {
    if (v != minX_) {
        minX_ = v;
        invalidate();
    }
}

void ChartModel::setMaxXValue(double v) {
    if (v != maxX_) {
        maxX_ = v > 0 ? v : 0;
        invalidate();
    }
}

void ChartModel::setMinYValue(double v) {
    if (v != minY_) {
        minY_ = v;
        invalidate();
    }
}

void ChartModel::setMaxYValue(double v) {
    if (v != maxY_) {
        maxY_ = v < 0 ? 0 : v;
        invalidate();
    }
}

void ChartModel::setGridX(bool on) {
    if (on != gridX_) {
        gridX_ = on;
        invalidate();
    }
}

void ChartModel::setGridY(bool on) {
    if (on != gridY_) {
        gridY_ = on;
        invalidate();
    }
}

void ChartModel::setColor(const QColor& c) {
    color_ = c;
    invalidate();
}

void ChartModel::setColorGrid(const QColor& c) {
    if (c != colorGrid_) {
        colorGrid_ = c;
        invalidate();
    }
}

void ChartModel::setStepScale(int step) {
    if (step != stepScale_) {
        stepScale_ = step < 1 ? 100 : step;
        if (scale_ > 100) {
            invalidate();
        }
    }
}

void ChartModel::setCurves(const TCurves& other) {
    curves_.assign(other);
}

void ChartModel::setDecimalHint(int decimals) {
    if (decimals >= 0 && decimals <= 6) {
        decimalHint_ = decimals;
    }
}

void ChartModel::setShowTextScale(bool on) {
    if (on != showTextScale_) {
        showTextScale_ = on;
        invalidate();
    }
}

void ChartModel::setPrecision(int decimals) {
    if (decimals != precision_) {
        precision_ = decimals >= 0 && decimals <= 3 ? decimals : 1;
        invalidate();
    }
}

void ChartModel::setDetails(bool on) {
    if (on != details_) {
        details_ = on;
        invalidate();
    }
}

void ChartModel::setClientSize(int width, int height) {
    width_ = width;
    height_ = height;
}

double ChartModel::kx() const {
    return PlotWidth * zoomFactor_ / (maxX_ - minX_);
}

double ChartModel::ky() const {
    return PlotHeight * zoomFactor_ / (maxY_ - minY_);
}

int ChartModel::pixelX(double u) const {
    return LeftMargin + toPixel((u - ViewMinX) * kx());
}

int ChartModel::pixelY(double v) const {
    return (height_ - BottomMargin) - toPixel((v - ViewMinY) * ky());
}

void ChartModel::refreshGeometry() {
    PlotHeight = height_ - BottomMargin - kTopMargin;
    LeftMargin = YLabelSize.width() + 8;
    PlotWidth = width_ - LeftMargin - XLabelSize.width() / 2 - 3;
}

QPointF ChartModel::PixelToValue(QPoint p) {
    refreshGeometry();
    const double kX = kx();
    const double kY = ky();
    if (p.x() == -1) {
        p = QPoint(LeftMargin + PlotWidth / 2, (height_ - BottomMargin) - PlotHeight / 2);
    }
    return {ViewMinX + (p.x() - LeftMargin) / kX,
            ViewMinY + ((height_ - BottomMargin) - p.y()) / kY};
}

void ChartModel::setScale(int n) {
    if (n == scale_) {
        return;
    }
    const QPointF c = PixelToValue(LastMousePoint);
    scale_ = n < 100 ? 100 : n;
    zoomFactor_ = scale_ / 100.0;

    const double wx = (maxX_ - minX_) / zoomFactor_;
    ViewMinX = c.x() - wx / 2;
    ViewMaxX = c.x() + wx / 2;
    keepInside(ViewMinX, ViewMaxX, minX_, maxX_, ViewMaxX - ViewMinX);

    const double wy = (maxY_ - minY_) / zoomFactor_;
    ViewMinY = c.y() - wy / 2;
    ViewMaxY = c.y() + wy / 2;
    keepInside(ViewMinY, ViewMaxY, minY_, maxY_, ViewMaxY - ViewMinY);

    scaleChanged(scale_);
    invalidate();
}

void ChartModel::PanTo(QPoint p) {
    const QPointF a = PixelToValue(LastMousePoint);
    const QPointF b = PixelToValue(p);
    const double wx = ViewMaxX - ViewMinX;
    ViewMinX += a.x() - b.x();
    ViewMaxX += a.x() - b.x();
    keepInside(ViewMinX, ViewMaxX, minX_, maxX_, wx);
    const double wy = ViewMaxY - ViewMinY;
    ViewMinY += a.y() - b.y();
    ViewMaxY += a.y() - b.y();
    keepInside(ViewMinY, ViewMaxY, minY_, maxY_, wy);
    LastMousePoint = p;
    invalidate();
}

std::optional<ChartModel::FoundPoint> ChartModel::FindPointAt(QPoint p) {
    if (width_ / 2 == 0 || height_ / 6 == 0) {
        return std::nullopt;
    }
    const QPointF v = PixelToValue(p);
    const double tx = (ViewMaxX - ViewMinX) / (width_ / 2);
    const double ty = (ViewMaxY - ViewMinY) / (height_ / 6);
    std::optional<FoundPoint> found;
    for (int c = 0; c < curves_.count(); ++c) {
        const TCurve& curve = curves_[c];
        if (curve.pointCount() < 2) {
            continue;
        }
        const std::vector<double>& xs = curve.XValues();
        const std::vector<double>& ys = curve.YValues();
        for (std::size_t j = 0; j < xs.size(); ++j) {
            if (std::abs(xs[j] - v.x()) <= tx && std::abs(ys[j] - v.y()) <= ty) {
                found = FoundPoint{c, static_cast<int>(j), xs[j], ys[j]};
                break;
            }
        }
    }
    return found;
}

QString ChartModel::hintText(const FoundPoint& point) const {
    return QStringLiteral("%1: (x:%2, y:%3)")
        .arg(point.index)
        .arg(numberText(point.x, decimalHint_), numberText(point.y, decimalHint_));
}

void ChartModel::updateRanges() {
    if (curves_.count() > 0 && scale_ == 100) {
        double loX = std::numeric_limits<double>::infinity();
        double hiX = -loX;
        double loY = loX;
        double hiY = -loX;
        bool drawable = false;
        for (int c = 0; c < curves_.count(); ++c) {
            const TCurve& curve = curves_[c];
            if (curve.pointCount() == 0) {
                continue;
            }
            drawable = drawable || curve.pointCount() >= 2;
            const auto [minXIt, maxXIt] =
                std::minmax_element(curve.XValues().begin(), curve.XValues().end());
            const auto [minYIt, maxYIt] =
                std::minmax_element(curve.YValues().begin(), curve.YValues().end());
            loX = std::min(loX, *minXIt);
            hiX = std::max(hiX, *maxXIt);
            loY = std::min(loY, *minYIt);
            hiY = std::max(hiY, *maxYIt);
        }
        // The data widens the full range; it never narrows it. Written
        // directly: no clamp and no new repaint request.
        if (drawable) {
            maxY_ = std::max(maxY_, hiY);
            minY_ = std::min(minY_, loY);
            maxX_ = std::max(maxX_, hiX);
            minX_ = std::min(minX_, loX);
        }
    }
    if (curves_.count() == 0 || scale_ == 100) {
        ViewMinX = minX_;
        ViewMaxX = maxX_;
        ViewMinY = minY_;
        ViewMaxY = maxY_;
    }
}

int ChartModel::DecimalsForStep(double step) {
    if (step > -0.01 && step < 0.01) {
        return 3;
    }
    if (step > -0.1 && step < 0.1) {
        return 2;
    }
    if (step > -1 && step < 1) {
        return 1;
    }
    return 0;
}

double ChartModel::gridStep(double minimumStep, double* magnitude) {
    // p is 10 to the power (digits of the rounded minimum step - 1); a
    // minimum below 0.5 rounds to 0, which has one digit.
    double rounded = std::nearbyint(minimumStep);
    double p = 1;
    while (rounded >= 10) {
        rounded /= 10;
        p *= 10;
    }
    if (magnitude) {
        *magnitude = p;
    }
    for (double s : kStepSeries) {
        if (s * p >= minimumStep) {
            return s * p;
        }
    }
    return kStepSeries.back() * p;
}

double ChartModel::firstGridValue(double viewMin, double step, double magnitude) {
    double first = std::trunc(viewMin / (10 * magnitude)) * 10 * magnitude;
    if (viewMin >= 0) {
        while (first < viewMin && first + step != first) {
            first += step;
        }
    } else {
        while (viewMin + step <= first && first - step != first) {
            first -= step;
        }
    }
    return first;
}

QString ChartModel::numberText(double value, int decimals) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // A sum that should be 0 may come out as -1e-17: no "-0,0".
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) {
        value = 0;
    }
    return locale.toString(value, 'f', decimals);
}

QSize ChartModel::MeasureLabels(double a, double b, int decimals, const Measure& measure) const {
    const QSize sa = measure(numberText(a, decimals));
    const QSize sb = measure(numberText(b, decimals));
    return {std::max(sa.width(), sb.width()), sb.height()};
}

std::optional<ChartModel::AxisScale> ChartModel::ComputeYScale(const Measure& measure) {
    if (!(ViewMaxY > ViewMinY)) {
        return std::nullopt;
    }
    PlotHeight = height_ - BottomMargin - kTopMargin;
    if (PlotHeight <= 0) {
        return std::nullopt;
    }
    YUnitsPerPixel = (ViewMaxY - ViewMinY) / PlotHeight;
    double p = 1;
    AxisScale s;
    s.step = gridStep(14 * YUnitsPerPixel, &p);
    s.first = firstGridValue(ViewMinY, s.step, p);
    s.decimals = DecimalsForStep(s.step);
    YLabelSize = MeasureLabels(ViewMinY, ViewMaxY, precision_, measure);
    XLabelSize = MeasureLabels(ViewMinX, ViewMaxX, precision_, measure);
    LeftMargin = YLabelSize.width() + 8;
    PlotWidth = width_ - LeftMargin - XLabelSize.width() / 2 - 3;
    return s;
}

std::optional<ChartModel::AxisScale> ChartModel::ComputeXScale() {
    if (!(ViewMaxX > ViewMinX) || PlotWidth <= 0) {
        return std::nullopt;
    }
    XUnitsPerPixel = (ViewMaxX - ViewMinX) / PlotWidth;
    double p = 1;
    AxisScale s;
    s.step = gridStep((XLabelSize.width() + 2) * XUnitsPerPixel, &p);
    s.first = firstGridValue(ViewMinX, s.step, p);
    s.decimals = DecimalsForStep(s.step);
    return s;
}

}  // namespace im::chart
