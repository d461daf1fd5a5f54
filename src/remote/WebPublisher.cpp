#include "remote/WebPublisher.h"

#include "remote/LocalTime.h"
#include "remote/Telemetry.h"
#include "remote/WebServer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTranslator>

namespace im::remote {

namespace {

// The page's words, by the keys its script uses.
struct Text {
    const char* key;
    const char* source;
};
constexpr Text kTexts[] = {
    {"title", QT_TRANSLATE_NOOP("WebPage", "Монитор инкубатора")},
    {"t1", QT_TRANSLATE_NOOP("WebPage", "Т1")},
    {"t2", QT_TRANSLATE_NOOP("WebPage", "Т2")},
    {"t3", QT_TRANSLATE_NOOP("WebPage", "Т3")},
    {"hm", QT_TRANSLATE_NOOP("WebPage", "Влажность")},
    {"alarm", QT_TRANSLATE_NOOP("WebPage", "Тревога")},
    {"no_data", QT_TRANSLATE_NOOP("WebPage", "Нет данных от инкубатора")},
    {"receiving", QT_TRANSLATE_NOOP("WebPage", "Данные поступают")},
    {"not_receiving", QT_TRANSLATE_NOOP("WebPage", "Данных нет")},
    {"connection_lost", QT_TRANSLATE_NOOP("WebPage", "Нет связи с программой")},
    {"outputs", QT_TRANSLATE_NOOP("WebPage", "Выходы")},
    {"last_hours", QT_TRANSLATE_NOOP("WebPage", "Последние 6 часов")},
    {"journal", QT_TRANSLATE_NOOP("WebPage", "Весь журнал")},
    {"files", QT_TRANSLATE_NOOP("WebPage", "Дневные файлы")},
    {"newest", QT_TRANSLATE_NOOP("WebPage", "Последняя строка")},
    {"buzzer", QT_TRANSLATE_NOOP("WebPage", "Зуммер")},
    {"heater", QT_TRANSLATE_NOOP("WebPage", "Нагрев")},
    {"difference", QT_TRANSLATE_NOOP("WebPage", "Разница T1-T2")},
    {"humidifier", QT_TRANSLATE_NOOP("WebPage", "Увлажнитель")},
    {"turn_reverse", QT_TRANSLATE_NOOP("WebPage", "Поворот: реверс")},
    {"turn_movement", QT_TRANSLATE_NOOP("WebPage", "Поворот: движение")},
    {"cooling", QT_TRANSLATE_NOOP("WebPage", "Охлаждение")},
    {"relay", QT_TRANSLATE_NOOP("WebPage", "Аварийное реле")},
    {"kb", QT_TRANSLATE_NOOP("WebPage", "КБ")},
};

}  // namespace

QByteArray WebPublisher::textsJson(const QTranslator* catalogue, const QByteArray& lang) {
    QJsonObject texts{{QStringLiteral("lang"), QString::fromLatin1(lang)}};
    for (const Text& t : kTexts) {
        const QString translated =
            catalogue ? catalogue->translate("WebPage", t.source) : QString();
        texts.insert(QString::fromLatin1(t.key),
                     translated.isEmpty() ? QString::fromUtf8(t.source) : translated);
    }
    return QJsonDocument(texts).toJson(QJsonDocument::Compact);
}

WebPublisher::WebPublisher(Telemetry& telemetry, QString logDir, QObject* parent)
    : QObject(parent), telemetry_(telemetry), logDir_(std::move(logDir)) {
    thread_.setObjectName(QStringLiteral("web page"));
    auto state = [this] {
        return stateWithAlarmsJson(telemetry_.last(), telemetry_.alarms(), telemetry_.receiving());
    };
    connect(&telemetry_, &Telemetry::lineRecorded, this, [this, state] {
        if (!server_) {
            return;
        }
        const Reading& r = *telemetry_.last();
        const Values values{qint16(r.values.t1), qint16(r.values.t2), qint16(r.values.t3),
                            qint16(r.values.hm)};
        post([json = state(), wall = wallSecondsOf(r.time), values](WebServer& s) {
            s.addLine(wall, values);
            s.updateState(json, "line");
        });
    });
    auto changed = [this, state] {
        if (server_) {
            post([json = state()](WebServer& s) { s.updateState(json, "alarm"); });
        }
    };
    connect(&telemetry_, &Telemetry::alarmsChanged, this, changed);
    connect(&telemetry_, &Telemetry::receivingChanged, this, changed);
}

WebPublisher::~WebPublisher() {
    stop();
}

void WebPublisher::post(std::function<void(WebServer&)> work) {
    WebServer* server = server_;
    QMetaObject::invokeMethod(
        server, [server, work = std::move(work)] { work(*server); }, Qt::QueuedConnection);
}

void WebPublisher::stop() {
    if (server_ == nullptr) {
        return;
    }
    // Deleted on its thread as that ends: the thread's end still delivers
    // the deletion, where a queued call would be dropped with the loop.
    server_->deleteLater();
    server_ = nullptr;
    thread_.quit();
    thread_.wait(3000);
}

QString WebPublisher::apply(const WebSettings& settings) {
    stop();
    settings_ = settings;
    const QString problem = settings.enabled ? settings.problem() : QString();
    if (!settings.enabled || !problem.isEmpty()) {
        if (!problem.isEmpty()) {
            Q_EMIT statusChanged(problem, true);
        }
        return problem;
    }
    WebServer::Config config;
    config.address = QHostAddress(settings.listen);
    config.port = quint16(settings.port);
    config.token = settings.token.toLatin1();
    config.tokenRequired = settings.tokenRequired();
    config.logDir = logDir_;
    QTranslator english;
    config.texts.insert("ru", textsJson(nullptr, "ru"));
    if (english.load(QStringLiteral(":/i18n/incubator-monitor_en.qm"))) {
        config.texts.insert("en", textsJson(&english, "en"));
    }
    server_ = new WebServer(std::move(config));
    server_->moveToThread(&thread_);
    thread_.start();
    const QByteArray state =
        stateWithAlarmsJson(telemetry_.last(), telemetry_.alarms(), telemetry_.receiving());
    const QString address = settings.address();
    post([this, state, address](WebServer& s) {
        s.updateState(state, "alarm");
        QString error;
        const quint16 port = s.start(&error);
        QMetaObject::invokeMethod(
            this,
            [this, port, error, address] {
                if (port != 0) {
                    Q_EMIT statusChanged(
                        QCoreApplication::translate("WebPublisher", "Веб-страница: %1")
                            .arg(address),
                        false);
                    Q_EMIT listening(port);
                } else {
                    Q_EMIT statusChanged(
                        QCoreApplication::translate("WebPublisher", "Веб-страница не открыта: %1")
                            .arg(error),
                        true);
                }
            },
            Qt::QueuedConnection);
    });
    return {};
}

void WebPublisher::replaceHistory(History history) {
    if (server_) {
        post([h = std::make_shared<History>(std::move(history))](WebServer& s) {
            s.replaceHistory(std::move(*h));
        });
    }
}

void WebPublisher::mergeHistory(History history) {
    if (server_) {
        post([h = std::make_shared<History>(std::move(history))](WebServer& s) {
            s.mergeHistory(*h);
        });
    }
}

}  // namespace im::remote
