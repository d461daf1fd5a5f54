#pragma once

#include <QString>

namespace im::core {

enum class BalloonIcon { None, Info, Warning, Error };

// Warnings for an operator who is not looking at the window. The tray icon is
// the real receiver; the headless recorder prints them; tests record them.
class Balloons {
public:
    virtual ~Balloons() = default;
    virtual void ShowBalloon(const QString& title, const QString& text, BalloonIcon icon,
                             int timeoutSeconds) = 0;
    // An alarm's balloon, shown again at every blink while the alarm lasts:
    // where the desktop keeps notifications, it stays until read.
    virtual void ShowAlarmBalloon(const QString& title, const QString& text, int timeoutSeconds) {
        ShowBalloon(title, text, BalloonIcon::Warning, timeoutSeconds);
    }
    // Every alarm has been reset: an alarm's balloon that stays goes.
    virtual void HideAlarmBalloon() {}
};

}  // namespace im::core
