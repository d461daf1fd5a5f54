#pragma once

#include "core/Sound.h"

#include <QString>

struct ca_context;

namespace im::alarms {

// The file a configured sound name stands for: an existing path (a relative
// one from the executable's folder), else an existing file of that name
// beside the executable; empty when there is none.
QString soundFileFor(const QString& name, const QString& executableDir);

// The program's own alarm sound as a file that the sound system can open:
// written once out of the program into the user's cache folder (or the
// temporary folder). Empty only when neither can be written.
QString ownAlarmSoundFile();

// The desktop's event sounds (libcanberra). A name that is no file is tried
// as a sound of the desktop's theme ("dialog-warning"); what is found
// nowhere plays the program's own alarm sound. Playing never waits.
class DesktopSound final : public core::Sound {
public:
    DesktopSound();
    ~DesktopSound() override;
    DesktopSound(const DesktopSound&) = delete;
    DesktopSound& operator=(const DesktopSound&) = delete;

    void play(const QString& name) override;
    // A sound is still being played (the sound system's threads at work).
    bool playing() const;

private:
    int playFile(const QString& path);

    ca_context* context_ = nullptr;
};

}  // namespace im::alarms
