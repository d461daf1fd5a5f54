#pragma once

#include "chart/TCurves.h"

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace im::chart {

// The chart without its window: properties with their setter rules, the
// full and visible ranges, the pixel geometry, the value-to-pixel mapping,
// zoom, pan, hit-testing and the choice of grid steps. The chart control
// paints and takes input on top of it; tests drive it directly.
class ChartModel {
public:
    static constexpr int kBottomMargin = 24;
    static constexpr int kTopMargin = 8;

    ChartModel();
    virtual ~ChartModel() = default;
    ChartModel(const ChartModel&) = delete;
    ChartModel& operator=(const ChartModel&) = delete;

    // Published properties; a setter that changes what is drawn asks for one
    // repaint.
    const QColor& ColorAxis() const { return colorAxis_; }
    void setColorAxis(const QColor& c);
    double MinXValue() const { return minX_; }
    void setMinXValue(double v);
    double MaxXValue() const { return maxX_; }
    void setMaxXValue(double v);  // not above 0 is stored as 0
    double MinYValue() const { return minY_; }
    void setMinYValue(double v);
    double MaxYValue() const { return maxY_; }
    void setMaxYValue(double v);  // negative is stored as 0
    bool GridX() const { return gridX_; }
    void setGridX(bool on);
    bool GridY() const { return gridY_; }
    void setGridY(bool on);
    const QColor& Color() const { return color_; }
    void setColor(const QColor& c);  // always repaints
    const QColor& ColorGrid() const { return colorGrid_; }
    void setColorGrid(const QColor& c);
    int StepScale() const { return stepScale_; }
    void setStepScale(int step);  // below 1 is stored as 100
    TCurves& Curves() { return curves_; }
    const TCurves& Curves() const { return curves_; }
    void setCurves(const TCurves& other);
    int DecimalHint() const { return decimalHint_; }
    void setDecimalHint(int decimals);  // 0 to 6, others ignored
    bool ShowTextScale() const { return showTextScale_; }
    void setShowTextScale(bool on);
    int Precision() const { return precision_; }
    void setPrecision(int decimals);  // outside 0 to 3 becomes 1
    bool Details() const { return details_; }
    void setDetails(bool on);

    // Zoom in percent, never below 100; setting it zooms about
    // LastMousePoint and raises the scale-change event.
    int Scale() const { return scale_; }
    void setScale(int n);
    double ZoomFactor() const { return zoomFactor_; }

    // The client size the geometry works with.
    int clientWidth() const { return width_; }
    int clientHeight() const { return height_; }
    void setClientSize(int width, int height);

    // Run-time state shared by painting, zoom and the pointer.
    double ViewMinX = 0;
    double ViewMaxX = 0;
    double ViewMinY = 0;
    double ViewMaxY = 0;
    int LeftMargin = 0;
    int BottomMargin = kBottomMargin;
    int PlotWidth = 0;
    int PlotHeight = 0;
    double XUnitsPerPixel = 0;
    double YUnitsPerPixel = 0;
    QSize XLabelSize{0, 0};
    QSize YLabelSize{0, 0};
    QPoint LastMousePoint{0, 0};
    bool LeftButtonDown = false;
    bool Dragged = false;
    QColor WatermarkColor{220, 220, 220};

    // The value shown at a client pixel; x = -1 stands for the plot centre.
    QPointF PixelToValue(QPoint p);
    // Moves the visible range so that the value under LastMousePoint comes
    // under p, inside the full range.
    void PanTo(QPoint p);

    struct FoundPoint {
        int curve;
        int index;
        double x;
        double y;
    };
    // The first point near p of the last curve that has one.
    std::optional<FoundPoint> FindPointAt(QPoint p);
    // "57: (x:57,0, y:37,4)" with DecimalHint decimals.
    QString hintText(const FoundPoint& point) const;

    // --- What one paint computes (also run by tests without painting) ---

    // At 100 % the full range widens to take in every point; the visible
    // range then is the full range. Above 100 % the visible range stays.
    void updateRanges();

    using Measure = std::function<QSize(const QString&)>;
    struct AxisScale {
        double step = 0;
        double first = 0;
        int decimals = 0;
    };
    // Grid step and first grid value of each axis; no value when the
    // visible range is empty or inverted. The Y scale also sets the label
    // sizes, the margin and the plot size.
    std::optional<AxisScale> ComputeYScale(const Measure& measure);
    std::optional<AxisScale> ComputeXScale();

    // The larger width of the two texts and the height of the second.
    QSize MeasureLabels(double a, double b, int decimals, const Measure& measure) const;
    static int DecimalsForStep(double step);
    // The smallest step of the series 1, 2, 5 times a power of ten that is
    // at least minimumStep, with the magnitude p it was taken from.
    static double gridStep(double minimumStep, double* magnitude = nullptr);
    // The smallest multiple of step at or above viewMin.
    static double firstGridValue(double viewMin, double step, double magnitude);
    // Fixed-point text with the locale's separator and no grouping.
    static QString numberText(double value, int decimals);

    // Value to pixel, from the full ranges and the zoom.
    double kx() const;
    double ky() const;
    int pixelX(double u) const;
    // A pixel offset from a value offset times the scale.
    static int toPixel(double v);
    int pixelY(double v) const;

    // Called by the curve collection and the setters: a repaint is due.
    virtual void invalidate() {}

protected:
    // The zoom changed; the control raises its event.
    virtual void scaleChanged(int /*newScale*/) {}

private:
    void refreshGeometry();

    QColor colorAxis_ = Qt::black;
    double minX_ = 0;
    double maxX_ = 100;
    double minY_ = 0;
    double maxY_ = 100;
    bool gridX_ = true;
    bool gridY_ = true;
    QColor color_ = Qt::white;
    QColor colorGrid_{0xC0, 0xC0, 0xC0};
    int stepScale_ = 100;
    TCurves curves_{this};
    int decimalHint_ = 1;
    bool showTextScale_ = true;
    int precision_ = 1;
    bool details_ = false;
    int scale_ = 100;
    double zoomFactor_ = 1.0;
    int width_ = 320;
    int height_ = 210;
};

}  // namespace im::chart
