#include "app/Services.h"

#include "alarms/AlarmSound.h"
#include "app/DesktopNotifier.h"
#include "app/Dialogs.h"
#include "app/TTrayIcon.h"
#include "app/TrayHost.h"
#include "link/StayAwake.h"

#include <QDBusConnection>
#include <QDesktopServices>

namespace im::app {

void completeServices(Services& s, OwnedServices& owned, QObject* parent, const QString& title) {
    if (!s.clock) {
        owned.clock = std::make_unique<core::SystemClock>();
        s.clock = owned.clock.get();
    }
    if (!s.dialogs) {
        owned.dialogs = std::make_unique<QtDialogs>();
        s.dialogs = owned.dialogs.get();
    }
    if (!s.makeTimer) {
        s.makeTimer = [](QObject* timerParent, int ms) -> core::Timer* {
            return new core::QtTimer(ms, timerParent);
        };
    }
    if (!s.ports) {
        s.ports = link::presentSerialPorts;
    }
    // One connection to the session bus for everything the program says
    // there, for its whole life.
    if (!s.tray) {
        s.tray = new DesktopTrayHost(QDBusConnection::sessionBus(), title, parent);
    }
    if (!s.notifier) {
        s.notifier =
            new DBusNotifier(QDBusConnection::sessionBus(), title, applicationIcon(), parent);
    }
    if (s.autorun.machineDir.isEmpty() && s.autorun.userDir.isEmpty()) {
        s.autorun = settings::AutorunLocation::forThisSystem();
    }
    if (!s.openUrl) {
        s.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    if (!s.stayAwake) {
        s.stayAwake = new link::StayAwake(QDBusConnection::systemBus(),
                                          QDBusConnection::sessionBus(), title, parent);
    }
    if (!s.sound) {
        owned.sound = std::make_unique<alarms::DesktopSound>();
        s.sound = owned.sound.get();
    }
}

}  // namespace im::app
