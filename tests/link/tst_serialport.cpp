#include "common/PseudoTerminal.h"
#include "link/SerialSpeed.h"
#include "link/TPortLamp.h"
#include "link/TSerialPort.h"
#include "link/UucpLock.h"
#include "support/Fakes.h"
#include "support/Faults.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace im;
using namespace im::link;

namespace {

termios lineOf(const TSerialPort& port) {
    termios t{};
    if (::tcgetattr(port.handle(), &t) != 0) {
        qFatal("tcgetattr failed");
    }
    return t;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// What is waiting to be read on a descriptor, taken without blocking.
QByteArray drain(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    QByteArray all;
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        all.append(buffer, n);
    }
    ::fcntl(fd, F_SETFL, flags);
    return all;
}

// The main window's port (4800 bit/s, 8 data bits, no parity, 2 stop bits)
// on a pseudo-terminal, collecting what it hands over.
struct OpenPort {
    tools::PseudoTerminal pty;
    TSerialPort port;
    QList<int> counts;
    QByteArray bytes;
    explicit OpenPort(bool open = true) {
        port.setPort(pty.slavePath());
        port.setBaudRate(BaudRate::br4800);
        port.setStopBits(StopBits::sb2);
        port.OnRxChar = [this](int count) {
            counts << count;
            QByteArray chunk(count, '\0');
            bytes += chunk.left(port.ReadBytes(chunk.data(), count));
        };
        if (open) {
            port.OpenPort();
        }
    }
    // Without running the event loop, whose handler would take the bytes.
    void waitQueued(int n) {
        for (int i = 0; i < 5000 && port.QueuedInputCount() < n; ++i) {
            ::usleep(1000);
        }
        QCOMPARE(port.QueuedInputCount(), n);
    }
};

int openErrorOf(TSerialPort& port) {
    try {
        port.OpenPort();
    } catch (const ESerialPortError& e) {
        return e.code();
    }
    return 0;
}

}  // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openConfiguresTheLineAndLightsTheLamp() {
        OpenPort p(false);
        TPortLamp lamp;
        lamp.bindTo(p.port);
        QSignalSpy changed(&p.port, &TSerialPort::connectedChanged);
        p.port.OpenPort();
        QVERIFY(p.port.Connected() && lamp.isLit());
        termios t = lineOf(p.port);
        QCOMPARE(cfgetospeed(&t), speed_t(B4800));
        QCOMPARE(cfgetispeed(&t), speed_t(B4800));
        QCOMPARE(t.c_cflag & (CSIZE | CSTOPB | PARENB | CRTSCTS | CREAD),
                 tcflag_t(CS8 | CSTOPB | CREAD));
        QVERIFY(!(t.c_lflag & (ICANON | ECHO | ISIG)));
        QVERIFY(!(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP)) && !(t.c_oflag & OPOST));
        QCOMPARE(int(t.c_cc[VMIN]) + int(t.c_cc[VTIME]), 0);
        // Changes reach an open port at once, those inside a bracket at its
        // end, speeds without a B-constant through termios2.
        p.port.setStopBits(StopBits::sb1);
        QVERIFY(!(lineOf(p.port).c_cflag & CSTOPB));
        FlowControl flow;
        flow.setKind(FlowControlKind::Hardware);
        p.port.setFlowControl(flow);
        QVERIFY(lineOf(p.port).c_cflag & CRTSCTS);
        flow.setKind(FlowControlKind::Software);
        p.port.setFlowControl(flow);
        t = lineOf(p.port);
        QVERIFY(!(t.c_cflag & CRTSCTS) && (t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF));
        QCOMPARE(int(t.c_cc[VSTART]) * 100 + int(t.c_cc[VSTOP]), 17 * 100 + 19);

        p.port.BeginSettingsUpdate();
        p.port.setBaudRate(BaudRate::br9600);
        t = lineOf(p.port);
        QCOMPARE(cfgetospeed(&t), speed_t(B4800));
        p.port.EndSettingsUpdate();
        t = lineOf(p.port);
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));

        unsigned in = 0, out = 0;
        p.port.setBaudRate(BaudRate::br14400);
        QCOMPARE(readLineSpeed(p.port.handle(), &in, &out), 0);
        QCOMPARE(in + out, 2 * 14400u);
        p.port.setCustomBaudRate(31250);
        p.port.setBaudRate(BaudRate::Custom);
        QCOMPARE(readLineSpeed(p.port.handle(), &in, &out), 0);
        QCOMPARE(out, 31250u);
        p.port.ClosePort();
        p.port.ClosePort();  // closing a closed port does nothing
        QVERIFY(!p.port.Connected() && !lamp.isLit());
        QCOMPARE(changed.count(), 2);
    }

    // A pseudo-terminal keeps neither character size nor parity, so these
    // are read from what the port hands the driver.
    void lineConfigurationOfEachSetting() {
        const struct {
            DataBits data;
            StopBits stop;
            ParityBits parity;
            tcflag_t flags;  // CSIZE, CSTOPB and the parity bits
        } cases[] = {
            {DataBits::db7, StopBits::sb1_5, ParityBits::Odd, CS7 | CSTOPB | PARENB | PARODD},
            {DataBits::db5, StopBits::sb1, ParityBits::Even, CS5 | PARENB},
            {DataBits::db6, StopBits::sb2, ParityBits::Mark,
             CS6 | CSTOPB | PARENB | PARODD | CMSPAR},
            {DataBits::db8, StopBits::sb1, ParityBits::Space, CS8 | PARENB | CMSPAR}};
        for (const auto& c : cases) {
            TSerialPort port;
            port.setDataBits(c.data);
            port.setStopBits(c.stop);
            port.setParity(Parity{c.parity, true});
            termios t{};
            port.fillTermios(t);
            QCOMPARE(t.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CMSPAR), c.flags);
            QVERIFY(t.c_iflag & INPCK);
        }
    }

    // Binary data passes untouched (no CR/LF translation, no stripping),
    // each batch with its count; bytes nobody takes are dropped, so that
    // they do not wake the loop again and again.
    void receivedBytesArriveAsEventsWithTheirCount() {
        OpenPort p;
        p.pty.send("abcd");
        QTRY_COMPARE(p.bytes.size(), 4);
        const QByteArray binary("\x00\r\n\x11\x13\x7f\xff\x03", 8);
        p.pty.send(binary);
        QTRY_COMPARE(p.bytes, QByteArray("abcd") + binary);
        QCOMPARE(p.counts, (QList<int>{4, 8}));
        p.port.OnRxChar = [&](int count) { p.counts << count; };  // takes nothing
        p.pty.send("junk");
        QTRY_COMPARE(p.counts.size(), 3);
        QTest::qWait(200);
        QCOMPARE(p.counts.size(), 3);
        QCOMPARE(p.port.QueuedInputCount(), 0);
    }

    // A purge discards the queues it names (input: what the controller
    // sent; output: what the port wrote and the controller has not read),
    // ClosePort both. A pseudo-terminal hands written bytes on at once, so
    // only an output queue that must stay is seen on the other side.
    void purgesAndCloseDiscardTheirQueues() {
        for (int how : {0, 1, 2, 3}) {  // purge input, output, both; ClosePort
            OpenPort p;
            p.pty.send("123456");
            p.waitQueued(6);
            QCOMPARE(::write(p.port.handle(), "out", 3), ssize_t(3));
            if (how == 3) {
                p.port.ClosePort();
                QVERIFY(drain(p.pty.keeperFd()).isEmpty());
                continue;
            }
            p.port.PurgeQueues(how != 1, how != 0);
            char buffer[16];
            QCOMPARE(p.port.ReadBytes(buffer, 16), how == 1 ? 6 : 0);
            if (how == 0) {
                QCOMPARE(drain(p.pty.masterFd()), QByteArray("out"));
            }
        }
    }

    void devicePathsAndOpenErrors() {
        // COMn is /dev/ttyS(n-1), a path is itself, any other name is under /dev.
        const QStringList names{"COM1", "COM10", "com3", "/dev/pts/7", "ttyUSB0", "COM0"};
        QStringList paths;
        for (const QString& name : names) {
            paths << TSerialPort::devicePathFor(name);
        }
        QCOMPARE(paths, (QStringList{"/dev/ttyS0", "/dev/ttyS9", "/dev/ttyS2", "/dev/pts/7",
                                     "/dev/ttyUSB0", "/dev/COM0"}));
        // An absent device, a closed port, a file that is not a terminal
        // (it takes no line settings: code 7, and the port stays closed).
        TSerialPort port;
        port.setPort(QStringLiteral("/dev/no-such-serial-device"));
        QCOMPARE(openErrorOf(port), 1);
        char buffer[4];
        QVERIFY_THROWS_EXCEPTION(ESerialPortError, port.ReadBytes(buffer, 4));
        QVERIFY_THROWS_EXCEPTION(ESerialPortError, port.PurgeQueues(true, true));
        QTemporaryFile plain;
        QVERIFY(plain.open());
        port.setPort(plain.fileName());
        QCOMPARE(openErrorOf(port), 7);
        QVERIFY(!port.Connected() && port.handle() < 0);
    }

    // Exclusive against every other program: this program's own copies, a
    // plain process (refused by the kernel, also for root's children without
    // its privilege) and a serial program that announced the device with a
    // lock file.
    void anOpenPortIsExclusiveBothWays() {
        QTemporaryDir locks;
        UucpLock::setFolderForTesting(locks.path());
        OpenPort holder;
        ::chmod(QFile::encodeName(holder.pty.slavePath()).constData(), 0666);
        const QString lockFile = UucpLock::lockFileFor(holder.pty.slavePath());
        QCOMPARE(test::readFile(lockFile).trimmed(), QByteArray::number(::getpid()));

        TSerialPort second;
        second.setPort(holder.pty.slavePath());
        TPortLamp lamp;
        lamp.bindTo(second);
        QCOMPARE(openErrorOf(second), 1);
        QVERIFY(!second.Connected() && !lamp.isLit());
        const QStringList readDevice{QStringLiteral("if=") + holder.pty.slavePath(),
                                     QStringLiteral("count=0"), QStringLiteral("status=none")};
        const test::Finished plain = test::runAsOtherUser(QStringLiteral("dd"), readDevice);
        QVERIFY2(plain.exitCode != 0 && plain.errors.contains(QStringLiteral("busy")),
                 qPrintable(plain.errors));

        // Closed, the device is everybody's again, and its lock file is gone.
        holder.port.ClosePort();
        QCOMPARE(test::runAsOtherUser(QStringLiteral("dd"), readDevice).exitCode, 0);
        QVERIFY(!QFile::exists(lockFile));

        // Another program holds the device under a lock file of its own.
        QProcess other;
        other.setStandardInputFile(holder.pty.slavePath());
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        test::writeFile(lockFile, QByteArray::number(other.processId()).rightJustified(10) + "\n");
        QCOMPARE(openErrorOf(second), 1);
        // Another user's process, which this one may not signal, lives too.
        test::answerProbes(pid_t(other.processId()), EPERM);
        QCOMPARE(openErrorOf(second), 1);
        test::answerProbes(0, 0);
        other.kill();
        other.waitForFinished();
        second.OpenPort();  // the lock is stale now: its process is gone
        QVERIFY(second.Connected() && lamp.isLit());
        UucpLock::setFolderForTesting({});
    }

    // The other side of the line goes away: the port closes itself, says so
    // once, and the event loop does not spin on the dead descriptor.
    void peerHangUpEndsInOneClosedPort() {
        OpenPort p;
        QSignalSpy lost(&p.port, &TSerialPort::deviceLost);
        QSignalSpy changed(&p.port, &TSerialPort::connectedChanged);
        p.pty.hangUp();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!p.port.Connected());
        const double cpuBefore = cpuSeconds();
        QTest::qWait(500);
        const double cpuUsed = cpuSeconds() - cpuBefore;
        QCOMPARE(lost.count() + changed.count(), 2);
        QVERIFY2(cpuUsed < 0.2, qPrintable(QStringLiteral("%1 s of CPU in 0.5 s").arg(cpuUsed)));
    }
};

IM_TEST_MAIN(TestSerialPort)
#include "tst_serialport.moc"
