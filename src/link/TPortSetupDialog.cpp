#include "link/TPortSetupDialog.h"

#include "link/TSerialPort.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace im::link {

namespace {

QComboBox* makeList(QWidget* parent, int top, const QStringList& items, const QString& current) {
    auto* list = new QComboBox(parent);
    list->setGeometry(80, top, 129, 21);
    list->addItems(items);
    list->setCurrentIndex(static_cast<int>(items.indexOf(current)));
    return list;
}

}  // namespace

TPortSetupDialog::TPortSetupDialog(TSerialPort& port, const PortLister& lister, QWidget* parent)
    : QDialog(parent), serialPort_(port) {
    setWindowTitle(QCoreApplication::translate("TPortSetupDialog", "Setup"));
    setFixedSize(231, 216);

    auto* group =
        new QGroupBox(QCoreApplication::translate("TPortSetupDialog", " Settings "), this);
    group->setGeometry(8, 8, 217, 169);
    const char* labels[] = {QT_TRANSLATE_NOOP("TPortSetupDialog", "Port"),
                            QT_TRANSLATE_NOOP("TPortSetupDialog", "Baud rate"),
                            QT_TRANSLATE_NOOP("TPortSetupDialog", "Data bits"),
                            QT_TRANSLATE_NOOP("TPortSetupDialog", "Stop bits"),
                            QT_TRANSLATE_NOOP("TPortSetupDialog", "Parity"),
                            QT_TRANSLATE_NOOP("TPortSetupDialog", "Flow control")};
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(QCoreApplication::translate("TPortSetupDialog", labels[i]), group);
        label->setGeometry(8, 24 * (i + 1), 70, 17);
    }

    // The port list shows the devices present; a configured name that is
    // not among them (a pseudo-terminal, an adapter now unplugged) is shown
    // all the same, so that OK keeps it. A path may also be typed.
    QStringList ports = lister ? lister() : QStringList();
    if (!port.Port().isEmpty() && !ports.contains(port.Port())) {
        ports.prepend(port.Port());
    }
    port_ = makeList(group, 16, ports, port.Port());
    // A link (a stable name) shows the device it names now beside it.
    for (int i = 0; i < port_->count(); ++i) {
        const QFileInfo name(ports[i]);
        if (name.isSymLink()) {
            port_->setItemData(i, ports[i]);
            port_->setItemText(i, ports[i] + QStringLiteral("  (%1)").arg(
                                                 QFileInfo(name.symLinkTarget()).fileName()));
        }
    }
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    if (port.Port().isEmpty()) {
        port_->setCurrentIndex(-1);
        port_->setEditText(QString());
    }
    baud_ = makeList(group, 40, baudRateTexts(), textOf(baudRateTexts(), port.baudRate()));
    dataBits_ = makeList(group, 64, dataBitsTexts(), textOf(dataBitsTexts(), port.dataBits()));
    stopBits_ = makeList(group, 88, stopBitsTexts(), textOf(stopBitsTexts(), port.stopBits()));
    parity_ = makeList(group, 112, parityTexts(), textOf(parityTexts(), port.parity().Bits));
    flow_ = makeList(group, 136, flowControlTexts(),
                     textOf(flowControlTexts(), port.flowControl().kind()));

    ok_ = new QPushButton(QCoreApplication::translate("TPortSetupDialog", "OK"), this);
    ok_->setGeometry(70, 184, 75, 25);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QCoreApplication::translate("TPortSetupDialog", "Cancel"), this);
    cancel_->setGeometry(150, 184, 75, 25);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TPortSetupDialog::applyToPort() {
    TSerialPort& port = serialPort_;
    port.BeginSettingsUpdate();
    struct EndBracket {
        TSerialPort& port;
        bool ended = false;
        ~EndBracket() {
            if (!ended) {
                port.EndSettingsUpdate();
            }
        }
    } bracket{port};
    // A listed stable name stands for its path, without the device beside it.
    const int listed = port_->findText(port_->currentText());
    port.setPort(listed >= 0 && port_->itemData(listed).isValid()
                     ? port_->itemData(listed).toString()
                     : port_->currentText().trimmed());
    if (auto rate = enumOf<BaudRate>(baudRateTexts(), baud_->currentText())) {
        port.setBaudRate(*rate);
    }
    if (auto bits = enumOf<DataBits>(dataBitsTexts(), dataBits_->currentText())) {
        port.setDataBits(*bits);
    }
    if (auto bits = enumOf<StopBits>(stopBitsTexts(), stopBits_->currentText())) {
        port.setStopBits(*bits);
    }
    if (auto bits = enumOf<ParityBits>(parityTexts(), parity_->currentText())) {
        Parity parity = port.parity();
        parity.Bits = *bits;
        port.setParity(parity);
    }
    if (auto kind = enumOf<FlowControlKind>(flowControlTexts(), flow_->currentText())) {
        FlowControl flow = port.flowControl();
        flow.setKind(*kind);
        port.setFlowControl(flow);
    }
    // Ended here rather than by the guard so that an error of reopening the
    // port reaches the caller.
    bracket.ended = true;
    port.EndSettingsUpdate();
}

void ShowPortDialog(TSerialPort& port, QWidget* parent, const PortLister& lister) {
    TPortSetupDialog dialog(port, lister, parent);
    if (dialog.exec() == QDialog::Accepted) {
        dialog.applyToPort();
    }
}

}  // namespace im::link
