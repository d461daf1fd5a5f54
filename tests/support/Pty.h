#pragma once

#include <QByteArray>
#include <QString>

namespace im::test {

// A real pseudo-terminal: the test plays the controller on the master side,
// the code under test opens the slave path as its serial device.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool isOpen() const { return master_ >= 0; }
    const QString& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Writes bytes as the controller would send them.
    void send(const QByteArray& bytes);
    // Hangs up: closes the master side (and the keeper of the slave).
    void hangUp();

private:
    int master_ = -1;
    int keeper_ = -1;
    QString slavePath_;
};

}  // namespace im::test
