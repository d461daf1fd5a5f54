#pragma once

#include <QScrollBar>

#include <optional>

namespace im::journal {

// A scroll bar that repaints only when what it shows has changed. A journal
// that grows by a line a frame changes the range every time, but after the
// first screenfuls the thumb keeps its pixels, and the style's trough is
// among the costliest things the window paints.
class QuietScrollBar : public QScrollBar {
public:
    explicit QuietScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // A new range and value as one change: the state between the two, with
    // the old value in the new range, is never drawn.
    void setRangeAndValue(int minimum, int maximum, int value);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Look {
        QRect thumb;
        bool atMinimum;
        bool atMaximum;  // a style may grey out the arrow that can go no further
        bool operator==(const Look&) const = default;
    };
    Look look() const;

    std::optional<Look> painted_;
    bool holding_ = false;
};

}  // namespace im::journal
