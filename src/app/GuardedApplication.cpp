#include "app/GuardedApplication.h"

#include <QMessageBox>

namespace im::app {

void MessageBoxErrorReporter::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, title_, message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace im::app
