#include "link/TPortSetupDialog.h"

#include "link/TSerialPort.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace im::link {

namespace {

QComboBox* makeList(QWidget* parent, const QStringList& items, const QString& current) {
    auto* list = new QComboBox(parent);
    list->setMinimumWidth(129);
    list->addItems(items);
    list->setCurrentIndex(static_cast<int>(items.indexOf(current)));
    return list;
}

// The design's size; longer captions (the Russian ones, a larger desktop
// font) widen it rather than being cut.
constexpr QSize kDesignSize(231, 216);

}  // namespace

TPortSetupDialog::TPortSetupDialog(TSerialPort& port, const PortLister& lister, QWidget* parent)
    : QDialog(parent), serialPort_(port) {
    setWindowTitle(QCoreApplication::translate("TPortSetupDialog", "Setup"));

    auto* group =
        new QGroupBox(QCoreApplication::translate("TPortSetupDialog", " Settings "), this);
    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    // The port list shows the devices present; a configured name that is
    // not among them (a pseudo-terminal, an adapter now unplugged) is shown
    // all the same, so that OK keeps it. A path may also be typed.
    QStringList ports = lister ? lister() : QStringList();
    if (!port.Port().isEmpty() && !ports.contains(port.Port())) {
        ports.prepend(port.Port());
    }
    port_ = makeList(group, ports, port.Port());
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
    baud_ = makeList(group, baudRateTexts(), textOf(baudRateTexts(), port.baudRate()));
    dataBits_ = makeList(group, dataBitsTexts(), textOf(dataBitsTexts(), port.dataBits()));
    stopBits_ = makeList(group, stopBitsTexts(), textOf(stopBitsTexts(), port.stopBits()));
    parity_ = makeList(group, parityTexts(), textOf(parityTexts(), port.parity().Bits));
    flow_ =
        makeList(group, flowControlTexts(), textOf(flowControlTexts(), port.flowControl().kind()));
    const std::pair<const char*, QComboBox*> rows[] = {
        {QT_TRANSLATE_NOOP("TPortSetupDialog", "Port"), port_},
        {QT_TRANSLATE_NOOP("TPortSetupDialog", "Baud rate"), baud_},
        {QT_TRANSLATE_NOOP("TPortSetupDialog", "Data bits"), dataBits_},
        {QT_TRANSLATE_NOOP("TPortSetupDialog", "Stop bits"), stopBits_},
        {QT_TRANSLATE_NOOP("TPortSetupDialog", "Parity"), parity_},
        {QT_TRANSLATE_NOOP("TPortSetupDialog", "Flow control"), flow_}};
    for (const auto& [caption, list] : rows) {
        form->addRow(QCoreApplication::translate("TPortSetupDialog", caption), list);
    }

    ok_ = new QPushButton(QCoreApplication::translate("TPortSetupDialog", "OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QCoreApplication::translate("TPortSetupDialog", "Cancel"), this);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(kDesignSize));

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
