#include "link/StayAwake.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QSignalSpy>

#include <poll.h>
#include <unistd.h>

using namespace im;

namespace {

// logind's inhibitor call: the lock is a pipe whose read end logind keeps;
// it ends when the caller closes the write end it was given.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~FakeLogind() override {
        for (int fd : readEnds) {
            ::close(fd);
        }
    }
    bool released(int lock) const {
        pollfd p{readEnds.value(lock), POLLIN, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
    }
    QStringList calls;
    QList<int> readEnds;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        calls << QStringList{what, who, why, mode}.join(u'|');
        int ends[2];
        if (::pipe(ends) != 0) {
            return {};
        }
        readEnds << ends[0];
        QDBusUnixFileDescriptor lock(ends[1]);
        ::close(ends[1]);
        return lock;
    }
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
public Q_SLOTS:
    uint Inhibit(const QString& who, const QString& why) {
        calls << QStringLiteral("Inhibit %1|%2").arg(who, why);
        return 42;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
};

// A private bus with the fakes that the case asks for registered under the
// real services' names.
struct Bus {
    test::PrivateBus bus;
    FakeLogind logind;
    FakeScreenSaver screenSaver;

    Bus(bool withLogind, bool withScreenSaver) {
        QDBusConnection service = bus.connection(QStringLiteral("service"));
        if (withLogind) {
            test::PrivateBus::offer(service, QStringLiteral("org.freedesktop.login1"),
                                    QStringLiteral("/org/freedesktop/login1"), &logind);
        }
        if (withScreenSaver) {
            test::PrivateBus::offer(service, QStringLiteral("org.freedesktop.ScreenSaver"),
                                    QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver);
        }
    }
    QDBusConnection client() { return bus.connection(QStringLiteral("client")); }
};

}  // namespace

class TestStayAwake : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // With logind, its idle and sleep lock is held while wanted and ends
    // when released; a release before logind answered drops the answer.
    void logindLock() {
        Bus bus(true, true);
        link::StayAwake awake(bus.client(), bus.client(), QStringLiteral("Монитор"));
        QSignalSpy changes(&awake, &link::StayAwake::holdingChanged);
        awake.setHeld(true);
        QTRY_VERIFY(awake.holding());
        QCOMPARE(bus.logind.calls,
                 QStringList{"sleep:idle|Монитор|Наблюдение за инкубатором|block"});
        QVERIFY(!bus.logind.released(0));
        awake.setHeld(false);
        QVERIFY(!awake.holding());
        QTRY_VERIFY(bus.logind.released(0));
        awake.setHeld(true);
        awake.setHeld(false);
        QTRY_COMPARE(bus.logind.calls.size(), 2);
        QTRY_VERIFY(bus.logind.released(1));
        QVERIFY(!awake.holding());
        QCOMPARE(changes.size(), 2);
        QVERIFY(bus.screenSaver.calls.isEmpty());
    }

    // Without logind, the desktop's inhibit with its cookie; without either,
    // nothing, and nothing fails.
    void desktopOrNothing() {
        {
            Bus bus(false, true);
            link::StayAwake awake(bus.client(), bus.client(), QStringLiteral("Монитор"));
            awake.setHeld(true);
            QTRY_VERIFY(awake.holding());
            awake.setHeld(false);
            QTRY_COMPARE(
                bus.screenSaver.calls,
                (QStringList{"Inhibit Монитор|Наблюдение за инкубатором", "UnInhibit 42"}));
        }
        Bus bus(false, false);
        link::StayAwake awake(bus.client(), bus.client(), QStringLiteral("Монитор"));
        awake.setHeld(true);
        QTest::qWait(300);
        QVERIFY(awake.held() && !awake.holding());
        link::StayAwake busless(QDBusConnection(QStringLiteral("none")),
                                QDBusConnection(QStringLiteral("none")), QString());
        busless.setHeld(true);
        QVERIFY(!busless.holding());
    }
};

IM_TEST_MAIN(TestStayAwake)
#include "tst_stayawake.moc"
