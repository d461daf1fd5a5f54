#pragma once

#include "core/Balloons.h"
#include "core/Clock.h"
#include "core/ErrorReport.h"
#include "core/Timer.h"

#include <QDateTime>
#include <QEvent>
#include <QList>
#include <QProcess>
#include <QString>

namespace im::test {

// A timer that ticks only when the test says so, and only while running.
class FakeTimer final : public core::Timer {
    Q_OBJECT
public:
    explicit FakeTimer(int milliseconds = 1000) : interval_(milliseconds) {}
    void start() override { active_ = true; }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    void setInterval(int milliseconds) override { interval_ = milliseconds; }
    int interval() const override { return interval_; }
    void fire() {
        if (active_) {
            Q_EMIT timeout();
        }
    }

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
                     int seconds) override {
        shown.append({title, text, icon, seconds});
    }
    void HideAlarmBalloon() override { ++alarmHidden; }
    QList<Balloon> shown;
    int alarmHidden = 0;
};

class FakeClock final : public core::Clock {
public:
    explicit FakeClock(QDateTime at = QDateTime(QDate(2026, 12, 5), QTime(14, 3, 27)))
        : at(std::move(at)) {}
    QDateTime now() const override { return at; }
    void set(const QDateTime& moment) { at = moment; }
    void advanceSeconds(int s) { at = at.addSecs(s); }
    QDateTime at;
};

// The default error reporter for the lifetime of a test: it records.
class ScopedErrorRecorder final : public core::ErrorReporter {
public:
    ScopedErrorRecorder() : previous_(core::setDefaultErrorReporter(this)) {}
    ~ScopedErrorRecorder() override { core::setDefaultErrorReporter(previous_); }
    void showError(const QString& message) override { messages.append(message); }
    QStringList messages;

private:
    core::ErrorReporter* previous_;
};

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
// Creates or replaces a file with the given bytes.
void writeFile(const QString& path, const QByteArray& bytes);

// A program run to its end: its exit code and what it printed on its
// standard error.
struct Finished {
    int exitCode = -1;
    QString errors;
};
bool runningAsRoot();
// Sends a signal to a running process; false when it is not running (its
// id would be 0, and kill(0) signals the test's own process group).
bool sendSignal(const QProcess& process, int signal);
// Runs a program as an unprivileged user of its own where the test runs as
// root (the kernel lets root through the very checks under test), otherwise
// as this user. Paths it uses must be open to others.
Finished runAsOtherUser(const QString& program, const QStringList& arguments);

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

// Counts the events of one type that an object receives.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type) : type_(type) {
        target->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == type_;
        return false;
    }

private:
    QEvent::Type type_;
};

// Checks this thread's file accesses as an unprivileged user for its
// lifetime when the test runs as root, so that file permissions hold.
class WithoutRootRights {
public:
    WithoutRootRights();
    ~WithoutRootRights();
};

}  // namespace im::test
