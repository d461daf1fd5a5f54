#include "app/TrayHost.h"

#include "app/StatusNotifierItem.h"
#include "app/TTrayIcon.h"
#include "app/TrayBalloon.h"

#include <QtGui/qguiapplication_platform.h>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>

namespace im::app {

namespace {

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The selection an XEmbed tray owns on the X screen of the display.
unsigned trayAtom(xcb_connection_t* c) {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const qsizetype colon = display.lastIndexOf(':');
    const int screen = dot > colon ? std::atoi(display.constData() + dot + 1) : 0;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, quint16(name.size()), name.constData()), nullptr);
    const unsigned atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

bool selectionOwned(xcb_connection_t* c, unsigned atom) {
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

// The picture of a balloon of that kind, the style's, made once: the
// toolkit would look it up in the icon theme for every balloon, and an
// alarm's balloon comes back as long as the alarm lasts.
const QIcon& messageIcon(core::BalloonIcon kind) {
    static const std::array<QIcon, 4> icons = [] {
        QStyle* style = QApplication::style();
        return std::array<QIcon, 4>{QIcon(), style->standardIcon(QStyle::SP_MessageBoxInformation),
                                    style->standardIcon(QStyle::SP_MessageBoxWarning),
                                    style->standardIcon(QStyle::SP_MessageBoxCritical)};
    }();
    switch (kind) {
        case core::BalloonIcon::Info:
            return icons[1];
        case core::BalloonIcon::Warning:
            return icons[2];
        case core::BalloonIcon::Error:
            return icons[3];
        case core::BalloonIcon::None:
            break;
    }
    return icons[0];
}

}  // namespace

DesktopTrayHost::DesktopTrayHost(QDBusConnection bus, const QString& title, QObject* parent)
    : TrayHost(parent),
      item_(new StatusNotifierItem(std::move(bus), QCoreApplication::applicationName(), title,
                                   applicationIcon(), this)) {
    if (xcb_connection_t* c = x11Connection()) {
        x11_ = true;
        trayAtom_ = trayAtom(c);
    }
    connect(item_, &StatusNotifierItem::trayChanged, this, &DesktopTrayHost::follow);
    connect(item_, &StatusNotifierItem::activated, this, &TrayHost::activated);
    connect(item_, &StatusNotifierItem::contextMenuRequested, this, &DesktopTrayHost::popUpMenu);
}

DesktopTrayHost::~DesktopTrayHost() = default;

TrayKind DesktopTrayHost::kind() const {
    if (item_->hosted()) {
        return TrayKind::StatusNotifier;
    }
    // The toolkit's icon is made when first shown, so ask before it is.
    if (x11_ && !item_->watched() && trayAtom_ != 0) {
        if (!trayAsked_.isValid() || trayAsked_.elapsed() >= 1000) {
            xcb_connection_t* c = x11Connection();
            trayOwned_ = c && selectionOwned(c, trayAtom_);
            trayAsked_.start();
        }
        if (trayOwned_) {
            return TrayKind::XEmbed;
        }
    }
    return TrayKind::None;
}

// The icon goes where the desktop shows it now: the bus's tray when there
// is one, else the toolkit's icon, made only on X11 and while no watcher is
// on the bus (the toolkit would then make a StatusNotifier item of its own).
void DesktopTrayHost::follow() {
    item_->setVisible(wanted_ && item_->hosted());
    const bool xembed = wanted_ && x11_ && !item_->watched();
    if (xembed && !icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>(applicationIcon());
        icon_->setToolTip(toolTip_);
        connect(icon_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger) {
                        Q_EMIT pressed();
                    } else if (reason == QSystemTrayIcon::DoubleClick) {
                        Q_EMIT doubleClicked();
                    } else if (reason == QSystemTrayIcon::Context) {
                        // Opened from the event loop: opened inside the
                        // tray's mouse press while the program has no active
                        // window (the window hidden in the tray), the menu
                        // would close again at once as the program becomes
                        // active.
                        QTimer::singleShot(0, this, [this] { popUpMenu(QCursor::pos()); });
                    }
                });
    }
    if (icon_) {
        icon_->setVisible(xembed);
    }
    if (balloon_ && !xembed) {
        balloon_->hide();
    }
}

void DesktopTrayHost::popUpMenu(QPoint at) {
    if (menu_) {
        menu_->popup(at);
    }
}

void DesktopTrayHost::setVisible(bool visible) {
    wanted_ = visible;
    follow();
}

void DesktopTrayHost::setToolTip(const QString& text) {
    toolTip_ = text;
    item_->setToolTip(text);
    if (icon_) {
        icon_->setToolTip(text);
    }
}

void DesktopTrayHost::showMessage(const QString& title, const QString& text, core::BalloonIcon kind,
                                  int milliseconds) {
    if (!icon_ || !icon_->isVisible()) {
        return;
    }
    if (!balloon_) {
        balloon_ = std::make_unique<TrayBalloon>();
        connect(balloon_.get(), &TrayBalloon::clicked, this, &TrayHost::messageClicked);
    }
    balloon_->showBeside(icon_->geometry(), title, text, messageIcon(kind), milliseconds);
}

void DesktopTrayHost::hideMessage() {
    if (balloon_) {
        balloon_->hide();
    }
}

void DesktopTrayHost::setContextMenu(QMenu* menu) {
    menu_ = menu;
    item_->setMenu(menu ? menu->actions() : QList<QAction*>{});
}

}  // namespace im::app
