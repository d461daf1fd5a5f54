#include "app/WebDialog.h"

#include "app/Dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <qrencode.h>

#include <memory>

namespace im::app {

QImage qrCode(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code) {
        return {};
    }
    constexpr int kMargin = 4;
    const int size = code->width + 2 * kMargin;
    QImage image(size, size, QImage::Format_Mono);
    image.fill(0);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1) {
                image.setPixel(x + kMargin, y + kMargin, 1);
            }
        }
    }
    return image;
}

WebDialog::WebDialog(const remote::WebSettings& initial, Dialogs& dialogs,
                     std::function<void(const remote::WebSettings&)> accept, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), accept_(std::move(accept)), token_(initial.token) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("WebDialog", "Веб-страница"));
    auto* form = new QFormLayout;
    enabledBox = new QCheckBox(
        QCoreApplication::translate("WebDialog", "Показывать инкубатор на веб-странице"), this);
    enabledBox->setChecked(initial.enabled);
    form->addRow(enabledBox);
    listenEdit = new QLineEdit(initial.listen, this);
    listenEdit->setToolTip(QCoreApplication::translate(
        "WebDialog", "127.0.0.1: только этот компьютер; 0.0.0.0: все сети компьютера"));
    form->addRow(QCoreApplication::translate("WebDialog", "Адрес:"), listenEdit);
    form->addRow(
        new QLabel(QCoreApplication::translate(
                       "WebDialog", "127.0.0.1 — только этот компьютер, 0.0.0.0 — вся сеть фермы"),
                   this));
    portBox = new QSpinBox(this);
    portBox->setRange(1, 65535);
    portBox->setValue(initial.port >= 1 && initial.port <= 65535 ? initial.port : 8787);
    form->addRow(QCoreApplication::translate("WebDialog", "Порт:"), portBox);

    addressLabel = new QLabel(this);
    addressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addressLabel->setWordWrap(true);
    codeLabel = new QLabel(this);
    codeLabel->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QCoreApplication::translate("WebDialog", "Отмена"));
    newKeyButton = buttons->addButton(QCoreApplication::translate("WebDialog", "Новый ключ"),
                                      QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(addressLabel);
    layout->addWidget(codeLabel);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(newKeyButton, &QPushButton::clicked, this, [this] {
        token_ = remote::WebSettings::newToken();
        refresh();
    });
    connect(enabledBox, &QCheckBox::toggled, this, &WebDialog::refresh);
    connect(listenEdit, &QLineEdit::textChanged, this, &WebDialog::refresh);
    connect(portBox, &QSpinBox::valueChanged, this, &WebDialog::refresh);
    refresh();
    resize(sizeHint());
}

remote::WebSettings WebDialog::settings() const {
    remote::WebSettings s;
    s.enabled = enabledBox->isChecked();
    s.listen = listenEdit->text().trimmed();
    s.port = portBox->value();
    s.token = token_;
    return s;
}

// The key is made when the page is first switched on, so that the address
// and its code can be shown at once.
void WebDialog::refresh() {
    if (enabledBox->isChecked() && token_.isEmpty()) {
        token_ = remote::WebSettings::newToken();
    }
    const remote::WebSettings s = settings();
    const QString problem = s.problem();
    if (!s.enabled || !problem.isEmpty()) {
        addressLabel->setText(s.enabled ? problem : QString());
        codeLabel->clear();
        return;
    }
    const QString address = s.address();
    addressLabel->setText(address);
    const QImage code = qrCode(address);
    codeLabel->setPixmap(QPixmap::fromImage(code.scaled(code.size() * 5)));
}

void WebDialog::done(int result) {
    if (result == QDialog::Accepted) {
        const remote::WebSettings s = settings();
        const QString problem = s.enabled ? s.problem() : QString();
        if (!problem.isEmpty()) {
            dialogs_.message(this, windowTitle(), problem, QMessageBox::Warning);
            return;
        }
        accept_(s);
    }
    QDialog::done(result);
}

}  // namespace im::app
