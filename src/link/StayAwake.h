#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace im::link {

// Keeps the machine from sleeping while it is held: a laptop that suspends
// on idle would stop the monitoring in the middle of the night. It asks
// systemd-logind for an idle and sleep inhibitor (the lock lasts as long as
// the descriptor logind hands out stays open); where there is no logind, the
// desktop's screensaver inhibit interface. The calls are asynchronous: the
// user-interface thread never waits for a bus.
class StayAwake : public QObject {
    Q_OBJECT
public:
    // The buses that logind and the desktop are reached on: the system and
    // the session bus in the program.
    StayAwake(QDBusConnection system, QDBusConnection session, QString who,
              QObject* parent = nullptr);
    ~StayAwake() override;

    void setHeld(bool held);
    bool held() const { return wanted_; }
    // Something on the buses holds the machine awake for this program now.
    bool holding() const { return lock_.isValid() || cookie_ != 0; }

Q_SIGNALS:
    // An asked-for inhibitor came or went (tests wait on it).
    void holdingChanged(bool holding);

private:
    void ask();
    void askDesktop();
    void release();

    QDBusConnection system_;
    QDBusConnection session_;
    QString who_;
    bool wanted_ = false;
    bool asking_ = false;
    QDBusUnixFileDescriptor lock_;
    uint cookie_ = 0;
};

}  // namespace im::link
