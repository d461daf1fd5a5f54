#include "app/GuardedApplication.h"

#include <QMessageBox>

namespace im::app {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = core::currentExceptionText();
        core::defaultErrorReporter().showError(text);
        return false;
    }
}

void MessageBoxErrorReporter::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace im::app
