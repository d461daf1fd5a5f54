#include "app/Controls.h"

#include "core/Mnemonics.h"

namespace im::app {

ScrollBar::ScrollBar(Qt::Orientation orientation, int minimum, int maximum, int position,
                     QWidget* parent)
    : QuietScrollBar(orientation, parent) {
    setRange(minimum, maximum);
    setValue(position);
    setPageStep(0);
    setSingleStep(1);
    // The trough (and Page Up/Down) moved the position by the page step; the
    // value is not yet applied here, so the jump can still be set.
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == SliderPageStepAdd) {
            setSliderPosition(value() + largeChange_);
        } else if (action == SliderPageStepSub) {
            setSliderPosition(value() - largeChange_);
        }
    });
}

SpeedButton::SpeedButton(const QString& caption, QWidget* parent) : QToolButton(parent) {
    setText(caption);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void showModalOver(QWidget& owner, QWidget* window) {
    core::giveKeyboardWays(window, true);
    window->setWindowModality(Qt::ApplicationModal);
    window->move(owner.geometry().center() - window->rect().center());
    window->show();
}

}  // namespace im::app
