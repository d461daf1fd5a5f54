#include "app/TTrayIcon.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

namespace im::app {

namespace {

// The toolkit breaks lines at line feeds only.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/incubator-monitor.png").arg(side),
                     QSize(side, side));
    }
    return icon;
}

QString trayHint(const QString& panel1, const QString& panel2, const QString& lbShtHM) {
    return QStringLiteral("T1=") + panel1 + QLatin1Char('\r') + QStringLiteral("T2=") + panel2 +
           QLatin1Char('\r') + QStringLiteral("T3=") + lbShtHM;
}

TTrayIcon::TTrayIcon(QMainWindow* window, TrayHost& host, Notifier& notifier,
                     const core::Clock& clock, core::Timer& clickTimer, core::Timer& trayCheck)
    : QObject(window),
      window_(window),
      host_(host),
      notifier_(notifier),
      notices_(notifier, clock),
      clock_(clock),
      clickTimer_(clickTimer) {
    // A menu of its own, not the window's: a popup of a hidden window is
    // not shown, and the menu must open while the window is in the tray.
    menu_ = std::make_unique<QMenu>();
    PopupMenu1 = menu_.get();
    N4 = PopupMenu1->addAction(QCoreApplication::translate("TTrayIcon", "Показать"), this,
                               &TTrayIcon::ShowMainWindow);
    N5 = PopupMenu1->addAction(QCoreApplication::translate("TTrayIcon", "Скрыть"), this,
                               &TTrayIcon::HideMainWindow);
    PopupMenu1->addSeparator();
    N7 = PopupMenu1->addAction(QCoreApplication::translate("TTrayIcon", "Выход"), window,
                               &QWidget::close);
    host_.setContextMenu(PopupMenu1);

    setHint(trayHint({}, {}, {}));

    clickTimer_.setInterval(QApplication::doubleClickInterval());
    connect(&clickTimer_, &core::Timer::timeout, this, &TTrayIcon::onClickTimer);
    connect(&host_, &TrayHost::pressed, this, &TTrayIcon::onPressed);
    connect(&host_, &TrayHost::doubleClicked, this, &TTrayIcon::onDoubleClicked);
    // A StatusNotifier tray's only click: what a double click does.
    connect(&host_, &TrayHost::activated, this, &TTrayIcon::TrayIcon1DblClick);
    connect(&host_, &TrayHost::messageClicked, this, &TTrayIcon::TrayIcon1BalloonHintClick);
    connect(&notifier_, &Notifier::clicked, this, &TTrayIcon::TrayIcon1BalloonHintClick);
    connect(&trayCheck, &core::Timer::timeout, this, &TTrayIcon::checkTray);
    trayCheck.setInterval(kTrayCheckMs);
    trayCheck.start();
    window_->installEventFilter(this);
}

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::setIconVisible(bool visible) {
    iconVisible_ = visible;
    host_.setVisible(visible);
    if (!visible) {
        notices_.withdrawAll();  // the program leaves
    }
}

void TTrayIcon::setHint(const QString& hint) {
    if (hint == hint_) {
        return;  // every frame sets it; most leave it as it was
    }
    hint_ = hint;
    host_.setToolTip(withLineFeeds(hint.left(kTooltipLength)));
}

void TTrayIcon::ShowBalloon(const QString& title, const QString& text, core::BalloonIcon kind,
                            int timeoutSeconds) {
    deliver({title, text, false, timeoutSeconds * 1000}, kind);
}

void TTrayIcon::ShowAlarmBalloon(const QString& title, const QString& text, int timeoutSeconds) {
    deliver({title, text, true, timeoutSeconds * 1000}, core::BalloonIcon::Warning);
}

void TTrayIcon::HideAlarmBalloon() {
    pendingBalloon_.reset();
    shownBalloon_.clear();  // the next alarm's balloon is drawn at once
    if (std::exchange(shownAlarm_, false)) {
        host_.hideMessage();
    }
    notices_.withdrawAlarm();
}

void TTrayIcon::deliver(const Notice& notice, core::BalloonIcon kind) {
    const QString title = notice.title.left(kTitleLength);
    const QString text = withLineFeeds(notice.text.left(kTextLength));
    const TrayKind tray = iconVisible_ ? host_.kind() : TrayKind::None;
    if (tray == TrayKind::XEmbed) {
        showTrayBalloon(title, text, kind, notice.timeoutMs, notice.urgent);
        return;
    }
    if (tray == TrayKind::None || !notifier_.available()) {
        QString line = title + QStringLiteral(" ") + text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        window_->statusBar()->showMessage(line, notice.timeoutMs);
    }
    if (notifier_.available() && (tray == TrayKind::StatusNotifier || !window_->isActiveWindow())) {
        notices_.post({title, text, notice.urgent, notice.timeoutMs});
    }
}

// A blink tick asks for a balloon for every alarmed channel, and again every
// 700 ms; an operator sees only the last of a tick, and the same one again
// looks like the one that is up. So the last balloon of an event is drawn once that event is
// handled, and the same balloon again only when it is about to go (two
// seconds before its time is out).
void TTrayIcon::showTrayBalloon(const QString& title, const QString& text, core::BalloonIcon kind,
                                int timeoutMs, bool alarm) {
    const bool posted = pendingBalloon_.has_value();
    pendingBalloon_ = PendingBalloon{title, text, kind, timeoutMs, alarm};
    if (posted) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!pendingBalloon_) {
                return;  // withdrawn before it was drawn
            }
            const PendingBalloon b = *std::exchange(pendingBalloon_, std::nullopt);
            const QString balloon = b.title + QChar(0) + b.text + QChar(int(b.kind) + '0');
            const QDateTime now = clock_.now();
            if (balloon == shownBalloon_ && now < shownUntil_.addMSecs(-2000)) {
                return;
            }
            shownBalloon_ = balloon;
            shownUntil_ = now.addMSecs(b.timeoutMs);
            shownAlarm_ = b.alarm;
            host_.showMessage(b.title, b.text, b.kind, b.timeoutMs);
        },
        Qt::QueuedConnection);
}

void TTrayIcon::ShowMainWindow() {
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    bringToFront();
    // Once the event at hand is over: from the tray's menu or a
    // notification, the window would be activated while the menu still
    // holds the keyboard, and be shown without the focus.
    QMetaObject::invokeMethod(
        this,
        [this] {
            bringToFront();
            if (focusBeforeHiding_ && focusBeforeHiding_->isVisible()) {
                focusBeforeHiding_->setFocus(Qt::ActiveWindowFocusReason);
            }
            focusBeforeHiding_ = nullptr;
        },
        Qt::QueuedConnection);
}

void TTrayIcon::HideMainWindow() {
    // Without a tray the icon could not bring the window back.
    if (host_.available()) {
        // The toolkit moves the focus on to the next control of a window it
        // hides; the operator comes back to the one left.
        if (window_->isVisible()) {
            focusBeforeHiding_ = window_->focusWidget();
        }
        window_->hide();
    }
}

bool TTrayIcon::TrayIcon1Startup(bool startInTray) const {
    return !(startInTray && host_.available());
}

void TTrayIcon::bringToFront() {
    if (window_->isVisible()) {
        window_->raise();
        window_->activateWindow();
    }
}

void TTrayIcon::TrayIcon1Click() {
    bringToFront();
    Q_EMIT clicked();
}

void TTrayIcon::TrayIcon1DblClick() {
    ShowMainWindow();
    Q_EMIT doubleClicked();
}

void TTrayIcon::TrayIcon1BalloonHintClick() {
    shownBalloon_.clear();  // a click took it down: the next one is drawn
    ShowMainWindow();
}

// A press waits for the double-click time: only when no double click
// follows is it a click.
void TTrayIcon::onPressed() {
    clickReady_ = true;
    clickTimer_.start();
}

void TTrayIcon::onDoubleClicked() {
    clickReady_ = false;
    clickTimer_.stop();
    TrayIcon1DblClick();
}

void TTrayIcon::onClickTimer() {
    clickTimer_.stop();
    if (clickReady_) {
        clickReady_ = false;
        TrayIcon1Click();
    }
}

void TTrayIcon::checkTray() {
    // The notification area went away with the window hidden in it.
    if (!host_.available() && !window_->isVisible()) {
        ShowMainWindow();
    }
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::WindowStateChange &&
        (window_->windowState() & Qt::WindowMinimized) && MinimizeToTray && host_.available()) {
        // After the state change has been handled: hiding in its midst
        // would leave the window manager's idea of the window behind.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (window_->windowState() & Qt::WindowMinimized) {
                    HideMainWindow();
                    setIconVisible(true);
                }
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace im::app
