#include "remote/Discovery.h"

#include "remote/Telemetry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace im::remote {

namespace {

QByteArray under(const MqttSettings& s, const char* leaf) {
    return s.baseTopic().toUtf8() + '/' + leaf;
}

struct Entity {
    const char* component;
    QString object;
    QString name;
    QJsonObject fields;
};

QString onWhen(const QString& field) {
    return QStringLiteral("{{ 'ON' if value_json.%1 else 'OFF' }}").arg(field);
}

std::vector<Entity> entities(const MqttSettings& s) {
    const QString state = QString::fromUtf8(stateTopic(s));
    const QString alarm = QString::fromUtf8(alarmTopic(s));
    std::vector<Entity> list;
    const char* const temperatures[] = {"t1", "t2", "t3"};
    for (const char* t : temperatures) {
        const QString field = QString::fromLatin1(t);
        list.push_back({"sensor",
                        field,
                        field.toUpper(),
                        {{"state_topic", state},
                         {"value_template", QStringLiteral("{{ value_json.%1 }}").arg(field)},
                         {"unit_of_measurement", QStringLiteral("°C")},
                         {"device_class", "temperature"},
                         {"state_class", "measurement"}}});
    }
    list.push_back({"sensor",
                    QStringLiteral("hm"),
                    QStringLiteral("HM"),
                    {{"state_topic", state},
                     {"value_template", QStringLiteral("{{ value_json.hm }}")},
                     {"unit_of_measurement", QStringLiteral("%")},
                     {"device_class", "humidity"},
                     {"state_class", "measurement"}}});
    const char* const alarmNames[] = {"T1 alarm", "T2 alarm", "HM alarm", "No data"};
    for (std::size_t i = 0; i < kAlarmNames.size(); ++i) {
        const QString field = QString::fromLatin1(kAlarmNames[i]);
        list.push_back({"binary_sensor",
                        QStringLiteral("alarm_") + field,
                        QString::fromLatin1(alarmNames[i]),
                        {{"state_topic", alarm},
                         {"value_template", onWhen(field)},
                         {"device_class", "problem"}}});
    }
    list.push_back({"binary_sensor",
                    QStringLiteral("receiving"),
                    QStringLiteral("Data arriving"),
                    {{"state_topic", QString::fromUtf8(receivingTopic(s))},
                     {"device_class", "connectivity"}}});
    for (const char* output : kOutputNames) {
        const QString field = QString::fromLatin1(output);
        QString name = field;
        name.replace(QLatin1Char('_'), QLatin1Char(' '));
        name[0] = name[0].toUpper();
        list.push_back({"binary_sensor",
                        QStringLiteral("out_") + field,
                        name,
                        {{"state_topic", state}, {"value_template", onWhen(field)}}});
    }
    return list;
}

}  // namespace

QByteArray stateTopic(const MqttSettings& s) {
    return under(s, "state");
}
QByteArray alarmTopic(const MqttSettings& s) {
    return under(s, "alarm");
}
QByteArray availabilityTopic(const MqttSettings& s) {
    return under(s, "availability");
}
QByteArray receivingTopic(const MqttSettings& s) {
    return under(s, "receiving");
}

std::vector<Retained> discoveryMessages(const MqttSettings& s, const QString& version) {
    if (!s.discovery && !MqttSettings::publishable(s.discoveryPrefix)) {
        return {};  // nothing could have been published there
    }
    const QString node = s.nodeId();
    const QJsonObject device{{"identifiers", QJsonArray{node}},
                             {"name", s.deviceName()},
                             {"model", QStringLiteral("Incubator controller")},
                             {"manufacturer", QStringLiteral("incubator-monitor")},
                             {"sw_version", version}};
    std::vector<Retained> out;
    for (const Entity& e : entities(s)) {
        const QByteArray topic = s.discoveryPrefix.toUtf8() + '/' + e.component + '/' +
                                 node.toUtf8() + '/' + e.object.toUtf8() + "/config";
        if (!s.discovery) {
            out.push_back({topic, {}});
            continue;
        }
        QJsonObject config = e.fields;
        config.insert(QStringLiteral("name"), e.name);
        config.insert(QStringLiteral("unique_id"), node + QLatin1Char('_') + e.object);
        config.insert(QStringLiteral("availability_topic"),
                      QString::fromUtf8(availabilityTopic(s)));
        config.insert(QStringLiteral("device"), device);
        out.push_back({topic, QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return out;
}

}  // namespace im::remote
