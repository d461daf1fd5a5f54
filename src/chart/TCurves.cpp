#include "chart/TCurves.h"

#include "chart/ChartModel.h"

namespace im::chart {

void TCurve::setColorGraph(const QColor& color) {
    if (color != color_) {
        color_ = color;
        changed();
    }
}

void TCurve::setThickLine(int width) {
    if (width != thickLine_) {
        thickLine_ = width;
        changed();
    }
}

void TCurve::setDetails(bool on) {
    if (on != details_) {
        details_ = on;
        changed();
    }
}

void TCurve::AddPoint(double x, double y) {
    x_.push_back(x);
    y_.push_back(y);
    changed();
}

void TCurve::setPoints(std::vector<double> x, std::vector<double> y) {
    y.resize(x.size());
    x_ = std::move(x);
    y_ = std::move(y);
    changed();
}

void TCurve::Clear() {
    std::vector<double>().swap(x_);
    std::vector<double>().swap(y_);
    changed();
}

void TCurve::reserve(std::size_t n) {
    x_.reserve(n);
    y_.reserve(n);
}

void TCurve::assign(const TCurve& other) {
    setColorGraph(other.ColorGraph());
    setThickLine(other.ThickLine());
    setDetails(other.Details());
}

void TCurve::changed() {
    if (collection_) {
        collection_->itemChanged();
    }
}

TCurve& TCurves::add() {
    items_.push_back(std::make_unique<TCurve>(this));
    itemChanged();
    return *items_.back();
}

void TCurves::clear() {
    items_.clear();
    itemChanged();
}

void TCurves::assign(const TCurves& other) {
    if (&other == this) {
        return;
    }
    BeginUpdate();
    items_.clear();
    for (int i = 0; i < other.count(); ++i) {
        add().assign(other[i]);
    }
    itemChanged();
    EndUpdate();
}

void TCurves::BeginUpdate() {
    ++updateCount_;
}

void TCurves::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        if (owner_) {
            owner_->invalidate();
        }
    }
}

void TCurves::itemChanged() {
    if (updateCount_ > 0) {
        changedInUpdate_ = true;
        return;
    }
    if (owner_) {
        owner_->invalidate();
    }
}

bool TCurves::anyDrawable() const {
    for (const auto& c : items_) {
        if (c->pointCount() >= 2) {
            return true;
        }
    }
    return false;
}

}  // namespace im::chart
