#include "app/NormalPlace.h"

#include <QEvent>
#include <QWidget>

namespace im::app {

namespace {

// Longer than a window manager takes between the new geometry and the new
// state of a window it maximises.
constexpr int kSettleMs = 300;

}  // namespace

NormalPlace::NormalPlace(QWidget* window) : QObject(window), window_(window) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (isNormal() && window_->isVisible()) {
            rect_ = window_->geometry();
        }
    });
    window->installEventFilter(this);
}

bool NormalPlace::isNormal() const {
    return !(window_->windowState() &
             (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

QRect NormalPlace::rect() const {
    return isNormal() ? window_->geometry() : rect_;
}

bool NormalPlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::WindowStateChange)) {
        settle_.start();
    }
    return false;
}

}  // namespace im::app
