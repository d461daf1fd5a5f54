#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace im::test {

// A session bus of the test's own (dbus-daemon, from scripts/setup), that
// starts no service by itself: the test's fakes take the real services'
// names, and a name nobody took is not there.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) {
            qFatal("no folder for the bus");
        }
        file.write(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
            "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>unix:dir=" +
            QFile::encodeName(dir_.path()) +
            "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
            "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
            "<allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {"--config-file=" + config, "--nofork", "--nopidfile", "--print-address=1"});
        if (!daemon_.waitForReadyRead(5000)) {
            qFatal("dbus-daemon did not start (scripts/setup installs dbus-daemon)");
        }
        address = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : std::as_const(names_)) {
            QDBusConnection::disconnectFromBus(name);
        }
        daemon_.kill();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // A connection of its own (a process of its own, to the bus).
    QDBusConnection connection(const QString& name) {
        if (!names_.contains(name)) {
            names_ << name;
        }
        return QDBusConnection::connectToBus(address, name);
    }
    // The object's slots and properties at the path, and the service's
    // name, on a connection.
    static bool offer(QDBusConnection bus, const QString& service, const QString& path,
                      QObject* object) {
        return bus.registerObject(
                   path, object,
                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
               bus.registerService(service);
    }

    QString address;

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QStringList names_;
};

}  // namespace im::test
