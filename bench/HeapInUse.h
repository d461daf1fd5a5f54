#pragma once

#include <QtGlobal>

#include <malloc.h>

// The bytes the heap holds for the program, after giving back what it can.
// Large blocks come from mmap and are not in uordblks.
inline qint64 heapInUse() {
    malloc_trim(0);
    const struct mallinfo2 m = mallinfo2();
    return static_cast<qint64>(m.uordblks + m.hblkhd);
}
