#pragma once

#include "core/ErrorReport.h"

#include <QObject>

class QEvent;

namespace im::core {

// The last guard of an event loop: an exception that a handler let through
// reaches the default error reporter and ends that event; it never unwinds
// through the toolkit's own frames. Application is QCoreApplication for the
// tools and QApplication for the monitor.
template <class Application>
class Guarded : public Application {
public:
    using Application::Application;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return Application::notify(receiver, event);
        } catch (...) {
            const QString text = currentExceptionText();
            try {
                defaultErrorReporter().showError(text);
            } catch (...) {
                // A reporter that fails must not let the exception escape either.
            }
            return false;
        }
    }
};

}  // namespace im::core
