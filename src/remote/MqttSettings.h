#pragma once

#include <QString>

namespace im::settings {
class SettingsFile;
}

namespace im::remote {

// The [Mqtt] section: where and how the incubator is published.
struct MqttSettings {
    bool enabled = false;
    QString host;
    int port = 1883;
    QString user;
    QString password;
    bool tls = false;
    QString caFile;  // empty: the system's certificate store
    QString name;    // empty: this machine's host name
    QString topic;   // empty: incubator/<name>
    bool discovery = true;
    QString discoveryPrefix = QStringLiteral("homeassistant");

    static MqttSettings read(const settings::SettingsFile& file);
    // Throws what the settings file throws when it cannot be written.
    void write(settings::SettingsFile& file) const;

    QString deviceName() const;
    QString baseTopic() const;
    // The name as an identifier: letters, digits, '_' and '-' only.
    QString nodeId() const;

    // Why these settings cannot be used (translated, names the key and the
    // value), or an empty text. Checked whether or not publishing is on.
    QString problem() const;

    // A topic a broker takes for a publication: not empty, without the
    // wildcards "+" and "#" and without NUL.
    static bool publishable(const QString& topic);

    friend bool operator==(const MqttSettings&, const MqttSettings&) = default;
};

}  // namespace im::remote
