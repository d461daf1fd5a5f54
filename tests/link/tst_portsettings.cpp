#include "link/PortSettingsStorage.h"
#include "link/TSerialPort.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/Pty.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <termios.h>

using namespace im;
using namespace im::link;

namespace {

void mainWindowValues(TSerialPort& port) {
    port.setBaudRate(BaudRate::br4800);
    port.setStopBits(StopBits::sb2);
}

}  // namespace

class TestPortSettings : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString ini() const { return tmp.path() + QStringLiteral("/incubator-monitor.ini"); }
    void put(const QByteArray& text) { test::writeFile(ini(), text); }

private Q_SLOTS:
    void init() { QFile::remove(ini()); }

    void flowControlKinds() {
        FlowControl f;
        QCOMPARE(f.kind(), FlowControlKind::None);
        f.OutDSRFlow = true;
        f.ControlDTR = DtrControl::Handshake;
        f.setKind(FlowControlKind::Hardware);
        QCOMPARE(f.ControlRTS, RtsControl::Handshake);
        QVERIFY(f.OutCTSFlow && !f.XonXoffIn && !f.XonXoffOut);
        QCOMPARE(f.kind(), FlowControlKind::Hardware);
        QVERIFY2(f.OutDSRFlow && f.ControlDTR == DtrControl::Handshake, "other fields stay");

        f.setKind(FlowControlKind::Software);
        QCOMPARE(f.ControlRTS, RtsControl::Disable);
        QVERIFY(!f.OutCTSFlow && f.XonXoffIn && f.XonXoffOut);
        QCOMPARE(f.kind(), FlowControlKind::Software);

        f.XonXoffIn = false;  // one Xon/Xoff direction only is none of the named kinds
        QCOMPARE(f.kind(), FlowControlKind::Custom);
        const FlowControl before = f;
        f.setKind(FlowControlKind::Custom);
        QVERIFY(f == before);

        f.setKind(FlowControlKind::None);
        QCOMPARE(f.kind(), FlowControlKind::None);
        f.ControlRTS = RtsControl::Toggle;
        QCOMPARE(f.kind(), FlowControlKind::Custom);
    }

    void missingSectionKeepsTheMainWindowValues() {
        put("[Form]\nTop=1\n");
        TSerialPort port;
        mainWindowValues(port);
        LoadPortSettings(port, ini());
        QCOMPARE(port.Port(), QStringLiteral("COM1"));
        QCOMPARE(port.baudRate(), BaudRate::br4800);
        QCOMPARE(port.stopBits(), StopBits::sb2);
        QCOMPARE(port.dataBits(), DataBits::db8);
        QCOMPARE(port.parity().Bits, ParityBits::None);
        QCOMPARE(port.flowControl().kind(), FlowControlKind::None);
    }

    void valuesMatchWithoutCaseAndUnknownTextsFallBack() {
        put("[comport1]\nport=COM3\nbaudrate=9600\nparity=eVeN\nstopbits=1.5\ndatabits=7\n"
            "flowcontrol=hardware\n");
        TSerialPort port;
        mainWindowValues(port);
        LoadPortSettings(port, ini());
        QCOMPARE(port.Port(), QStringLiteral("COM3"));
        QCOMPARE(port.effectiveBitsPerSecond(), 9600);
        QCOMPARE(port.parity().Bits, ParityBits::Even);
        QCOMPARE(port.stopBits(), StopBits::sb1_5);
        QCOMPARE(port.dataBits(), DataBits::db7);
        QCOMPARE(port.flowControl().ControlRTS, RtsControl::Handshake);
        QVERIFY(port.flowControl().OutCTSFlow);

        put("[ComPort1]\nBaudRate=fast\nStopBits=3\nDataBits=9\nParity=sometimes\nFlowControl=?\n");
        LoadPortSettings(port, ini());
        QCOMPARE(port.baudRate(), BaudRate::br9600);
        QCOMPARE(port.stopBits(), StopBits::sb1);
        QCOMPARE(port.dataBits(), DataBits::db8);
        QCOMPARE(port.parity().Bits, ParityBits::None);
        QVERIFY2(port.flowControl().OutCTSFlow, "an unknown kind is Custom: the fields stay");
        QCOMPARE(port.Port(), QStringLiteral("COM3"));
    }

    void customBaudRate() {
        TSerialPort port;
        port.setCustomBaudRate(31250);
        put("[ComPort1]\nBaudRate=Custom\n");
        LoadPortSettings(port, ini());
        QCOMPARE(port.baudRate(), BaudRate::Custom);
        QCOMPARE(port.effectiveBitsPerSecond(), 9600);

        put("[ComPort1]\nBaudRate=custom\nCustomBaudRate=2400\n");
        LoadPortSettings(port, ini());
        QCOMPARE(port.effectiveBitsPerSecond(), 2400);

        QFile::remove(ini());
        StorePortSettings(port, ini());
        QCOMPARE(test::readFile(ini()),
                 QByteArray("[ComPort1]\nPort=COM1\nBaudRate=Custom\nCustomBaudRate=2400\n"
                            "StopBits=1\nDataBits=8\nParity=None\nFlowControl=None\n"));

        // A speed from the list reads no CustomBaudRate, even one that is there.
        put("[ComPort1]\nBaudRate=19200\nCustomBaudRate=2400\n");
        port.setCustomBaudRate(777);
        LoadPortSettings(port, ini());
        QCOMPARE(port.customBaudRate(), 777);
        QCOMPARE(port.effectiveBitsPerSecond(), 19200);
    }

    void storeWritesTheKeysInOrderBesideTheWindowsKeys() {
        put("[ComPort1]\nOpenStart=1\n[Form]\nTop=5\n");
        TSerialPort port;
        mainWindowValues(port);
        StorePortSettings(port, ini());
        QCOMPARE(test::readFile(ini()),
                 QByteArray("[ComPort1]\nOpenStart=1\nPort=COM1\nBaudRate=4800\nStopBits=2\n"
                            "DataBits=8\nParity=None\nFlowControl=None\n[Form]\nTop=5\n"));
        TSerialPort again;
        LoadPortSettings(again, ini());
        QCOMPARE(again.effectiveBitsPerSecond(), 4800);
        QCOMPARE(again.stopBits(), StopBits::sb2);
    }

    void loadingReconfiguresAnOpenPortOnce() {
        test::Pty first;
        test::Pty second;
        TSerialPort port;
        mainWindowValues(port);
        port.setPort(first.slavePath());
        port.OpenPort();
        const int firstHandle = port.handle();
        put("[ComPort1]\nBaudRate=9600\n");
        LoadPortSettings(port, ini());
        termios t{};
        tcgetattr(port.handle(), &t);
        QCOMPARE(cfgetospeed(&t), speed_t(B9600));
        QCOMPARE(port.handle(), firstHandle);

        put("[ComPort1]\nPort=" + second.slavePath().toUtf8() + "\nBaudRate=2400\n");
        LoadPortSettings(port, ini());
        QVERIFY(port.Connected());
        tcgetattr(port.handle(), &t);
        QCOMPARE(cfgetospeed(&t), speed_t(B2400));
        TSerialPort other;
        other.setPort(first.slavePath());
        other.OpenPort();  // the old device was let go
    }

    void fileFailuresBecomePortErrors() {
        TSerialPort port;
        {
            test::FileSizeLimit diskFull(0);
            try {
                StorePortSettings(port, ini());
                QFAIL("stored on a full disk");
            } catch (const ESerialPortError& e) {
                QCOMPARE(e.code(), 16);
                QCOMPARE(e.message(), QStringLiteral("Failed to store settings"));
            }
        }
        QVERIFY(QDir().mkdir(ini()));
        try {
            LoadPortSettings(port, ini());
            QFAIL("loaded an unreadable file");
        } catch (const ESerialPortError& e) {
            QCOMPARE(e.code(), 17);
            QCOMPARE(e.message(), QStringLiteral("Failed to load settings"));
        }
        QVERIFY(QDir().rmdir(ini()));
        // The bracket was closed: changes reach an open port again.
        test::Pty pty;
        port.setPort(pty.slavePath());
        port.OpenPort();
        port.setBaudRate(BaudRate::br1200);
        termios t{};
        tcgetattr(port.handle(), &t);
        QCOMPARE(cfgetospeed(&t), speed_t(B1200));
    }
};

IM_TEST_MAIN(TestPortSettings)
#include "tst_portsettings.moc"
