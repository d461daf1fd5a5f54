#pragma once

#include <sys/types.h>

namespace im::test {

// Faults of the operating system on a real device: the next calls of read()
// on a descriptor, or of tcflush() on any, fail with an error number, as
// they do for a device that fails a moment before the code uses it. In a
// test process that links this; in a child process through LD_PRELOAD of
// the im_faults library with IM_FAULT_TCFLUSH=<errno>,<calls let through
// first>, every later tcflush() failing.
void failReads(int fd, int err, int times = 1);
void failFlushes(int err, int times = 1);
// The next calls of fsync() on any descriptor fail, as on a disk that fails
// to keep what was written.
void failSyncs(int err, int times = 1);
// kill(pid, 0), the question whether a process lives, answers this error
// for that process from now on (EPERM: another user's process); a pid of 0
// ends it. Real signals still go through.
void answerProbes(pid_t pid, int err);

// Counts, from now on, the calls of rename() that put a file of this name
// (the last part of the path) in place; renamesCounted() tells how many.
void countRenamesOnto(const char* name);
int renamesCounted();

}  // namespace im::test
