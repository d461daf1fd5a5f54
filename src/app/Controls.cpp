#include "app/Controls.h"

#include "core/Mnemonics.h"

#include <QScreen>

#include <algorithm>

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
    QRect place = window->rect();
    place.moveCenter(owner.geometry().center());
    // Within the screen, also over a window that stands partly off it.
    if (const QScreen* screen = owner.screen()) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(std::clamp(place.left(), room.left(),
                                  std::max(room.left(), room.right() - place.width())));
        place.moveTop(std::clamp(place.top(), room.top(),
                                 std::max(room.top(), room.bottom() - place.height())));
    }
    window->move(place.topLeft());
    window->show();
}

}  // namespace im::app
