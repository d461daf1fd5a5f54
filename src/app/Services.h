#pragma once

#include "app/ValuePanels.h"
#include "core/Clock.h"
#include "core/Sound.h"
#include "core/Timer.h"
#include "link/PortLister.h"
#include "settings/Autorun.h"

#include <QUrl>

#include <functional>
#include <memory>

class QObject;

namespace im::link {
class StayAwake;
}

namespace im::app {

class Dialogs;
class Notifier;
class TrayHost;

// What the main window uses of the world outside it. Anything left empty
// takes the real thing; tests put in fakes.
struct Services {
    const core::Clock* clock = nullptr;
    Dialogs* dialogs = nullptr;
    TrayHost* tray = nullptr;
    // The desktop's notifications, where the tray's balloons are not drawn
    // by the toolkit.
    Notifier* notifier = nullptr;
    core::Sound* sound = nullptr;
    ValuePanels::Flash flash;
    std::function<core::Timer*(QObject* parent, int milliseconds)> makeTimer;
    link::PortLister ports;
    // Where the autorun entry goes; empty: the system's folders.
    settings::AutorunLocation autorun;
    // Opens an address with the desktop's default handler.
    std::function<void(const QUrl&)> openUrl;
    // Keeps the machine awake while the port is open; empty: through the
    // system's and the session's buses.
    link::StayAwake* stayAwake = nullptr;
    // What frames change on the window (panels, journal end, chart, window
    // scroll bar) is shown at most once in this many milliseconds: at 50
    // frames a second nobody reads more, and each repaint costs more than
    // the frame itself. 0 shows every frame at once.
    int viewRefreshMs = 100;
};

// The real things for what a caller left empty, made for the window
// `parent`; those the window does not own as a child live in `owned`.
struct OwnedServices {
    std::unique_ptr<core::Clock> clock;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<core::Sound> sound;
};
void completeServices(Services& services, OwnedServices& owned, QObject* parent,
                      const QString& title);

}  // namespace im::app
