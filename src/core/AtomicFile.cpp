#include "core/AtomicFile.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

namespace im::core {

int writeAll(int fd, QByteArrayView data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO;
        }
        p += n;
        left -= n;
    }
    return 0;
}

namespace {

void syncFolder(const QByteArray& folder) {
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);  // best effort: the rename itself already happened
        ::close(dirFd);
    }
}

}  // namespace

int replaceFileAtomically(const QString& path, const QByteArray& data) {
    return replaceFileAtomically(path, [&data](int fd) { return writeAll(fd, data); });
}

int replaceFileAtomically(const QString& path, const std::function<int(int fd)>& write) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones for the user's umask.
    struct stat old {};
    if (::stat(target.constData(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    int err = write(fd);
    if (err == 0 && ::fsync(fd) != 0) {
        err = errno;
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0) {
        err = errno;
    }
    if (err != 0) {
        ::unlink(temp.constData());
        return err;
    }
    syncFolder(folder);
    return 0;
}

int appendToFile(const QString& path, const QByteArray& data) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    const off_t oldSize = ::lseek(fd, 0, SEEK_END);
    int err = oldSize < 0 ? errno : writeAll(fd, data);
    if (err == 0 && ::fdatasync(fd) != 0) {
        err = errno;
    }
    if (err != 0 && oldSize >= 0) {
        // Whatever part reached the file goes again with the retry.
        (void)::ftruncate(fd, oldSize);
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    return err;
}

}  // namespace im::core
