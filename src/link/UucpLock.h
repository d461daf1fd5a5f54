#pragma once

#include <QString>

#include <sys/types.h>

namespace im::link {

// The lock files by which serial programs on Linux tell each other that a
// device is in use: "LCK..<device name>" in /var/lock, holding the owner's
// process number as text. A lock whose process is gone is stale and counts
// for nothing.
class UucpLock {
public:
    UucpLock() = default;
    ~UucpLock() { release(); }
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    static QString folder();
    // Tests keep their lock files in a folder of their own; empty restores
    // /var/lock.
    static void setFolderForTesting(const QString& folder);

    // The lock file of a device: named after the device the path finally
    // leads to, so that /dev/serial/by-id/... and /dev/ttyUSB0 share one.
    static QString lockFileFor(const QString& devicePath);
    // The live process, other than this one, whose lock names the device;
    // 0 when there is none.
    static pid_t holderOf(const QString& devicePath);

    // Takes the device's lock for this process, replacing a stale one. Where
    // the folder cannot be written the device goes without a lock file.
    void acquire(const QString& devicePath);
    void release();

private:
    QByteArray held_;
};

}  // namespace im::link
