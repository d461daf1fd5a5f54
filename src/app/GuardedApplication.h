#pragma once

#include "core/ErrorReport.h"
#include "core/GuardedApplication.h"

#include <QApplication>

namespace im::app {

// The monitor's application object: no exception reaches its event loop.
using GuardedApplication = core::Guarded<QApplication>;

// The toolkit's default error report: a message box with the error's text.
class MessageBoxErrorReporter final : public core::ErrorReporter {
public:
    explicit MessageBoxErrorReporter(QString title) : title_(std::move(title)) {}
    void showError(const QString& message) override;

private:
    QString title_;
};

}  // namespace im::app
