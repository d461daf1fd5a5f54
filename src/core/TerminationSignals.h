#pragma once

#include <QObject>

class QSocketNotifier;

namespace im::core {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal delivered on the event
// loop, so that the program can finish its work in order (save, write
// settings) instead of dying in the middle of it. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace im::core
