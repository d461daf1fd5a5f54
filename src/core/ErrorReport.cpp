#include "core/ErrorReport.h"

#include <cstdio>

#include <QCoreApplication>

namespace im::core {

Error::Error(const QString& message) : std::runtime_error(message.toUtf8().toStdString()) {}

QString Error::message() const {
    return QString::fromUtf8(what());
}

void StderrErrorReporter::showError(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    std::fflush(stderr);
}

namespace {
StderrErrorReporter stderrReporter;
ErrorReporter* current = &stderrReporter;
}  // namespace

ErrorReporter& defaultErrorReporter() {
    return *current;
}

ErrorReporter* setDefaultErrorReporter(ErrorReporter* reporter) {
    ErrorReporter* previous = current;
    current = reporter ? reporter : &stderrReporter;
    return previous;
}

QString currentExceptionText() {
    try {
        throw;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QCoreApplication::translate("ErrorReport", "Unknown error");
    }
}

bool runGuarded(const std::function<void()>& handler, ErrorReporter& reporter) {
    try {
        handler();
        return true;
    } catch (...) {
        const QString text = currentExceptionText();
        try {
            reporter.showError(text);
        } catch (...) {
            // A reporter that fails must not let the exception escape either.
        }
        return false;
    }
}

bool runGuarded(const std::function<void()>& handler) {
    return runGuarded(handler, defaultErrorReporter());
}

}  // namespace im::core
