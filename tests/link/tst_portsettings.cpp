#include "common/PseudoTerminal.h"
#include "link/PortLister.h"
#include "link/PortSettingsStorage.h"
#include "link/TPortSetupDialog.h"
#include "link/TSerialPort.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <termios.h>

using namespace im;
using namespace im::link;

namespace {

// The main window's port: 4800 bit/s and 2 stop bits on the class defaults.
void mainWindowValues(TSerialPort& port) {
    port.setBaudRate(BaudRate::br4800);
    port.setStopBits(StopBits::sb2);
}

// Port, speed, data bits, stop bits, parity and flow control kind as the
// settings file writes them.
QString describe(const TSerialPort& port) {
    return QStringList{port.Port(),
                       QString::number(port.effectiveBitsPerSecond()),
                       dataBitsTexts()[int(port.dataBits())],
                       stopBitsTexts()[int(port.stopBits())],
                       parityTexts()[int(port.parity().Bits)],
                       flowControlTexts()[int(port.flowControl().kind())]}
        .join(QLatin1Char(' '));
}

speed_t speedOf(const TSerialPort& port) {
    termios t{};
    tcgetattr(port.handle(), &t);
    return cfgetospeed(&t);
}

void choose(QComboBox* list, const QString& text) {
    const int i = list->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    list->setCurrentIndex(i);
}

// Runs the modal dialog the way the operator would: once it is on screen,
// `act` changes the lists and presses a button.
void operate(TSerialPort& port, const QStringList& present,
             const std::function<void(TPortSetupDialog&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TPortSetupDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        acted = true;
        act(*dialog);
    });
    ShowPortDialog(port, nullptr, [present] { return present; });
    QVERIFY(acted);
}

}  // namespace

class TestPortSettings : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString ini() const { return tmp.path() + QStringLiteral("/incubator-monitor.ini"); }

private Q_SLOTS:
    void init() { QFile::remove(ini()); }

    // Setting a kind keeps the fields it does not own; reading it names
    // anything but the three plain kinds Custom.
    void flowControlKinds() {
        FlowControl f;
        f.OutDSRFlow = true;
        f.ControlDTR = DtrControl::Handshake;
        QStringList kinds{flowControlTexts()[int(f.kind())]};
        for (FlowControlKind k :
             {FlowControlKind::Hardware, FlowControlKind::Software, FlowControlKind::Custom}) {
            f.setKind(k);
            kinds << flowControlTexts()[int(f.kind())];
        }
        f.XonXoffIn = false;  // one Xon/Xoff direction only
        kinds << flowControlTexts()[int(f.kind())];
        f.setKind(FlowControlKind::Hardware);
        f.ControlRTS = RtsControl::Toggle;
        kinds << flowControlTexts()[int(f.kind())];
        QCOMPARE(kinds.join(' '), QStringLiteral("None Hardware Software Software Custom Custom"));
        QVERIFY2(f.OutDSRFlow && f.ControlDTR == DtrControl::Handshake, "other fields stay");
    }

    // Names and values match without regard to case; a text that matches
    // nothing gives the setting's fallback; a missing key keeps the value;
    // CustomBaudRate counts only for the speed "Custom", and is stored with
    // it.
    void loadingAndStoring() {
        const char* const cases[][2] = {
            {"[Form]\nTop=1\n", "COM1 4800 8 2 None None"},
            {"[comport1]\nport=COM3\nbaudrate=9600\nparity=eVeN\nstopbits=1.5\ndatabits=7\n"
             "flowcontrol=hardware\n",
             "COM3 9600 7 1.5 Even Hardware"},
            {"[ComPort1]\nBaudRate=fast\nStopBits=3\nDataBits=9\nParity=sometimes\n",
             "COM1 9600 8 1 None None"},
            {"[ComPort1]\nBaudRate=Custom\n", "COM1 9600 8 2 None None"},
            {"[ComPort1]\nBaudRate=custom\nCustomBaudRate=2400\n", "COM1 2400 8 2 None None"},
            {"[ComPort1]\nBaudRate=19200\nCustomBaudRate=2400\n", "COM1 19200 8 2 None None"}};
        for (const auto& [file, expected] : cases) {
            test::writeFile(ini(), file);
            TSerialPort p;
            mainWindowValues(p);
            LoadPortSettings(p, ini());
            QCOMPARE(describe(p), QString::fromLatin1(expected));
        }
        TSerialPort port;
        port.setCustomBaudRate(2400);
        port.setBaudRate(BaudRate::Custom);
        StorePortSettings(port, ini());
        QVERIFY(test::readFile(ini()).contains("\nBaudRate=Custom\nCustomBaudRate=2400\n"));
        TSerialPort again;
        LoadPortSettings(again, ini());
        QCOMPARE(describe(again), describe(port));
    }

    // Loading reconfigures an open port, a new port name reopens it and lets
    // the old device go. Files that fail become port errors and leave the
    // settings bracket closed: changes reach the open port again.
    void loadingIntoAnOpenPortAndFileFailures() {
        tools::PseudoTerminal first;
        tools::PseudoTerminal second;
        TSerialPort port;
        mainWindowValues(port);
        port.setPort(first.slavePath());
        port.OpenPort();
        const int firstHandle = port.handle();
        test::writeFile(ini(), "[ComPort1]\nBaudRate=9600\n");
        LoadPortSettings(port, ini());
        QCOMPARE(speedOf(port), speed_t(B9600));
        QCOMPARE(port.handle(), firstHandle);
        test::writeFile(ini(),
                        "[ComPort1]\nPort=" + second.slavePath().toUtf8() + "\nBaudRate=2400\n");
        LoadPortSettings(port, ini());
        QVERIFY(port.Connected());
        QCOMPARE(speedOf(port), speed_t(B2400));
        TSerialPort other;
        other.setPort(first.slavePath());
        other.OpenPort();
        QVERIFY(QFile::remove(ini()));
        {
            test::FileSizeLimit diskFull(0);
            QVERIFY_THROWS_EXCEPTION(ESerialPortError, StorePortSettings(port, ini()));
        }
        QVERIFY(QDir().mkdir(ini()));
        QVERIFY_THROWS_EXCEPTION(ESerialPortError, LoadPortSettings(port, ini()));
        QVERIFY(QDir().rmdir(ini()));
        port.setBaudRate(BaudRate::br1200);
        QCOMPARE(speedOf(port), speed_t(B1200));
    }

    // The dialog shows the port's values; OK applies all six choices, Cancel
    // none; a port the system does not list (a pseudo-terminal, an unplugged
    // adapter) is shown and kept, a typed path is taken trimmed, also an
    // empty one.
    void dialogChoices() {
        // The port before; the steps ("list index=choice", "type=text", "ok",
        // "cancel"); the port after.
        const char* const cases[][3] = {
            {"COM1", "0=ttyUSB0|1=57600|2=7|3=1.5|4=Mark|5=Software|ok",
             "ttyUSB0 57600 7 1.5 Mark Software"},
            {"COM1", "0=ttyUSB0|5=Hardware|cancel", "COM1 4800 8 2 None None"},
            {"/dev/pts/9", "1=9600|ok", "/dev/pts/9 9600 8 2 None None"},
            {"COM1", "type=  /dev/ttyACM0 |ok", "/dev/ttyACM0 4800 8 2 None None"},
            {"", "ok", " 4800 8 2 None None"}};
        const QFont usual = QApplication::font();
        for (const auto& c : cases) {
            // The last case with the desktop's font at 16 points.
            QFont font = usual;
            font.setPointSize(&c == &cases[4] ? 16 : usual.pointSize());
            QApplication::setFont(font);
            const char* const before = c[0];
            const char* const steps = c[1];
            const char* const after = c[2];
            TSerialPort port;
            mainWindowValues(port);
            port.setPort(QLatin1String(before));
            operate(port, {"COM1", "ttyUSB0"}, [&](TPortSetupDialog& d) {
                QComboBox* lists[] = {d.portList(),     d.baudRateList(), d.dataBitsList(),
                                      d.stopBitsList(), d.parityList(),   d.flowControlList()};
                QStringList shown;
                for (QComboBox* list : lists) {
                    shown << list->currentText();
                }
                QCOMPARE(shown.join(QLatin1Char(' ')), describe(port));
                // Every caption whole, at this font and at a larger one.
                for (QLabel* label : d.findChildren<QLabel*>()) {
                    QVERIFY2(label->width() >= label->sizeHint().width(),
                             qPrintable(label->text()));
                }
                for (const QString& step : QString::fromLatin1(steps).split(QLatin1Char('|'))) {
                    const QString value = step.section(QLatin1Char('='), 1);
                    if (step == QLatin1String("ok") || step == QLatin1String("cancel")) {
                        (step == QLatin1String("ok") ? d.okButton() : d.cancelButton())->click();
                    } else if (step.startsWith(QLatin1String("type="))) {
                        d.portList()->setEditText(value);
                    } else {
                        choose(lists[step.section(QLatin1Char('='), 0, 0).toInt()], value);
                    }
                }
            });
            QCOMPARE(describe(port), QLatin1String(after));
        }
        QApplication::setFont(usual);
    }

    // The system's devices are offered sorted without regard to case,
    // without pseudo-terminals; stable names (links, as under
    // /dev/serial/by-id) after them with the device they name beside them;
    // choosing one keeps the stable name.
    void portNames() {
        QCOMPARE(cleanPortList({"ttyUSB0", "COM2", "com10", "pts/3", "/dev/pts/4",
                                "/dev/serial/by-id/usb-FTDI", "ttyS0", "COM2"}),
                 (QStringList{"com10", "COM2", "ttyS0", "ttyUSB0"}));
        const QString byId = tmp.path() + QStringLiteral("/by-id");
        QVERIFY(QDir().mkpath(byId));
        const QString name = byId + QStringLiteral("/usb-Maker_Model_A1-if00-port0");
        QVERIFY(QFile::link(QStringLiteral("../ttyUSB3"), name));
        QCOMPARE(stableSerialNames(byId), QStringList{name});
        QCOMPARE(stableSerialNames(tmp.path() + QStringLiteral("/none")), QStringList());
        TSerialPort port;
        mainWindowValues(port);
        operate(port, QStringList{"ttyUSB0"} + stableSerialNames(byId), [&](TPortSetupDialog& d) {
            QCOMPARE(d.portList()->itemText(d.portList()->count() - 1),
                     name + QStringLiteral("  (ttyUSB3)"));
            choose(d.portList(), name + QStringLiteral("  (ttyUSB3)"));
            d.okButton()->click();
        });
        QCOMPARE(port.Port(), name);
        operate(port, {}, [&](TPortSetupDialog& d) {
            QCOMPARE(d.portList()->currentText(), name + QStringLiteral("  (ttyUSB3)"));
            d.okButton()->click();
        });
        QCOMPARE(port.Port(), name);
    }
};

IM_TEST_MAIN(TestPortSettings)
#include "tst_portsettings.moc"
