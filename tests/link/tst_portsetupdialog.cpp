#include "link/PortLister.h"
#include "link/TPortSetupDialog.h"
#include "link/TSerialPort.h"
#include "support/Pty.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace im;
using namespace im::link;

namespace {

PortLister fixedList(QStringList names) {
    return [names] { return names; };
}

// Runs the modal dialog the way the operator would: once it is on screen,
// `act` changes the lists and presses a button.
void operate(TSerialPort& port, const PortLister& lister,
             const std::function<void(TPortSetupDialog&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TPortSetupDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        acted = true;
        act(*dialog);
    });
    ShowPortDialog(port, nullptr, lister);
    QVERIFY(acted);
}

void choose(QComboBox* list, const QString& text) {
    const int i = list->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    list->setCurrentIndex(i);
}

}  // namespace

class TestPortSetupDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void presentDevicesAreSortedWithoutCaseAndWithoutPseudoTerminals() {
        QCOMPARE(cleanPortList({"ttyUSB0", "COM2", "com10", "pts/3", "/dev/pts/4",
                                "/dev/serial/by-id/usb-FTDI", "ttyS0", "COM2"}),
                 (QStringList{"com10", "COM2", "ttyS0", "ttyUSB0"}));
        for (const QString& name : presentSerialPorts()) {
            QVERIFY2(!name.startsWith(QLatin1String("pts")), qPrintable(name));
        }
    }

    void listsShowThePortsValues() {
        TSerialPort port;
        port.setPort(QStringLiteral("ttyUSB0"));
        port.setBaudRate(BaudRate::br4800);
        port.setStopBits(StopBits::sb2);
        TPortSetupDialog dialog(port, fixedList({"ttyS0", "ttyUSB0"}));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setup"));
        QCOMPARE(dialog.size(), QSize(231, 216));
        QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QStringLiteral(" Settings "));
        QCOMPARE(dialog.portList()->currentText(), QStringLiteral("ttyUSB0"));
        QCOMPARE(dialog.portList()->count(), 2);
        QCOMPARE(dialog.baudRateList()->count(), 16);
        QCOMPARE(dialog.baudRateList()->itemText(0), QStringLiteral("Custom"));
        QCOMPARE(dialog.baudRateList()->currentText(), QStringLiteral("4800"));
        QCOMPARE(dialog.dataBitsList()->currentText(), QStringLiteral("8"));
        QCOMPARE(dialog.stopBitsList()->currentText(), QStringLiteral("2"));
        QCOMPARE(dialog.parityList()->currentText(), QStringLiteral("None"));
        QCOMPARE(dialog.flowControlList()->currentText(), QStringLiteral("None"));
        QCOMPARE(dialog.flowControlList()->itemText(0), QStringLiteral("Hardware"));
        QVERIFY(dialog.okButton()->isDefault());
    }

    // A port that the system does not list (the simulator's pseudo-terminal,
    // an unplugged adapter) is kept when only the speed changes.
    void unlistedPortIsShownSelectedAndKept() {
        TSerialPort port;
        port.setPort(QStringLiteral("/dev/pts/9"));
        operate(port, fixedList({"ttyS0"}), [](TPortSetupDialog& d) {
            QCOMPARE(d.portList()->currentText(), QStringLiteral("/dev/pts/9"));
            choose(d.baudRateList(), QStringLiteral("9600"));
            d.okButton()->click();
        });
        QCOMPARE(port.Port(), QStringLiteral("/dev/pts/9"));
        QCOMPARE(port.baudRate(), BaudRate::br9600);
    }

    void okAppliesAllSixChoices() {
        TSerialPort port;
        operate(port, fixedList({"COM1", "ttyUSB0"}), [](TPortSetupDialog& d) {
            choose(d.portList(), QStringLiteral("ttyUSB0"));
            choose(d.baudRateList(), QStringLiteral("57600"));
            choose(d.dataBitsList(), QStringLiteral("7"));
            choose(d.stopBitsList(), QStringLiteral("1.5"));
            choose(d.parityList(), QStringLiteral("Mark"));
            choose(d.flowControlList(), QStringLiteral("Software"));
            d.okButton()->click();
        });
        QCOMPARE(port.Port(), QStringLiteral("ttyUSB0"));
        QCOMPARE(port.effectiveBitsPerSecond(), 57600);
        QCOMPARE(port.dataBits(), DataBits::db7);
        QCOMPARE(port.stopBits(), StopBits::sb1_5);
        QCOMPARE(port.parity().Bits, ParityBits::Mark);
        QCOMPARE(port.flowControl().kind(), FlowControlKind::Software);
    }

    void cancelChangesNothing() {
        TSerialPort port;
        operate(port, fixedList({"COM1", "ttyUSB0"}), [](TPortSetupDialog& d) {
            choose(d.portList(), QStringLiteral("ttyUSB0"));
            choose(d.baudRateList(), QStringLiteral("110"));
            choose(d.flowControlList(), QStringLiteral("Hardware"));
            d.cancelButton()->click();
        });
        QCOMPARE(port.Port(), QStringLiteral("COM1"));
        QCOMPARE(port.baudRate(), BaudRate::br9600);
        QCOMPARE(port.flowControl().kind(), FlowControlKind::None);
    }

    void aTypedPathIsTaken() {
        TSerialPort port;
        operate(port, fixedList({"COM1"}), [](TPortSetupDialog& d) {
            d.portList()->setEditText(QStringLiteral("  /dev/ttyACM0 "));
            d.okButton()->click();
        });
        QCOMPARE(port.Port(), QStringLiteral("/dev/ttyACM0"));
    }

    void newPortReopensAnOpenPortAtOnce() {
        test::Pty first;
        test::Pty second;
        TSerialPort port;
        port.setPort(first.slavePath());
        port.OpenPort();
        operate(port, fixedList({}), [&](TPortSetupDialog& d) {
            d.portList()->setEditText(second.slavePath());
            d.okButton()->click();
        });
        QVERIFY(port.Connected());
        QCOMPARE(port.Port(), second.slavePath());
        TSerialPort other;
        other.setPort(first.slavePath());
        other.OpenPort();
        QVERIFY(other.Connected());
    }

    void emptyNameMakesTheNextOpenFail() {
        TSerialPort port;
        port.setPort(QString());
        operate(port, fixedList({"ttyS0"}), [](TPortSetupDialog& d) {
            QCOMPARE(d.portList()->currentText(), QString());
            d.okButton()->click();
        });
        QCOMPARE(port.Port(), QString());
        try {
            port.OpenPort();
            QFAIL("opened a port without a name");
        } catch (const ESerialPortError& e) {
            QCOMPARE(e.code(), 1);
        }
    }
};

IM_TEST_MAIN(TestPortSetupDialog)
#include "tst_portsetupdialog.moc"
