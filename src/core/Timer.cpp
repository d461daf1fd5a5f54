#include "core/Timer.h"

namespace im::core {

QtTimer::QtTimer(int milliseconds, QObject* parent) : Timer(parent) {
    timer_.setInterval(milliseconds);
    // Timer periods here are a second or longer; coarse timers would drift
    // by several percent, which the watchdog and resynchronisation feel.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timer::timeout);
}

void QtTimer::start() {
    timer_.start();
}

void QtTimer::stop() {
    timer_.stop();
}

bool QtTimer::isActive() const {
    return timer_.isActive();
}

void QtTimer::setInterval(int milliseconds) {
    timer_.setInterval(milliseconds);
}

int QtTimer::interval() const {
    return timer_.interval();
}

}  // namespace im::core
