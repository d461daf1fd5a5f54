#pragma once

#include "core/Balloons.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace im::app {

class StatusNotifierItem;
class TrayBalloon;

// What kind of notification area the desktop has. An XEmbed tray (icewm,
// trayer, older panels) shows the toolkit's icon, and the program draws its
// balloons beside it; a StatusNotifier tray (XFCE, KDE, Cinnamon, GNOME with
// AppIndicator) draws the icon and its menu itself and reports one kind of
// click; many desktops (GNOME, Wayland compositors) have none.
enum class TrayKind { None, XEmbed, StatusNotifier };

// The desktop's notification area as the tray icon uses it. The program
// uses the real one; tests put in a fake that records and is told what
// kind of tray is there.
class TrayHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual TrayKind kind() const = 0;
    // Whether the desktop has a notification area now.
    bool available() const { return kind() != TrayKind::None; }
    // A visible icon stays wanted when the area goes: it comes back with it.
    virtual void setVisible(bool visible) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // Replaces the balloon on screen (an XEmbed tray's only).
    virtual void showMessage(const QString& title, const QString& text, core::BalloonIcon icon,
                             int milliseconds) = 0;
    // Takes the balloon down, if one is up.
    virtual void hideMessage() {}
    virtual void setContextMenu(QMenu* menu) = 0;

Q_SIGNALS:
    // An XEmbed tray's press of the left button, and a double click (which
    // follows a press).
    void pressed();
    void doubleClicked();
    // A StatusNotifier tray's click, any click (a double click sends two).
    void activated();
    void messageClicked();
};

// The real notification area: the item on the session bus where a
// StatusNotifier tray is, else the toolkit's icon on X11. Whether an
// XEmbed tray is there is asked of the X server, never of the bus.
class DesktopTrayHost final : public TrayHost {
    Q_OBJECT
public:
    DesktopTrayHost(QDBusConnection bus, const QString& title, QObject* parent = nullptr);
    ~DesktopTrayHost() override;
    TrayKind kind() const override;
    void setVisible(bool visible) override;
    void setToolTip(const QString& text) override;
    void showMessage(const QString& title, const QString& text, core::BalloonIcon icon,
                     int milliseconds) override;
    void hideMessage() override;
    void setContextMenu(QMenu* menu) override;

private:
    void follow();
    void popUpMenu(QPoint at);

    StatusNotifierItem* item_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<TrayBalloon> balloon_;  // made at the first balloon
    bool x11_ = false;
    unsigned trayAtom_ = 0;
    // Whether the X11 tray's selection had an owner, asked at most once a
    // second: an alarm asks for a balloon several times a second, each
    // time a round trip to the X server.
    mutable bool trayOwned_ = false;
    mutable QElapsedTimer trayAsked_;
    bool wanted_ = false;
    QString toolTip_;
    QMenu* menu_ = nullptr;
};

}  // namespace im::app
