#pragma once

#include "core/Balloons.h"

#include <QObject>
#include <QSystemTrayIcon>

class QMainWindow;

namespace im::app {

// The tray icon and its warning balloons. Without a notification area the
// warnings are shown inside the window, in its status bar.
class TTrayIcon : public QObject, public core::Balloons {
    Q_OBJECT
public:
    explicit TTrayIcon(QMainWindow* window);

    void setIconVisible(bool visible);
    bool iconVisible() const { return icon_.isVisible(); }

    // Each balloon replaces the one on screen; a title keeps its first 63
    // characters, a text its first 255.
    void ShowBalloon(const QString& title, const QString& text, core::BalloonIcon icon,
                     int timeoutSeconds) override;

private:
    QMainWindow* window_;
    QSystemTrayIcon icon_;
};

// The program's picture: an egg in a warm circle.
QIcon applicationIcon();

}  // namespace im::app
