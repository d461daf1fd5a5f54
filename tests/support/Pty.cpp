#include "support/Pty.h"

#include <QtGlobal>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace im::test {

Pty::Pty() {
    char name[256] = {};
    int slave = -1;
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
        master_ = -1;
        return;
    }
    // Raw from the start, so that bytes written before the code under test
    // configures the line are not cooked or echoed.
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    keeper_ = slave;
    slavePath_ = QString::fromLocal8Bit(name);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(keeper_, F_SETFD, FD_CLOEXEC);
}

Pty::~Pty() {
    hangUp();
}

void Pty::send(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0) {
            qFatal("Pty::send failed");
        }
        done += n;
    }
}

void Pty::hangUp() {
    if (keeper_ >= 0) {
        ::close(keeper_);
        keeper_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace im::test
