// The kernel's termios2 interface lives in its own translation unit: its
// struct termios collides with the C library's <termios.h>.
#include "link/SerialSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace im::link {

int setArbitrarySpeed(int fd, unsigned bitsPerSecond) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) {
        return errno;
    }
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = bitsPerSecond;
    t.c_ospeed = bitsPerSecond;
    if (ioctl(fd, TCSETS2, &t) != 0) {
        return errno;
    }
    return 0;
}

int readLineSpeed(int fd, unsigned* inputSpeed, unsigned* outputSpeed) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) {
        return errno;
    }
    *inputSpeed = t.c_ispeed;
    *outputSpeed = t.c_ospeed;
    return 0;
}

}  // namespace im::link
