#pragma once

namespace im::link {

// Sets a line speed that has no B-constant (14400, 56000, any custom rate)
// through the kernel's arbitrary-speed interface. Returns 0 or errno.
int setArbitrarySpeed(int fd, unsigned bitsPerSecond);
// Reads the input and output speed of the line in bits per second.
int readLineSpeed(int fd, unsigned* inputSpeed, unsigned* outputSpeed);

}  // namespace im::link
