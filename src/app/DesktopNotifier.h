#pragma once

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QString>

#include <optional>

namespace im::app {

// One warning for the desktop's notification service.
struct Notice {
    QString title;
    QString text;
    // An alarm: critical, it stays until the operator has read it.
    bool urgent = false;
    int timeoutMs = 10000;
    bool operator==(const Notice&) const = default;
};

// The desktop's notifications as the tray uses them: the program has at
// most one on screen, each new notice replaces it, and a click on it is
// reported. Tests put in a fake.
class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // A notification service is there (running, or started on first use).
    virtual bool available() const = 0;
    // Shows the notice in place of the program's one on screen.
    virtual void show(const Notice& notice) = 0;
    // Takes the program's notice off the screen.
    virtual void withdraw() = 0;

Q_SIGNALS:
    // The operator clicked the notice (its default action).
    void clicked();
};

// org.freedesktop.Notifications on the session bus. Every call is
// asynchronous; a notice asked for while the service has not yet answered
// the last one waits for that answer, so that it replaces it by its id.
class DBusNotifier final : public Notifier {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";

    DBusNotifier(QDBusConnection bus, QString appName, QIcon icon, QObject* parent = nullptr);

    bool available() const override { return available_; }
    void show(const Notice& notice) override;
    void withdraw() override;

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    void send(const Notice& notice);
    void close();
    void checkService();

    QDBusConnection bus_;
    QString appName_;
    QVariant image_;
    bool available_ = false;
    uint id_ = 0;
    bool waiting_ = false;
    // What to do once the service has answered: show this, or close.
    std::optional<Notice> next_;
    bool closeNext_ = false;
};

}  // namespace im::app
