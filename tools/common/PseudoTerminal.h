#pragma once

#include <QByteArray>
#include <QString>

namespace im::tools {

// A pseudo-terminal that plays the controller's end of a serial line: what
// is sent on its master side arrives at the slave device, which the monitor
// or the recorder opens by its path. The slave is held open here as well,
// raw from the start, so that the line keeps its settings between the
// openers' sessions and bytes sent before anyone listens are not cooked.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isOpen() const { return master_ >= 0; }
    const QString& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    int keeperFd() const { return keeper_; }

    // Writes all bytes as the controller sends them; false when the line
    // refused them.
    bool send(const QByteArray& bytes);
    // Hangs up: closes both sides, as an unplugged device does.
    void hangUp();

private:
    int master_ = -1;
    int keeper_ = -1;
    QString slavePath_;
};

}  // namespace im::tools
