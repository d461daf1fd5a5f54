#pragma once

// A plain client socket to a port on loopback, for benchmarks that play
// many clients without the toolkit's cost in their figures.

#include <netinet/in.h>
#include <sys/socket.h>

namespace im::bench {

inline int connectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<unsigned short>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

}  // namespace im::bench
