#include "remote/WebSettings.h"

#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QRandomGenerator>

namespace im::remote {

namespace keys = settings::keys;

WebSettings WebSettings::read(const settings::SettingsFile& file) {
    WebSettings s;
    s.enabled = file.read(keys::WebEnabled);
    s.listen = file.read(keys::WebListen).trimmed();
    s.port =
        settings::SettingsFile::parseInteger(
            file.ReadString(QLatin1String(keys::WebPort.section), QLatin1String(keys::WebPort.name),
                            QString::number(keys::WebPort.defaultValue)))
            .value_or(0);
    s.token = file.read(keys::WebToken).trimmed();
    return s;
}

void WebSettings::write(settings::SettingsFile& file) const {
    file.beginBatch();
    file.write(keys::WebEnabled, enabled);
    file.write(keys::WebListen, listen);
    file.write(keys::WebPort, port);
    file.write(keys::WebToken, token);
    file.commit();
}

bool WebSettings::loopbackOnly() const {
    return QHostAddress(listen).isLoopback();
}

QString WebSettings::newToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString token;
    for (const quint32 w : words) {
        token += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    }
    return token;
}

QString WebSettings::address() const {
    QHostAddress host(listen);
    if (host == QHostAddress::AnyIPv4 || host == QHostAddress::AnyIPv6 ||
        host == QHostAddress::Any) {
        for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
            if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol) {
                host = a;
                break;
            }
        }
    }
    QString name = host.toString();
    if (host.protocol() == QAbstractSocket::IPv6Protocol) {
        name = QLatin1Char('[') + name + QLatin1Char(']');
    }
    QString url = QStringLiteral("http://%1:%2/").arg(name).arg(port);
    if (!token.isEmpty()) {
        url += QStringLiteral("?t=") + token;
    }
    return url;
}

QString WebSettings::problem() const {
    if (QHostAddress(listen).isNull()) {
        return QCoreApplication::translate(
                   "WebSettings", "Веб-страница: адрес (Listen) «%1» не является IP-адресом.")
            .arg(listen);
    }
    if (port < 1 || port > 65535) {
        return QCoreApplication::translate(
                   "WebSettings", "Веб-страница: порт (Port) должен быть от 1 до 65535, а не %1.")
            .arg(port);
    }
    const bool tokenSound =
        token.size() >= 16 && std::all_of(token.begin(), token.end(), [](QChar c) {
            return c.isLetterOrNumber() && c.unicode() < 128;
        });
    if (tokenRequired() && !tokenSound) {
        return QCoreApplication::translate(
            "WebSettings",
            "Веб-страница: ключ доступа (Token) нужен, когда страница видна в сети: не менее 16 "
            "латинских букв и цифр.");
    }
    return {};
}

}  // namespace im::remote
