#include "link/UucpLock.h"

#include "core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <limits>

namespace im::link {

namespace {

QString& testFolder() {
    static QString folder;
    return folder;
}

// The process a lock file names: decimal text (ten characters wide in the
// usual format), or a binary int in the oldest one; 0 when there is none.
pid_t pidIn(const QByteArray& content) {
    const bool text = std::all_of(content.begin(), content.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) ||
               std::isspace(static_cast<unsigned char>(c));
    });
    long pid = 0;
    if (text) {
        bool ok = false;
        pid = content.trimmed().toLong(&ok);
    } else if (content.size() == qsizetype(sizeof(int))) {
        int binary = 0;
        std::memcpy(&binary, content.constData(), sizeof binary);
        pid = binary;
    }
    return pid > 0 && pid <= std::numeric_limits<int>::max() ? pid_t(pid) : 0;
}

bool alive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

QByteArray readSmallFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return {};
    }
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

}  // namespace

QString UucpLock::folder() {
    return testFolder().isEmpty() ? QStringLiteral("/var/lock") : testFolder();
}

void UucpLock::setFolderForTesting(const QString& folder) {
    testFolder() = folder;
}

QString UucpLock::lockFileFor(const QString& devicePath) {
    const QFileInfo device(devicePath);
    const QString real = device.canonicalFilePath();
    const QString name = QFileInfo(real.isEmpty() ? devicePath : real).fileName();
    return folder() + QStringLiteral("/LCK..") + name;
}

pid_t UucpLock::holderOf(const QString& devicePath) {
    const pid_t pid = pidIn(readSmallFile(QFile::encodeName(lockFileFor(devicePath))));
    return pid != ::getpid() && alive(pid) ? pid : 0;
}

void UucpLock::acquire(const QString& devicePath) {
    release();
    const QByteArray path = QFile::encodeName(lockFileFor(devicePath));
    const QByteArray content = QByteArray::number(::getpid()).rightJustified(10, ' ') + '\n';
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const bool written = core::writeAll(fd, content) == 0;
            ::close(fd);
            if (written) {
                held_ = path;
            } else {
                ::unlink(path.constData());
            }
            return;
        }
        if (errno != EEXIST) {
            return;  // a lock folder this user may not write
        }
        // Only a stale lock, or one of this process, is taken over.
        const pid_t owner = pidIn(readSmallFile(path));
        if (owner != ::getpid() && alive(owner)) {
            return;
        }
        ::unlink(path.constData());
    }
}

void UucpLock::release() {
    if (held_.isEmpty()) {
        return;
    }
    // Removed only while it still names this process.
    if (pidIn(readSmallFile(held_)) == ::getpid()) {
        ::unlink(held_.constData());
    }
    held_.clear();
}

}  // namespace im::link
