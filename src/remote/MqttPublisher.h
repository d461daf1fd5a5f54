#pragma once

#include "remote/MqttLink.h"
#include "remote/MqttSettings.h"

#include <QObject>

#include <memory>

namespace im::remote {

class Telemetry;

// Publishes the incubator to an MQTT broker: the state after every
// recorded line, the alarm flags at once when they change, whether data
// arrives, the program's availability and the discovery configurations.
// Subscribes to nothing. Lives on the interface thread; every network wait
// happens on its link's thread.
class MqttPublisher : public QObject {
    Q_OBJECT
public:
    MqttPublisher(Telemetry& telemetry, QString version, QObject* parent = nullptr);
    // Publishes "offline" on the way out, waiting at most about 1.5 s.
    ~MqttPublisher() override;

    // Takes new settings: the old connection ends and, when publishing is
    // on and the settings are sound, a new one starts. Returns why the
    // settings cannot be used (also told through statusChanged), or "".
    QString apply(const MqttSettings& settings);
    bool active() const { return link_ != nullptr; }
    const MqttSettings& settings() const { return settings_; }

    // The words for a link's report, as the operator reads them.
    static QString describe(const MqttSettings& settings, const LinkReport& report);
    static MqttEndpoint endpointFor(const MqttSettings& settings);

Q_SIGNALS:
    // Once per change of the connection's state; trouble for a fault.
    void statusChanged(const QString& text, bool trouble);

private:
    void publishState();
    void publishAlarms();
    void publishReceiving();

    Telemetry& telemetry_;
    QString version_;
    MqttSettings settings_;
    QByteArray stateTopic_;
    QByteArray alarmTopic_;
    QByteArray receivingTopic_;
    std::unique_ptr<MqttLink> link_;
};

}  // namespace im::remote
