#include "link/SerialSpeed.h"
#include "link/TPortLamp.h"
#include "link/TSerialPort.h"
#include "support/Fakes.h"
#include "support/Pty.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/resource.h>
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

speed_t speedOf(const TSerialPort& port) {
    const termios t = lineOf(port);
    return cfgetospeed(&t);
}

// The main window's port: 4800 bit/s, 8 data bits, no parity, 2 stop bits.
void mainWindowValues(TSerialPort& port, const QString& path) {
    port.setPort(path);
    port.setBaudRate(BaudRate::br4800);
    port.setStopBits(StopBits::sb2);
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Collects what the port hands over: the count of each event and the bytes.
struct Receiver {
    explicit Receiver(TSerialPort& port) {
        port.OnRxChar = [this, &port](int count) {
            counts << count;
            QByteArray chunk(count, '\0');
            const int n = port.ReadBytes(chunk.data(), count);
            bytes += chunk.left(n);
        };
    }
    QList<int> counts;
    QByteArray bytes;
};

}  // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deviceNames_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM1") << "COM1"
                              << "/dev/ttyS0";
        QTest::newRow("COM10") << "COM10"
                               << "/dev/ttyS9";
        QTest::newRow("lower case") << "com3"
                                    << "/dev/ttyS2";
        QTest::newRow("path as is") << "/dev/pts/7"
                                    << "/dev/pts/7";
        QTest::newRow("name under /dev") << "ttyUSB0"
                                         << "/dev/ttyUSB0";
        QTest::newRow("COM0 is no COM port") << "COM0"
                                             << "/dev/COM0";
    }
    void deviceNames() {
        QFETCH(QString, port);
        QFETCH(QString, path);
        QCOMPARE(TSerialPort::devicePathFor(port), path);
    }

    void defaultsOfTheClass() {
        TSerialPort port;
        QCOMPARE(port.Port(), QStringLiteral("COM1"));
        QCOMPARE(port.baudRate(), BaudRate::br9600);
        QCOMPARE(port.dataBits(), DataBits::db8);
        QCOMPARE(port.stopBits(), StopBits::sb1);
        QCOMPARE(port.parity().Bits, ParityBits::None);
        QCOMPARE(port.flowControl().kind(), FlowControlKind::None);
        QCOMPARE(port.flowControl().XonChar, char(17));
        QCOMPARE(port.buffer().InputSize, 1024);
        QCOMPARE(port.timeouts().WriteTotalConstant, 1000);
        QVERIFY(!port.Connected());
    }

    void openConfiguresTheLineAndLightsTheLamp() {
        test::Pty pty;
        TSerialPort port;
        mainWindowValues(port, pty.slavePath());
        TPortLamp lamp;
        lamp.bindTo(port);
        QSignalSpy changed(&port, &TSerialPort::connectedChanged);
        port.OpenPort();
        QVERIFY(port.Connected());
        QVERIFY(lamp.isLit());
        QCOMPARE(changed.count(), 1);

        const termios t = lineOf(port);
        QCOMPARE(cfgetospeed(&t), speed_t(B4800));
        QCOMPARE(cfgetispeed(&t), speed_t(B4800));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QVERIFY(t.c_cflag & CSTOPB);
        QVERIFY(!(t.c_cflag & PARENB));
        QVERIFY(!(t.c_cflag & CRTSCTS));
        QVERIFY(t.c_cflag & CREAD);
        QVERIFY(!(t.c_lflag & (ICANON | ECHO | ISIG)));
        QVERIFY(!(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP)));
        QVERIFY(!(t.c_oflag & OPOST));
        QCOMPARE(int(t.c_cc[VMIN]), 0);
        QCOMPARE(int(t.c_cc[VTIME]), 0);

        // DTR and RTS cannot be set on a pseudo-terminal; that is no error.
        port.SetDtrLine(true);
        port.SetRtsLine(false);

        port.ClosePort();
        QVERIFY(!port.Connected());
        QVERIFY(!lamp.isLit());
        QCOMPARE(changed.count(), 2);
        port.ClosePort();  // closing a closed port does nothing
        QCOMPARE(changed.count(), 2);
    }

    // Character size and parity: a pseudo-terminal keeps neither, so the
    // configuration is read from what the port hands the driver.
    void lineConfigurationOfEachSetting() {
        TSerialPort port;
        termios t{};
        port.setDataBits(DataBits::db7);
        port.setStopBits(StopBits::sb1_5);
        port.fillTermios(t);
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS7));
        QVERIFY(t.c_cflag & CSTOPB);
        port.setDataBits(DataBits::db5);
        port.setStopBits(StopBits::sb1);
        port.fillTermios(t);
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS5));
        QVERIFY(!(t.c_cflag & CSTOPB));

        const struct {
            ParityBits bits;
            tcflag_t set;
        } parities[] = {{ParityBits::Odd, PARENB | PARODD},
                        {ParityBits::Even, PARENB},
                        {ParityBits::Mark, PARENB | PARODD | CMSPAR},
                        {ParityBits::Space, PARENB | CMSPAR},
                        {ParityBits::None, 0}};
        for (const auto& p : parities) {
            Parity parity;
            parity.Bits = p.bits;
            parity.Check = p.bits != ParityBits::None;
            port.setParity(parity);
            port.fillTermios(t);
            QCOMPARE(t.c_cflag & (PARENB | PARODD | CMSPAR), p.set);
            QCOMPARE(bool(t.c_iflag & INPCK), parity.Check);
        }
    }

    void lineSettingsReachTheDevice() {
        test::Pty pty;
        TSerialPort port;
        port.setPort(pty.slavePath());
        port.OpenPort();
        port.setStopBits(StopBits::sb2);
        QVERIFY(lineOf(port).c_cflag & CSTOPB);
        port.setStopBits(StopBits::sb1);
        QVERIFY(!(lineOf(port).c_cflag & CSTOPB));
        // Accepted without error on a line that has no parity of its own.
        Parity parity;
        parity.Bits = ParityBits::Even;
        port.setDataBits(DataBits::db7);
        port.setParity(parity);
        QVERIFY(port.Connected());

        FlowControl flow;
        flow.setKind(FlowControlKind::Hardware);
        port.setFlowControl(flow);
        QVERIFY(lineOf(port).c_cflag & CRTSCTS);
        flow.setKind(FlowControlKind::Software);
        flow.XonChar = 0x11;
        flow.XoffChar = 0x13;
        port.setFlowControl(flow);
        termios t = lineOf(port);
        QVERIFY(!(t.c_cflag & CRTSCTS));
        QVERIFY((t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF));
        QCOMPARE(int(t.c_cc[VSTART]), 0x11);
        QCOMPARE(int(t.c_cc[VSTOP]), 0x13);
    }

    void speedsWithoutAConstantAndCustomSpeeds() {
        test::Pty pty;
        TSerialPort port;
        port.setPort(pty.slavePath());
        port.OpenPort();
        unsigned in = 0, out = 0;

        port.setBaudRate(BaudRate::br14400);
        QCOMPARE(readLineSpeed(port.handle(), &in, &out), 0);
        QCOMPARE(out, 14400u);
        QCOMPARE(in, 14400u);

        port.setCustomBaudRate(2400);
        port.setBaudRate(BaudRate::Custom);
        QCOMPARE(speedOf(port), speed_t(B2400));

        port.setCustomBaudRate(31250);
        QCOMPARE(readLineSpeed(port.handle(), &in, &out), 0);
        QCOMPARE(out, 31250u);
    }

    void changesInsideABracketArriveAtItsEnd() {
        test::Pty pty;
        TSerialPort port;
        mainWindowValues(port, pty.slavePath());
        port.OpenPort();
        port.BeginSettingsUpdate();
        port.setBaudRate(BaudRate::br9600);
        port.setStopBits(StopBits::sb1);
        QCOMPARE(speedOf(port), speed_t(B4800));
        port.EndSettingsUpdate();
        const termios t = lineOf(port);
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));
        QVERIFY(!(t.c_cflag & CSTOPB));
    }

    void newPortNameReopensAnOpenPort() {
        test::Pty first;
        test::Pty second;
        TSerialPort port;
        mainWindowValues(port, first.slavePath());
        port.OpenPort();
        Receiver rx(port);
        port.setPort(second.slavePath());
        QVERIFY(port.Connected());
        second.send("xyz");
        QTRY_COMPARE(rx.bytes, QByteArray("xyz"));
        // The first device is free again.
        TSerialPort other;
        other.setPort(first.slavePath());
        other.OpenPort();
        QVERIFY(other.Connected());
    }

    void receivedBytesArriveAsEventsWithTheirCount() {
        test::Pty pty;
        TSerialPort port;
        mainWindowValues(port, pty.slavePath());
        port.OpenPort();
        Receiver rx(port);

        pty.send("abcd");
        QTRY_COMPARE(rx.bytes.size(), 4);
        pty.send("efghi");
        QTRY_COMPARE(rx.bytes.size(), 9);
        QCOMPARE(rx.bytes, QByteArray("abcdefghi"));
        QCOMPARE(rx.counts, (QList<int>{4, 5}));

        // Binary data passes untouched: no CR/LF translation, no stripping.
        const QByteArray binary("\x00\r\n\x11\x13\x7f\xff\x03", 8);
        pty.send(binary);
        QTRY_COMPARE(rx.bytes.size(), 17);
        QCOMPARE(rx.bytes.mid(9), binary);
    }

    void queuedCountAndPurge() {
        test::Pty pty;
        TSerialPort port;
        port.setPort(pty.slavePath());
        port.OpenPort();
        // No handler takes the bytes while the test does not run the loop.
        pty.send("123456");
        QElapsedTimer wait;
        wait.start();
        while (port.QueuedInputCount() < 6 && wait.elapsed() < 5000) {
            ::usleep(1000);
        }
        QCOMPARE(port.QueuedInputCount(), 6);
        port.PurgeQueues(true, true);
        QCOMPARE(port.QueuedInputCount(), 0);
        char buffer[16];
        QCOMPARE(port.ReadBytes(buffer, sizeof buffer), 0);
    }

    void bytesNobodyTakesDoNotSpinTheLoop() {
        test::Pty pty;
        TSerialPort port;
        port.setPort(pty.slavePath());
        port.OpenPort();
        int events = 0;
        port.OnRxChar = [&](int) { ++events; };  // takes nothing
        pty.send("junk");
        QTRY_VERIFY(events >= 1);
        QTest::qWait(200);
        QCOMPARE(events, 1);
        QCOMPARE(port.QueuedInputCount(), 0);
    }

    void errorsOfClosedPortsAndAbsentDevices() {
        TSerialPort port;
        port.setPort(QStringLiteral("/dev/no-such-serial-device"));
        try {
            port.OpenPort();
            QFAIL("opened an absent device");
        } catch (const ESerialPortError& e) {
            QCOMPARE(e.code(), 1);
            QCOMPARE(e.osError(), ENOENT);
            QCOMPARE(e.message(), QStringLiteral("Unable to open com port (error code: 2)"));
        }
        QVERIFY(!port.Connected());
        char buffer[4];
        QVERIFY_THROWS_EXCEPTION(ESerialPortError, port.ReadBytes(buffer, 4));
        QVERIFY_THROWS_EXCEPTION(ESerialPortError, port.PurgeQueues(true, true));
        QCOMPARE(ESerialPortError(16, ESerialPortError::kNoOsError).message(),
                 QStringLiteral("Failed to store settings"));
        QCOMPARE(ESerialPortError(23, ESerialPortError::kNoOsError).message(),
                 QStringLiteral("Registry error"));

        // A file that is not a terminal cannot take line settings; the port
        // stays closed.
        QTemporaryDir tmp;
        const QString plain = tmp.path() + QStringLiteral("/plain");
        QFile(plain).open(QIODevice::WriteOnly);
        port.setPort(plain);
        try {
            port.OpenPort();
            QFAIL("configured a plain file");
        } catch (const ESerialPortError& e) {
            QCOMPARE(e.code(), 7);
        }
        QVERIFY(!port.Connected());
        QVERIFY(port.handle() < 0);
    }

    void anOpenPortIsExclusive() {
        test::Pty pty;
        TSerialPort holder;
        holder.setPort(pty.slavePath());
        holder.OpenPort();

        TSerialPort second;
        second.setPort(pty.slavePath());
        TPortLamp lamp;
        lamp.bindTo(second);
        try {
            second.OpenPort();
            QFAIL("a second opener got the port");
        } catch (const ESerialPortError& e) {
            QCOMPARE(e.code(), 1);
        }
        QVERIFY(!second.Connected());
        QVERIFY(!lamp.isLit());

        // Another process of this program (the recorder uses the same port
        // class) is refused too, whoever runs it.
        QProcess other;
        other.start(QStringLiteral(IM_RECORD_PATH), {pty.slavePath()});
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(other.exitCode(), 1);
        QVERIFY(QString::fromUtf8(other.readAllStandardError())
                    .contains(QStringLiteral("Не могу открыть порт: ") + pty.slavePath()));

        holder.ClosePort();
        second.OpenPort();
        QVERIFY(second.Connected());
        QVERIFY(lamp.isLit());
    }

    // The other side of the line goes away: the port closes itself, says so
    // once, and the event loop does not spin on the dead descriptor.
    void peerHangUpEndsInOneClosedPort() {
        QTemporaryDir tmp;
        const QString link = tmp.path() + QStringLiteral("/ttyINCUBATOR");
        auto pty = std::make_unique<test::Pty>();
        QVERIFY(QFile::link(pty->slavePath(), link));

        TSerialPort port;
        port.setPort(link);
        port.OpenPort();
        TPortLamp lamp;
        lamp.bindTo(port);
        Receiver rx(port);
        QSignalSpy lost(&port, &TSerialPort::deviceLost);
        QSignalSpy changed(&port, &TSerialPort::connectedChanged);

        pty->hangUp();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!port.Connected());
        QVERIFY(!lamp.isLit());
        QCOMPARE(changed.count(), 1);

        const double cpuBefore = cpuSeconds();
        QTest::qWait(500);
        const double cpuUsed = cpuSeconds() - cpuBefore;
        QCOMPARE(lost.count(), 1);
        QCOMPARE(changed.count(), 1);
        QVERIFY2(cpuUsed < 0.2, qPrintable(QStringLiteral("%1 s of CPU in 0.5 s").arg(cpuUsed)));

        // The device is back (a new pseudo-terminal behind the same name):
        // opening works again and data flows.
        pty = std::make_unique<test::Pty>();
        QVERIFY(QFile::remove(link));
        QVERIFY(QFile::link(pty->slavePath(), link));
        port.OpenPort();
        QVERIFY(port.Connected());
        QVERIFY(lamp.isLit());
        pty->send("ok");
        QTRY_COMPARE(rx.bytes, QByteArray("ok"));
    }
};

IM_TEST_MAIN(TestSerialPort)
#include "tst_serialport.moc"
