#include "link/PortLister.h"

#include <QDir>
#include <QSerialPortInfo>

#include <algorithm>

namespace im::link {

QStringList cleanPortList(QStringList names) {
    names.removeIf([](const QString& name) {
        return name.isEmpty() || name.startsWith(QLatin1String("pts/")) ||
               name.startsWith(QLatin1String("/dev/pts/")) ||
               name.startsWith(QLatin1String("/dev/serial/")) ||
               name.startsWith(QLatin1String("serial/"));
    });
    names.removeDuplicates();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QStringList presentSerialPorts() {
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (info.systemLocation().startsWith(QLatin1String("/dev/pts/"))) {
            continue;
        }
        names << info.portName();
    }
    return cleanPortList(names) + stableSerialNames();
}

QStringList stableSerialNames(const QString& dir) {
    QStringList paths;
    const QDir folder(dir);
    for (const QString& name : folder.entryList(QDir::System | QDir::Files, QDir::Name)) {
        paths << folder.filePath(name);
    }
    return paths;
}

}  // namespace im::link
