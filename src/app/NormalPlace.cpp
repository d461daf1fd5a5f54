#include "app/NormalPlace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace im::app {

namespace {

// Longer than a window manager takes between the new geometry and the new
// state of a window it maximises.
constexpr int kSettleMs = 300;

}  // namespace

QRect fitToScreens(Place wanted, const QSize& minimum, const QList<QRect>& screens) {
    const qint64 width = std::max(wanted.width, minimum.width());
    const qint64 height = std::max(wanted.height, minimum.height());
    if (screens.isEmpty()) {
        return QRect(0, 0, int(width), int(height));
    }
    // The screen with most of the window, else the first.
    QRect screen = screens.front();
    qint64 most = 0;
    for (const QRect& s : screens) {
        const qint64 w = std::min<qint64>(qint64(s.left()) + s.width(), wanted.left + width) -
                         std::max<qint64>(s.left(), wanted.left);
        const qint64 h = std::min<qint64>(qint64(s.top()) + s.height(), wanted.top + height) -
                         std::max<qint64>(s.top(), wanted.top);
        if (w > 0 && h > 0 && w * h > most) {
            most = w * h;
            screen = s;
        }
    }
    const auto fit = [](qint64 wantedStart, qint64 wantedLength, int minimumLength, int start,
                        int length) {
        const qint64 size =
            std::clamp<qint64>(wantedLength, minimumLength, std::max(length, minimumLength));
        const qint64 at = std::clamp<qint64>(
            wantedStart, start, std::max<qint64>(start, qint64(start) + length - size));
        return std::pair{int(at), int(size)};
    };
    const auto [left, w] = fit(wanted.left, width, minimum.width(), screen.left(), screen.width());
    const auto [top, h] = fit(wanted.top, height, minimum.height(), screen.top(), screen.height());
    return QRect(left, top, w, h);
}

QRect fitToScreens(Place wanted, const QSize& minimum) {
    QList<QRect> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        areas.append(primary->availableGeometry());
    }
    for (QScreen* s : QGuiApplication::screens()) {
        if (s != primary) {
            areas.append(s->availableGeometry());
        }
    }
    return fitToScreens(wanted, minimum, areas);
}

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

bool NormalPlace::positionKnown() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
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
