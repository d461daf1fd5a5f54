#include "remote/MqttPublisher.h"

#include "remote/Discovery.h"
#include "remote/Telemetry.h"

#include <QCoreApplication>

#include <unistd.h>

namespace im::remote {

namespace {

QString reason(LinkFault fault) {
    switch (fault) {
        case LinkFault::NotFound:
            return QCoreApplication::translate("MqttPublisher", "адрес не найден");
        case LinkFault::Unreachable:
            return QCoreApplication::translate("MqttPublisher", "брокер недоступен");
        case LinkFault::Credentials:
            return QCoreApplication::translate("MqttPublisher",
                                               "брокер не принял имя пользователя или пароль");
        case LinkFault::Certificate:
            return QCoreApplication::translate("MqttPublisher",
                                               "сертификат брокера не подтверждён");
        case LinkFault::NoAnswer:
            return QCoreApplication::translate("MqttPublisher", "брокер не отвечает");
        case LinkFault::Lost:
            return QCoreApplication::translate("MqttPublisher", "соединение потеряно");
        case LinkFault::Refused:
        case LinkFault::None:
            break;
    }
    return QCoreApplication::translate("MqttPublisher", "брокер отказал в соединении");
}

}  // namespace

MqttPublisher::MqttPublisher(Telemetry& telemetry, QString version, QObject* parent)
    : QObject(parent), telemetry_(telemetry), version_(std::move(version)) {
    connect(&telemetry_, &Telemetry::lineRecorded, this, &MqttPublisher::publishState);
    connect(&telemetry_, &Telemetry::alarmsChanged, this, &MqttPublisher::publishAlarms);
    connect(&telemetry_, &Telemetry::receivingChanged, this, &MqttPublisher::publishReceiving);
}

MqttPublisher::~MqttPublisher() {
    if (link_) {
        link_->finish(1500);
    }
}

QString MqttPublisher::describe(const MqttSettings& settings, const LinkReport& report) {
    const QString broker = settings.host + QLatin1Char(':') + QString::number(settings.port);
    if (report.connected) {
        return QCoreApplication::translate("MqttPublisher",
                                           "MQTT: соединение с брокером %1 установлено.")
            .arg(broker);
    }
    QString text =
        QCoreApplication::translate("MqttPublisher", "MQTT: нет соединения с брокером %1: %2")
            .arg(broker, reason(report.fault));
    if (!report.detail.isEmpty()) {
        text += QStringLiteral(" (") + report.detail + QLatin1Char(')');
    }
    return text + QLatin1Char('.');
}

MqttEndpoint MqttPublisher::endpointFor(const MqttSettings& s) {
    MqttEndpoint e;
    e.host = s.host.toUtf8();
    e.port = s.port;
    e.user = s.user.toUtf8();
    e.password = s.password.toUtf8();
    e.tls = s.tls;
    e.caFile = s.caFile.toUtf8();
    // One client per program: a monitor and a recorder of the same name
    // must not throw each other off the broker.
    e.clientId = s.nodeId().toUtf8() + '-' + QByteArray::number(::getpid());
    return e;
}

QString MqttPublisher::apply(const MqttSettings& settings) {
    settings_ = settings;
    const QString problem = settings.enabled ? settings.problem() : QString();
    if (!settings.enabled || !problem.isEmpty()) {
        link_.reset();
        if (!problem.isEmpty()) {
            Q_EMIT statusChanged(problem, true);
        }
        return problem;
    }
    stateTopic_ = stateTopic(settings);
    alarmTopic_ = alarmTopic(settings);
    receivingTopic_ = receivingTopic(settings);
    MqttEndpoint endpoint = endpointFor(settings);
    endpoint.availabilityTopic = availabilityTopic(settings);
    auto report = [this, settings](const LinkReport& r) {
        const QString text = describe(settings, r);
        const bool trouble = !r.connected;
        QMetaObject::invokeMethod(
            this, [this, text, trouble] { Q_EMIT statusChanged(text, trouble); },
            Qt::QueuedConnection);
    };
    // The new link starts once the old one has said goodbye, so that its
    // "offline" cannot come after the new "online".
    link_ = std::make_unique<MqttLink>(endpoint, report, false, link_.get());
    for (const Retained& r : discoveryMessages(settings, version_)) {
        link_->publish(r.topic, r.payload, 1, true);
    }
    publishAlarms();
    publishReceiving();
    if (telemetry_.last()) {
        publishState();
    }
    return {};
}

void MqttPublisher::publishState() {
    if (link_ && telemetry_.last()) {
        link_->publish(stateTopic_, stateJson(*telemetry_.last()), 0, true);
    }
}

void MqttPublisher::publishAlarms() {
    if (link_) {
        link_->publish(alarmTopic_, alarmJson(telemetry_.alarms()), 1, true);
    }
}

void MqttPublisher::publishReceiving() {
    if (link_) {
        link_->publish(receivingTopic_, telemetry_.receiving() ? "ON" : "OFF", 1, true);
    }
}

}  // namespace im::remote
