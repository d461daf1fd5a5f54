#include "core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/mman.h>
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

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        return QByteArray(".");
    }
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray baseNameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The file a path finally names: a symbolic link is written through to its
// target (which may not exist yet), so that the link stays a link.
QByteArray followLinks(QByteArray path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        QByteArray target(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size()) {
            return path;
        }
        target.truncate(n);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    return path;
}

// Temporary files are named ".<file>.<pid>.<random>", so that one left by a
// write that was killed can be told apart from the user's files and from a
// write in progress in another running program.
QByteArray tempPrefix(const QByteArray& target) {
    return '.' + baseNameOf(target) + '.';
}

void removeStaleTemporaries(const QByteArray& target) {
    const QByteArray folder = folderOf(target);
    const QByteArray prefix = tempPrefix(target);
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix)) {
            continue;
        }
        const QList<QByteArray> rest = name.mid(prefix.size()).split('.');
        bool ok = false;
        const pid_t pid = rest.size() == 2 ? static_cast<pid_t>(rest[0].toInt(&ok)) : 0;
        if (!ok || pid <= 0 || rest[1].size() != 6) {
            continue;
        }
        if (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH)) {
            ::unlink((folder + '/' + name).constData());
        }
    }
    ::closedir(dir);
}

int syncAndClose(int fd, int err) {
    if (err == 0 && ::fsync(fd) != 0) {
        err = errno;
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    return err;
}

// For a file that may be written in a folder that may not: the file's own
// inode is rewritten. The new content is staged in memory and its room on
// the disk reserved first, so that a full disk refuses the write before the
// old content is touched; the result is flushed before this returns.
int rewriteInPlace(const QByteArray& target, const std::function<int(int fd)>& write,
                   FileAccess access) {
    const int staged = ::memfd_create("incubator-monitor-rewrite", MFD_CLOEXEC);
    if (staged < 0) {
        return errno;
    }
    int err = write(staged);
    const off_t size = ::lseek(staged, 0, SEEK_CUR);
    if (err == 0 && size < 0) {
        err = errno;
    }
    const int fd = err == 0 ? ::open(target.constData(), O_WRONLY | O_CLOEXEC) : -1;
    if (err == 0 && fd < 0) {
        err = errno;
    }
    struct stat st {};
    if (err == 0 && access == FileAccess::OwnerOnly && ::fstat(fd, &st) == 0 &&
        ::fchmod(fd, st.st_mode & 0700) != 0) {
        err = errno;
    }
    if (err == 0 && size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP) {
        err = errno;
    }
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (off_t done = 0; err == 0 && done < size;) {
        const ssize_t n = ::pread(staged, block.data(), size_t(block.size()), done);
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            break;
        }
        err = writeAll(fd, QByteArrayView(block.constData(), n));
        done += n;
    }
    if (err == 0 && ::ftruncate(fd, size) != 0) {
        err = errno;
    }
    ::close(staged);
    return fd >= 0 ? syncAndClose(fd, err) : err;
}

}  // namespace

int replaceFileAtomically(const QString& path, const QByteArray& data, FileAccess access) {
    return replaceFileAtomically(
        path, [&data](int fd) { return writeAll(fd, data); }, access);
}

int replaceFileAtomically(const QString& path, const std::function<int(int fd)>& write,
                          FileAccess access) {
    const QByteArray target = followLinks(QFile::encodeName(path));
    const QByteArray folder = folderOf(target);
    removeStaleTemporaries(target);

    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists) {
        // A file that nobody may write, or that this user may not, is
        // refused rather than replaced behind its owner's back.
        if ((old.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0) {
            return EACCES;
        }
    }

    QByteArray temp =
        folder + '/' + tempPrefix(target) + QByteArray::number(::getpid()) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (exists && (err == EACCES || err == EPERM || err == EROFS)) {
            return rewriteInPlace(target, write, access);
        }
        return err;
    }
    if (exists) {
        // The new file must be the old one's in every respect but its
        // content; where its owner cannot be kept, the old file is
        // rewritten instead.
        const bool ownerKept = (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) ||
                               ::fchown(fd, old.st_uid, old.st_gid) == 0;
        if (!ownerKept) {
            ::close(fd);
            ::unlink(temp.constData());
            return rewriteInPlace(target, write, access);
        }
        ::fchmod(fd, old.st_mode & (access == FileAccess::OwnerOnly ? 07700 : 07777));
    } else if (access == FileAccess::Keep) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }  // a new file made by mkostemp is its owner's alone already
    int err = syncAndClose(fd, write(fd));
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

QString appendMarkerPath(const QString& path) {
    return path + QStringLiteral(".appending");
}

int repairInterruptedAppend(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const QByteArray marker = QFile::encodeName(appendMarkerPath(path));
    const int m = ::open(marker.constData(), O_RDONLY | O_CLOEXEC);
    if (m < 0) {
        return errno == ENOENT ? 0 : errno;
    }
    char text[32] = {};
    const ssize_t n = ::read(m, text, sizeof text - 1);
    ::close(m);
    char* end = nullptr;
    const long long length = n > 0 ? std::strtoll(text, &end, 10) : -1;
    struct stat st {};
    if (length >= 0 && end != text && ::stat(name.constData(), &st) == 0 && st.st_size > length &&
        ::truncate(name.constData(), length) != 0) {
        return errno;
    }
    return ::unlink(marker.constData()) == 0 || errno == ENOENT ? 0 : errno;
}

int appendToFile(const QString& path, const QByteArray& data) {
    if (const int err = repairInterruptedAppend(path); err != 0) {
        return err;
    }
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    const off_t oldSize = ::lseek(fd, 0, SEEK_END);
    // The old length is on the disk before the first byte is appended: a
    // kill in the middle of the append (which can leave part of it) is cut
    // back by the next append or repair. Without room for the marker the
    // append goes on unguarded.
    const bool marked =
        oldSize >= 0 &&
        replaceFileAtomically(appendMarkerPath(path), QByteArray::number(qint64(oldSize))) == 0;
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
    if (marked) {
        ::unlink(QFile::encodeName(appendMarkerPath(path)).constData());
    }
    return err;
}

}  // namespace im::core
