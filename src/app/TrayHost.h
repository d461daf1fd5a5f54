#pragma once

#include "core/Balloons.h"

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;

namespace im::app {

// The desktop's notification area as the tray icon uses it. The program
// uses the toolkit's icon; tests put in a fake that records and is told
// whether a tray is there.
class TrayHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Whether the desktop has a notification area now.
    virtual bool available() const = 0;
    // A visible icon stays wanted when the area goes: it comes back with it.
    virtual void setVisible(bool visible) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // Replaces the message on screen.
    virtual void showMessage(const QString& title, const QString& text, core::BalloonIcon icon,
                             int milliseconds) = 0;
    virtual void setContextMenu(QMenu* menu) = 0;

Q_SIGNALS:
    // A press of the left button, and a double click (which follows a press).
    void pressed();
    void doubleClicked();
    void messageClicked();
};

class QtTrayHost final : public TrayHost {
    Q_OBJECT
public:
    explicit QtTrayHost(QObject* parent = nullptr);
    bool available() const override;
    void setVisible(bool visible) override;
    void setToolTip(const QString& text) override;
    void showMessage(const QString& title, const QString& text, core::BalloonIcon icon,
                     int milliseconds) override;
    void setContextMenu(QMenu* menu) override;

private:
    QSystemTrayIcon icon_;
    QMenu* menu_ = nullptr;
};

}  // namespace im::app
