#pragma once

#include "core/Timer.h"

#include <QElapsedTimer>

#include <functional>

namespace im::core {

// Runs an action at most once per interval: a request after a quiet
// interval runs it at once, requests within the interval run it once when
// the interval ends. An interval of 0 runs it at every request.
class Coalescer {
public:
    Coalescer(int intervalMs, Timer& timer, std::function<void()> action)
        : interval_(intervalMs), timer_(timer), action_(std::move(action)) {
        timer_.stop();
        QObject::connect(&timer_, &Timer::timeout, &timer_, [this] {
            timer_.stop();
            if (pending_) {
                run();
            }
        });
    }

    void request() {
        if (interval_ <= 0 ||
            (!timer_.isActive() && (!last_.isValid() || last_.elapsed() >= interval_))) {
            run();
            return;
        }
        pending_ = true;
        if (!timer_.isActive()) {
            timer_.setInterval(int(std::max<qint64>(1, interval_ - last_.elapsed())));
            timer_.start();
        }
    }
    // Runs a waiting action now.
    void flush() {
        if (pending_) {
            timer_.stop();
            run();
        }
    }

private:
    void run() {
        pending_ = false;
        last_.start();
        action_();
    }

    int interval_;
    Timer& timer_;
    std::function<void()> action_;
    QElapsedTimer last_;
    bool pending_ = false;
};

}  // namespace im::core
