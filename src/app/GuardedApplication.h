#pragma once

#include "core/ErrorReport.h"

#include <QApplication>

namespace im::app {

// The last guard: an exception that a handler let through is shown in a
// message box and ends that event; it never reaches the event loop.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

// The toolkit's default error report: a message box with the error's text.
class MessageBoxErrorReporter final : public core::ErrorReporter {
public:
    void showError(const QString& message) override;
};

}  // namespace im::app
