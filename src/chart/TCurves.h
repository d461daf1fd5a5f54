#pragma once

#include <QColor>

#include <memory>
#include <vector>

namespace im::chart {

class ChartModel;
class TCurves;

// One curve: a run of (X, Y) points joined by straight lines, in the order
// they were added. A change of a property or of the points asks the owning
// chart for one repaint.
class TCurve {
public:
    explicit TCurve(TCurves* collection = nullptr) : collection_(collection) {}
    TCurve(const TCurve&) = delete;
    TCurve& operator=(const TCurve&) = delete;

    const QColor& ColorGraph() const { return color_; }
    void setColorGraph(const QColor& color);
    // Line width in pixels.
    int ThickLine() const { return thickLine_; }
    void setThickLine(int width);
    // Point markers on this curve.
    bool Details() const { return details_; }
    void setDetails(bool on);

    void AddPoint(double x, double y);
    // All points at once, in place of the present ones (one repaint request).
    void setPoints(std::vector<double> x, std::vector<double> y);
    void Clear();
    // Room for n points without growing again (a chart window refill).
    void reserve(std::size_t n);

    // Copies colour, width and marker flag; never points.
    void assign(const TCurve& other);

    const std::vector<double>& XValues() const { return x_; }
    const std::vector<double>& YValues() const { return y_; }
    std::size_t pointCount() const { return x_.size(); }

private:
    void changed();

    TCurves* collection_;
    QColor color_ = Qt::black;
    int thickLine_ = 1;
    bool details_ = false;
    std::vector<double> x_;
    std::vector<double> y_;
};

// The chart's curves, addressed by a 0-based index. Every change of an item,
// an addition or a removal invalidates the owner chart; inside an update
// bracket the invalidation waits for its end.
class TCurves {
public:
    explicit TCurves(ChartModel* owner = nullptr) : owner_(owner) {}
    TCurves(const TCurves&) = delete;
    TCurves& operator=(const TCurves&) = delete;

    TCurve& add();
    int count() const { return static_cast<int>(items_.size()); }
    TCurve& operator[](int index) { return *items_.at(static_cast<std::size_t>(index)); }
    const TCurve& operator[](int index) const {
        return *items_.at(static_cast<std::size_t>(index));
    }
    void clear();
    // Replaces all curves by copies of other's (properties only, no points).
    void assign(const TCurves& other);

    void BeginUpdate();
    void EndUpdate();

    ChartModel* owner() const { return owner_; }
    // Called by the items.
    void itemChanged();

    // Whether some curve has two points or more: the condition for zooming
    // with the pointer and for widening the range to the data.
    bool anyDrawable() const;

private:
    ChartModel* owner_;
    std::vector<std::unique_ptr<TCurve>> items_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

}  // namespace im::chart
