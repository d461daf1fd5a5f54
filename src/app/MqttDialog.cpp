#include "app/MqttDialog.h"

#include "app/Dialogs.h"
#include "remote/MqttPublisher.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace im::app {

MqttDialog::MqttDialog(const remote::MqttSettings& initial, Dialogs& dialogs,
                       std::function<void(const remote::MqttSettings&)> accept, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), accept_(std::move(accept)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("MqttDialog", "MQTT"));
    auto* form = new QFormLayout;
    enabledBox = new QCheckBox(
        QCoreApplication::translate("MqttDialog", "Публиковать на брокере MQTT"), this);
    form->addRow(enabledBox);
    hostEdit = new QLineEdit(initial.host, this);
    form->addRow(QCoreApplication::translate("MqttDialog", "Брокер:"), hostEdit);
    portBox = new QSpinBox(this);
    portBox->setRange(1, 65535);
    portBox->setValue(initial.port >= 1 && initial.port <= 65535 ? initial.port : 1883);
    form->addRow(QCoreApplication::translate("MqttDialog", "Порт:"), portBox);
    userEdit = new QLineEdit(initial.user, this);
    form->addRow(QCoreApplication::translate("MqttDialog", "Пользователь:"), userEdit);
    passwordEdit = new QLineEdit(initial.password, this);
    passwordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(QCoreApplication::translate("MqttDialog", "Пароль:"), passwordEdit);
    tlsBox = new QCheckBox(
        QCoreApplication::translate("MqttDialog", "TLS, с проверкой сертификата брокера"), this);
    form->addRow(tlsBox);
    caFileEdit = new QLineEdit(initial.caFile, this);
    caFileEdit->setPlaceholderText(
        QCoreApplication::translate("MqttDialog", "сертификаты системы"));
    auto* browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    auto* caRow = new QHBoxLayout;
    caRow->addWidget(caFileEdit);
    caRow->addWidget(browse);
    form->addRow(QCoreApplication::translate("MqttDialog", "Центр сертификации:"), caRow);
    nameEdit = new QLineEdit(initial.name, this);
    nameEdit->setPlaceholderText(initial.deviceName());
    form->addRow(QCoreApplication::translate("MqttDialog", "Имя инкубатора:"), nameEdit);
    topicEdit = new QLineEdit(initial.topic, this);
    topicEdit->setPlaceholderText(QCoreApplication::translate("MqttDialog", "incubator/<имя>"));
    form->addRow(QCoreApplication::translate("MqttDialog", "Тема:"), topicEdit);
    discoveryBox = new QCheckBox(
        QCoreApplication::translate("MqttDialog", "Обнаружение Home Assistant"), this);
    form->addRow(discoveryBox);
    prefixEdit = new QLineEdit(initial.discoveryPrefix, this);
    form->addRow(QCoreApplication::translate("MqttDialog", "Префикс обнаружения:"), prefixEdit);
    enabledBox->setChecked(initial.enabled);
    tlsBox->setChecked(initial.tls);
    discoveryBox->setChecked(initial.discovery);

    result_ = new QLabel(this);
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QCoreApplication::translate("MqttDialog", "Отмена"));
    checkButton = buttons->addButton(QCoreApplication::translate("MqttDialog", "Проверить"),
                                     QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addWidget(buttons);
    setMinimumWidth(440);
    resize(sizeHint());  // its full size before it is placed over the window

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(checkButton, &QPushButton::clicked, this, &MqttDialog::check);
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString path =
            dialogs_.openFileName(this,
                                  QCoreApplication::translate("MqttDialog", "Сертификаты") +
                                      QStringLiteral("|*.crt *.pem"),
                                  caFileEdit->text());
        if (!path.isEmpty()) {
            caFileEdit->setText(path);
        }
    });
}

MqttDialog::~MqttDialog() = default;

remote::MqttSettings MqttDialog::settings() const {
    remote::MqttSettings s;
    s.enabled = enabledBox->isChecked();
    s.host = hostEdit->text().trimmed();
    s.port = portBox->value();
    s.user = userEdit->text();
    s.password = passwordEdit->text();
    s.tls = tlsBox->isChecked();
    s.caFile = caFileEdit->text().trimmed();
    s.name = nameEdit->text().trimmed();
    s.topic = topicEdit->text().trimmed();
    s.discovery = discoveryBox->isChecked();
    s.discoveryPrefix = prefixEdit->text().trimmed();
    return s;
}

QString MqttDialog::checkResult() const {
    return result_->text();
}

void MqttDialog::showResult(const QString& text) {
    result_->setText(text);
}

void MqttDialog::check() {
    const remote::MqttSettings s = settings();
    const QString problem = s.problem();
    if (!problem.isEmpty()) {
        showResult(problem);
        return;
    }
    showResult(QCoreApplication::translate("MqttDialog", "Проверка соединения с %1:%2…")
                   .arg(s.host)
                   .arg(s.port));
    // Only the newest check may speak; an older one still waiting for its
    // broker is dropped unheard.
    const quint64 probe = ++probes_;
    // A client of its own, so that the check does not throw the program's
    // publishing connection off the broker.
    remote::MqttEndpoint endpoint = remote::MqttPublisher::endpointFor(s);
    endpoint.clientId += "-check";
    probe_ = std::make_unique<remote::MqttLink>(
        endpoint,
        [this, probe, s](const remote::LinkReport& report) {
            const QString text = remote::MqttPublisher::describe(s, report);
            QMetaObject::invokeMethod(
                this,
                [this, probe, text] {
                    if (probe == probes_) {
                        showResult(text);
                    }
                },
                Qt::QueuedConnection);
        },
        true);
}

void MqttDialog::done(int result) {
    if (result == QDialog::Accepted) {
        const remote::MqttSettings s = settings();
        const QString problem = s.enabled ? s.problem() : QString();
        if (!problem.isEmpty()) {
            dialogs_.message(this, windowTitle(), problem, QMessageBox::Warning);
            return;
        }
        accept_(s);
    }
    probe_.reset();
    QDialog::done(result);
}

}  // namespace im::app
