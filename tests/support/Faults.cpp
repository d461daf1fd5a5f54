#include "support/Faults.h"

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Fault {
    int fd = -1;  // reads only; flushes fail on any descriptor
    int err = 0;
    int times = 0;
    int letThrough = 0;
};
Fault readFault;
Fault syncFault;
pid_t probedPid = 0;
int probeError = 0;
// A child process gets its flush faults from IM_FAULT_TCFLUSH.
Fault flushFault = [] {
    Fault f;
    if (const char* spec = std::getenv("IM_FAULT_TCFLUSH")) {
        char* rest = nullptr;
        f.err = int(std::strtol(spec, &rest, 10));
        f.letThrough = *rest == ',' ? int(std::strtol(rest + 1, nullptr, 10)) : 0;
        f.times = 1 << 30;
    }
    return f;
}();

// Whether this call fails, and with which errno.
bool takeFault(Fault& f, int fd) {
    if (f.times <= 0 || (f.fd >= 0 && f.fd != fd) || f.letThrough-- > 0) {
        return false;
    }
    --f.times;
    errno = f.err;
    return true;
}

std::string renamedName;
int renames = 0;

}  // namespace

void im::test::countRenamesOnto(const char* name) {
    renamedName = name;
    renames = 0;
}

int im::test::renamesCounted() {
    return renames;
}

void im::test::failReads(int fd, int err, int times) {
    readFault = {fd, err, times, 0};
}

void im::test::failFlushes(int err, int times) {
    flushFault = {-1, err, times, 0};
}

void im::test::failSyncs(int err, int times) {
    syncFault = {-1, err, times, 0};
}

void im::test::answerProbes(pid_t pid, int err) {
    probedPid = pid;
    probeError = err;
}

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const auto real =
        reinterpret_cast<ssize_t (*)(int, void*, size_t)>(dlsym(RTLD_NEXT, "read"));
    return takeFault(readFault, fd) ? -1 : real(fd, buffer, count);
}

extern "C" int tcflush(int fd, int queue) {
    static const auto real = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "tcflush"));
    return takeFault(flushFault, fd) ? -1 : real(fd, queue);
}

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return takeFault(syncFault, fd) ? -1 : real(fd);
}

extern "C" int kill(pid_t pid, int signal) {
    static const auto real = reinterpret_cast<int (*)(pid_t, int)>(dlsym(RTLD_NEXT, "kill"));
    if (signal == 0 && probedPid != 0 && pid == probedPid) {
        errno = probeError;
        return -1;
    }
    return real(pid, signal);
}

extern "C" int rename(const char* from, const char* to) {
    static const auto real =
        reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    const char* slash = std::strrchr(to, '/');
    if (!renamedName.empty() && renamedName == (slash ? slash + 1 : to)) {
        ++renames;
    }
    return real(from, to);
}
