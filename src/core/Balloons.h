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
};

}  // namespace im::core
