#pragma once

#include "core/Balloons.h"
#include "core/Clock.h"
#include "core/ErrorReport.h"
#include "core/Timer.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace im::test {

// A timer that ticks only when the test says so.
class FakeTimer final : public core::Timer {
    Q_OBJECT
public:
    explicit FakeTimer(int milliseconds = 1000) : interval_(milliseconds) {}
    void start() override {
        active_ = true;
        ++starts;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    void setInterval(int milliseconds) override { interval_ = milliseconds; }
    int interval() const override { return interval_; }

    // One tick, as the real timer would give it: only while running.
    void fire() {
        if (active_) {
            Q_EMIT timeout();
        }
    }

    int starts = 0;

private:
    bool active_ = false;
    int interval_;
};

struct Balloon {
    QString title;
    QString text;
    core::BalloonIcon icon;
    int seconds;
};

class RecordingBalloons final : public core::Balloons {
public:
    void ShowBalloon(const QString& title, const QString& text, core::BalloonIcon icon,
                     int timeoutSeconds) override {
        shown.append({title, text, icon, timeoutSeconds});
    }
    QList<Balloon> shown;
};

class FakeClock final : public core::Clock {
public:
    explicit FakeClock(QDateTime at = QDateTime(QDate(2026, 12, 5), QTime(14, 3, 27)))
        : at_(std::move(at)) {}
    QDateTime now() const override { return at_; }
    void set(const QDateTime& at) { at_ = at; }
    void advanceSeconds(int s) { at_ = at_.addSecs(s); }

private:
    QDateTime at_;
};

class RecordingErrors final : public core::ErrorReporter {
public:
    void showError(const QString& message) override { messages.append(message); }
    QStringList messages;
};

// Installs a recording reporter as the default for the lifetime of a test.
class ScopedErrorRecorder {
public:
    ScopedErrorRecorder() : previous_(core::setDefaultErrorReporter(&errors)) {}
    ~ScopedErrorRecorder() { core::setDefaultErrorReporter(previous_); }
    RecordingErrors errors;

private:
    core::ErrorReporter* previous_;
};

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
// Creates or replaces a file with the given bytes.
void writeFile(const QString& path, const QByteArray& bytes);

// Lowers the file size limit of the process for its lifetime, so that a
// write beyond it fails with EFBIG: a full disk that even root cannot write
// past.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();

private:
    unsigned long long oldSoft_;
};

}  // namespace im::test
