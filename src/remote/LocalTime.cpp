#include "remote/LocalTime.h"

namespace im::remote {

namespace {

const QDateTime kWallEpoch(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);

}  // namespace

int offsetOf(const QDateTime& time) {
    if (time.timeSpec() != Qt::LocalTime) {
        return time.offsetFromUtc();
    }
    thread_local qint64 cachedKey = -1;
    thread_local int cachedOffset = 0;
    const qint64 key =
        time.date().toJulianDay() * 48 + time.time().hour() * 2 + time.time().minute() / 30;
    if (key != cachedKey) {
        cachedOffset = time.offsetFromUtc();
        cachedKey = key;
    }
    return cachedOffset;
}

qint64 wallSecondsOf(const QDateTime& time) {
    return (time.date().toJulianDay() - kWallEpoch.date().toJulianDay()) * 86400 +
           time.time().msecsSinceStartOfDay() / 1000;
}

qint64 utcMsOfWall(qint64 wallSeconds) {
    const QDateTime asUtc = kWallEpoch.addSecs(wallSeconds);
    const QDateTime local(asUtc.date(), asUtc.time());
    return (asUtc.toSecsSinceEpoch() - offsetOf(local)) * 1000;
}

qint64 wallOfUtcMs(qint64 ms) {
    return wallSecondsOf(QDateTime::fromMSecsSinceEpoch(ms));
}

}  // namespace im::remote
