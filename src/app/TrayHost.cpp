#include "app/TrayHost.h"

#include "app/TTrayIcon.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>

namespace im::app {

QtTrayHost::QtTrayHost(QObject* parent) : TrayHost(parent) {
    icon_.setIcon(applicationIcon());
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    Q_EMIT pressed();
                } else if (reason == QSystemTrayIcon::DoubleClick) {
                    Q_EMIT doubleClicked();
                } else if (reason == QSystemTrayIcon::Context && menu_) {
                    // Opened from the event loop: opened inside the tray's
                    // mouse press while the program has no active window (the
                    // window hidden in the tray), the menu would close again
                    // at once as the program becomes active.
                    QTimer::singleShot(0, menu_, [m = menu_] { m->popup(QCursor::pos()); });
                }
            });
    connect(&icon_, &QSystemTrayIcon::messageClicked, this, &TrayHost::messageClicked);
}

bool QtTrayHost::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayHost::setVisible(bool visible) {
    icon_.setVisible(visible);
}

void QtTrayHost::setToolTip(const QString& text) {
    icon_.setToolTip(text);
}

void QtTrayHost::showMessage(const QString& title, const QString& text, core::BalloonIcon kind,
                             int milliseconds) {
    QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::NoIcon;
    switch (kind) {
        case core::BalloonIcon::Info:
            icon = QSystemTrayIcon::Information;
            break;
        case core::BalloonIcon::Warning:
            icon = QSystemTrayIcon::Warning;
            break;
        case core::BalloonIcon::Error:
            icon = QSystemTrayIcon::Critical;
            break;
        case core::BalloonIcon::None:
            break;
    }
    icon_.showMessage(title, text, icon, milliseconds);
}

void QtTrayHost::setContextMenu(QMenu* menu) {
    menu_ = menu;
}

}  // namespace im::app
