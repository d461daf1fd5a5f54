#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>

namespace im::core {

// An error whose text is meant for the operator. what() holds UTF-8.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message);
    QString message() const;
};

// Receives the errors that no handler catches: the program shows them in a
// message box, the tools print them, tests record them.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(const QString& message) = 0;
};

// Prints to standard error; the reporter in force until the program installs
// its message box.
class StderrErrorReporter final : public ErrorReporter {
public:
    void showError(const QString& message) override;
};

// The reporter that guarded handlers use when they are given none.
ErrorReporter& defaultErrorReporter();
// Replaces the default reporter; returns the previous one. The reporter must
// outlive its use; nullptr restores the standard-error reporter.
ErrorReporter* setDefaultErrorReporter(ErrorReporter* reporter);

// The text of the exception currently being handled.
QString currentExceptionText();

// Runs a handler so that no exception leaves it: an error ends the handler
// and reaches the reporter. Returns false when the handler failed.
bool runGuarded(const std::function<void()>& handler, ErrorReporter& reporter);
bool runGuarded(const std::function<void()>& handler);

}  // namespace im::core
