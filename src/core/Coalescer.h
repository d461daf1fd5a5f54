#pragma once

#include "core/Timer.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>

namespace im::core {

// Runs an action at most once per interval: requests after a quiet interval
// run it once the event at hand is handled, requests within the interval
// once the interval ends. An interval of 0 runs it at every request.
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
        if (interval_ <= 0) {
            run();
            return;
        }
        const bool waiting = pending_;
        pending_ = true;
        if (waiting || timer_.isActive()) {
            return;
        }
        const qint64 quiet = last_.isValid() ? last_.elapsed() : interval_;
        if (quiet < interval_) {
            timer_.setInterval(int(interval_ - quiet));
            timer_.start();
            return;
        }
        // Once the event at hand is handled, so that all it asks for runs
        // the action once; posted, it also comes before the repaint the
        // toolkit posts for the same changes, so that one repaint shows them.
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                if (pending_) {
                    run();
                }
            },
            Qt::QueuedConnection);
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
    QObject context_;  // its posted calls go with it
};

}  // namespace im::core
