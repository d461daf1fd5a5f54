#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

namespace im::tools {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    if (::openpty(&master_, &keeper_, name, nullptr, nullptr) != 0) {
        master_ = keeper_ = -1;
        return;
    }
    termios t{};
    ::tcgetattr(keeper_, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CSTOPB;
    ::cfsetispeed(&t, B4800);
    ::cfsetospeed(&t, B4800);
    ::tcsetattr(keeper_, TCSANOW, &t);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(keeper_, F_SETFD, FD_CLOEXEC);
    slavePath_ = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
}

bool PseudoTerminal::send(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

void PseudoTerminal::hangUp() {
    for (int* fd : {&keeper_, &master_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

}  // namespace im::tools
