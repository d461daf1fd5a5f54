#pragma once

#include "app/TrayHost.h"
#include "app/WarningNotices.h"
#include "core/Balloons.h"
#include "core/Clock.h"
#include "core/Timer.h"

#include <QDateTime>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QAction;
class QMainWindow;
class QMenu;

namespace im::app {

// The program's icon in the notification area: its tooltip with the
// latest values, its menu, its warning balloons, starting hidden and
// minimising to the tray. The window is never hidden while the desktop has
// no notification area (the icon would be the only way back to it).
// Balloons are the toolkit's own in an XEmbed tray; elsewhere they are the
// desktop's notifications, one at a time, and without a tray those come
// only while the window is not the active one: its status bar shows them
// too, and is all there is on a desktop without notifications.
class TTrayIcon : public QObject, public core::Balloons {
    Q_OBJECT
public:
    static constexpr int kTooltipLength = 127;
    static constexpr int kTitleLength = 63;
    static constexpr int kTextLength = 255;
    static constexpr int kTrayCheckMs = 2000;

    // clickTimer tells a click from the start of a double click (its
    // interval is set to the desktop's double-click time); trayCheck
    // watches for a notification area that went away.
    TTrayIcon(QMainWindow* window, TrayHost& host, Notifier& notifier, const core::Clock& clock,
              core::Timer& clickTimer, core::Timer& trayCheck);
    ~TTrayIcon() override;

    void setIconVisible(bool visible);
    // The tooltip shows the first 127 characters.
    void setHint(const QString& hint);
    // Minimising the window hides it (when the desktop has a tray).
    bool MinimizeToTray = false;

    // Each balloon replaces the one on screen; a title keeps its first 63
    // characters, a text its first 255.
    void ShowBalloon(const QString& title, const QString& text, core::BalloonIcon icon,
                     int timeoutSeconds) override;
    // An alarm's notification is critical and stays until read; a reset of
    // every alarm takes it away.
    void ShowAlarmBalloon(const QString& title, const QString& text, int timeoutSeconds) override;
    void HideAlarmBalloon() override;

    void ShowMainWindow();
    void HideMainWindow();
    // The start-up decision: whether the window is shown when the program
    // starts. StartInTrey keeps it hidden, but only with a tray.
    bool TrayIcon1Startup(bool startInTray) const;

    // The handlers of the icon and of its menu.
    void TrayIcon1Click();
    void TrayIcon1DblClick();
    void TrayIcon1BalloonHintClick();

    QMenu* PopupMenu1 = nullptr;
    QAction* N4 = nullptr;  // "Показать"
    QAction* N5 = nullptr;  // "Скрыть"
    QAction* N7 = nullptr;  // "Выход"

Q_SIGNALS:
    // After the handlers of a click and of a double click on the icon.
    void clicked();
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onPressed();
    void onDoubleClicked();
    void onClickTimer();
    void checkTray();
    void bringToFront();
    void deliver(const Notice& notice, core::BalloonIcon icon);
    void showTrayBalloon(const QString& title, const QString& text, core::BalloonIcon kind,
                         int timeoutMs, bool alarm);

    QMainWindow* window_;
    TrayHost& host_;
    Notifier& notifier_;
    WarningNotices notices_;
    const core::Clock& clock_;
    core::Timer& clickTimer_;
    // The XEmbed tray's balloon last shown, and until when: the same one
    // again while it is still up is not drawn anew.
    struct PendingBalloon {
        QString title;
        QString text;
        core::BalloonIcon kind;
        int timeoutMs;
        bool alarm;
    };
    std::optional<PendingBalloon> pendingBalloon_;
    QString shownBalloon_;
    QDateTime shownUntil_;
    bool shownAlarm_ = false;  // a reset takes an alarm's balloon down
    bool iconVisible_ = false;
    QString hint_;
    bool clickReady_ = false;
    QPointer<QWidget> focusBeforeHiding_;
    std::unique_ptr<QMenu> menu_;
};

// The tooltip: T1, T2 and then T3 with the humidity, separated by single
// carriage returns.
QString trayHint(const QString& panel1, const QString& panel2, const QString& lbShtHM);

// The program's picture, drawn for it, in the hicolor sizes.
QIcon applicationIcon();

}  // namespace im::app
