#pragma once

#include "remote/MqttLink.h"
#include "remote/MqttSettings.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace im::app {

class Dialogs;

// "MQTT…": the [Mqtt] settings, with "Проверить", which tries a real
// connection with what the form holds and shows how it went, the window
// staying responsive meanwhile. OK hands sound settings to `accept` (which
// stores and applies them) and closes; unsound ones are explained and the
// dialog stays.
class MqttDialog : public QDialog {
    Q_OBJECT
public:
    MqttDialog(const remote::MqttSettings& initial, Dialogs& dialogs,
               std::function<void(const remote::MqttSettings&)> accept, QWidget* parent);
    ~MqttDialog() override;

    remote::MqttSettings settings() const;
    void check();
    QString checkResult() const;

    // The widgets, for tests.
    QCheckBox* enabledBox;
    QLineEdit* hostEdit;
    QSpinBox* portBox;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QCheckBox* tlsBox;
    QLineEdit* caFileEdit;
    QLineEdit* nameEdit;
    QLineEdit* topicEdit;
    QCheckBox* discoveryBox;
    QLineEdit* prefixEdit;
    QPushButton* checkButton;

private:
    void done(int result) override;
    void showResult(const QString& text);

    Dialogs& dialogs_;
    std::function<void(const remote::MqttSettings&)> accept_;
    QLabel* result_;
    std::unique_ptr<remote::MqttLink> probe_;
    quint64 probes_ = 0;
};

}  // namespace im::app
