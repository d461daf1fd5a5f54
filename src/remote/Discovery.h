#pragma once

#include "remote/MqttSettings.h"

#include <QByteArray>

#include <vector>

namespace im::remote {

struct Retained {
    QByteArray topic;
    QByteArray payload;
};

// The topics under the base topic.
QByteArray stateTopic(const MqttSettings& s);
QByteArray alarmTopic(const MqttSettings& s);
QByteArray availabilityTopic(const MqttSettings& s);
QByteArray receivingTopic(const MqttSettings& s);

// The home-automation discovery configurations: the four values, a problem
// sensor per alarm flag, one for data arriving and one per output, all of
// one device. With Discovery off, the same topics with empty payloads,
// which remove them.
std::vector<Retained> discoveryMessages(const MqttSettings& s, const QString& version);

}  // namespace im::remote
