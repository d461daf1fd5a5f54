#pragma once

#include "app/DesktopNotifier.h"
#include "core/Clock.h"

#include <QDateTime>
#include <QObject>

#include <optional>

namespace im::app {

// Which warnings become desktop notifications. Of the warnings given while
// one event is handled only the last is sent (a blink tick names every
// alarmed channel in turn, and the last one is the one that stays); a
// warning that repeats the one sent, asked for again before that one's
// time has run out, sends nothing (the alarm's blink renews its warning
// every 700 ms, the watchdog its own every 3 s).
class WarningNotices : public QObject {
public:
    WarningNotices(Notifier& notifier, const core::Clock& clock, QObject* parent = nullptr);

    void post(const Notice& notice);
    // Every alarm was reset: an alarm's notice on screen goes.
    void withdrawAlarm();
    // The program ends: whatever it has on screen goes, as nobody would
    // answer a click on it.
    void withdrawAll();

private:
    void flush();

    Notifier& notifier_;
    const core::Clock& clock_;
    std::optional<Notice> pending_;
    std::optional<Notice> sent_;
    QDateTime sentAskedAt_;
};

}  // namespace im::app
