#pragma once

#include "remote/WebSettings.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace im::app {

class Dialogs;

// The QR code of a text, a module a pixel, with the quiet margin around it
// that readers need; a null image when the text does not fit one.
QImage qrCode(const QString& text);

// "Веб-страница…": the [Web] settings, and the address to open on a phone,
// as text and as a QR code to scan. The key is made when the page is first
// switched on; "Новый ключ" replaces it (pages opened with the old one are
// then refused).
class WebDialog : public QDialog {
    Q_OBJECT
public:
    WebDialog(const remote::WebSettings& initial, Dialogs& dialogs,
              std::function<void(const remote::WebSettings&)> accept, QWidget* parent);

    remote::WebSettings settings() const;

    QCheckBox* enabledBox;
    QLineEdit* listenEdit;
    QSpinBox* portBox;
    QPushButton* newKeyButton;
    QLabel* addressLabel;
    QLabel* codeLabel;

private:
    void done(int result) override;
    void refresh();

    Dialogs& dialogs_;
    std::function<void(const remote::WebSettings&)> accept_;
    QString token_;
};

}  // namespace im::app
