#pragma once

#include <QObject>
#include <QTimer>

namespace im::core {

// A repeating timer behind an interface, so that tests fire ticks by hand.
// start() always counts the full interval from the moment of the call.
class Timer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;

    void setActive(bool active) {
        if (active) {
            start();
        } else {
            stop();
        }
    }

Q_SIGNALS:
    void timeout();
};

class QtTimer final : public Timer {
    Q_OBJECT
public:
    explicit QtTimer(int milliseconds, QObject* parent = nullptr);
    void start() override;
    void stop() override;
    bool isActive() const override;
    void setInterval(int milliseconds) override;
    int interval() const override;

private:
    QTimer timer_;
};

}  // namespace im::core
