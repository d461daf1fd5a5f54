#pragma once

#include <QDateTime>

namespace im::remote {

// The offset of a local time from UTC, in seconds. Asking the toolkit makes
// the C library read the time zone file again; the offset changes only at
// a transition, and transitions fall on a whole or half hour, so it is
// asked once per half hour of the local clock (where the hour repeats, that
// gives what the local time's own conversion gives). Other time specs give
// their own offset.
int offsetOf(const QDateTime& time);

// Wall-clock seconds since 1 January 2000 00:00, as the journal's lines
// carry their moments.
qint64 wallSecondsOf(const QDateTime& time);
// The moment of a wall-clock time of this machine's zone, in milliseconds
// since the epoch, and back.
qint64 utcMsOfWall(qint64 wallSeconds);
qint64 wallOfUtcMs(qint64 ms);

}  // namespace im::remote
