#pragma once

#include <QString>

namespace im::core {

// Plays the alarm sound: asynchronously, each play cutting the one before.
// The program plays through the desktop's event sounds; tests record.
class Sound {
public:
    virtual ~Sound() = default;
    // A path, or a bare name; a name that cannot be found plays the
    // program's own alarm sound, so that the operator always hears one.
    virtual void play(const QString& name) = 0;
};

}  // namespace im::core
