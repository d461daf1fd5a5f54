#include "remote/MqttSettings.h"

#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>

namespace im::remote {

namespace keys = settings::keys;

MqttSettings MqttSettings::read(const settings::SettingsFile& file) {
    MqttSettings s;
    s.enabled = file.read(keys::MqttEnabled);
    s.host = file.read(keys::MqttHost).trimmed();
    // A port that is no number reads as 0 and is refused, rather than
    // quietly becoming the default.
    s.port = settings::SettingsFile::parseInteger(
                 file.ReadString(QLatin1String(keys::MqttPort.section),
                                 QLatin1String(keys::MqttPort.name),
                                 QString::number(keys::MqttPort.defaultValue)))
                 .value_or(0);
    s.user = file.read(keys::MqttUser);
    s.password = file.read(keys::MqttPassword);
    s.tls = file.read(keys::MqttTls);
    s.caFile = file.read(keys::MqttCaFile).trimmed();
    s.name = file.read(keys::MqttName).trimmed();
    s.topic = file.read(keys::MqttTopic).trimmed();
    s.discovery = file.read(keys::MqttDiscovery);
    s.discoveryPrefix = file.read(keys::MqttDiscoveryPrefix).trimmed();
    return s;
}

void MqttSettings::write(settings::SettingsFile& file) const {
    file.beginBatch();
    file.write(keys::MqttEnabled, enabled);
    file.write(keys::MqttHost, host);
    file.write(keys::MqttPort, port);
    file.write(keys::MqttUser, user);
    file.write(keys::MqttPassword, password);
    file.write(keys::MqttTls, tls);
    file.write(keys::MqttCaFile, caFile);
    file.write(keys::MqttName, name);
    file.write(keys::MqttTopic, topic);
    file.write(keys::MqttDiscovery, discovery);
    file.write(keys::MqttDiscoveryPrefix, discoveryPrefix);
    file.commit();
}

QString MqttSettings::deviceName() const {
    if (!name.isEmpty()) {
        return name;
    }
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("incubator") : host;
}

QString MqttSettings::baseTopic() const {
    return topic.isEmpty() ? QStringLiteral("incubator/") + deviceName() : topic;
}

QString MqttSettings::nodeId() const {
    QString id;
    for (const QChar c : deviceName()) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('-');
        id += plain ? c : QLatin1Char('_');
    }
    return QStringLiteral("incubator_") + id;
}

// Wildcards and NUL have a meaning of their own in topics; a broker refuses
// a publication that carries them.
bool MqttSettings::publishable(const QString& topic) {
    return !topic.isEmpty() && !topic.contains(QLatin1Char('+')) &&
           !topic.contains(QLatin1Char('#')) && !topic.contains(QChar(0)) &&
           topic.toUtf8().size() < 60000;
}

QString MqttSettings::problem() const {
    if (host.isEmpty()) {
        return QCoreApplication::translate("MqttSettings", "MQTT: не указан адрес брокера (Host).");
    }
    if (port < 1 || port > 65535) {
        return QCoreApplication::translate(
                   "MqttSettings", "MQTT: порт брокера (Port) должен быть от 1 до 65535, а не %1.")
            .arg(port);
    }
    if (!publishable(baseTopic())) {
        return QCoreApplication::translate(
                   "MqttSettings",
                   "MQTT: тема (Topic) не может быть пустой и содержать «+», «#» или нулевой "
                   "символ: «%1».")
            .arg(baseTopic().replace(QChar(0), QStringLiteral("\\0")));
    }
    if (discovery && !publishable(discoveryPrefix)) {
        return QCoreApplication::translate(
                   "MqttSettings",
                   "MQTT: префикс обнаружения (DiscoveryPrefix) не может быть пустым и содержать "
                   "«+», «#» или нулевой символ: «%1».")
            .arg(QString(discoveryPrefix).replace(QChar(0), QStringLiteral("\\0")));
    }
    if (tls && !caFile.isEmpty() && !QFileInfo(caFile).isReadable()) {
        return QCoreApplication::translate(
                   "MqttSettings", "MQTT: не читается файл центра сертификации (CaFile) «%1».")
            .arg(caFile);
    }
    return {};
}

}  // namespace im::remote
