#include "journal/QuietScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

namespace im::journal {

QuietScrollBar::QuietScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

QuietScrollBar::Look QuietScrollBar::look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
        value() == minimum(), value() == maximum()};
}

void QuietScrollBar::setRangeAndValue(int minimum, int maximum, int value) {
    holding_ = true;
    setRange(minimum, maximum);
    setValue(value);
    holding_ = false;
    sliderChange(SliderValueChange);
}

void QuietScrollBar::sliderChange(SliderChange change) {
    if (change == SliderOrientationChange || (!holding_ && (!painted_ || *painted_ != look()))) {
        QScrollBar::sliderChange(change);
    }
}

void QuietScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    painted_ = look();
}

}  // namespace im::journal
