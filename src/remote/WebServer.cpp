#include "remote/WebServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <unistd.h>

#include <atomic>

namespace im::remote {

namespace {

const QByteArray kCookie = "im_token";
std::atomic<int> requestTimeout{10000};

// Equal without telling, by the time it takes, how much of a guess was
// right.
bool sameSecret(const QByteArray& given, const QByteArray& secret) {
    if (secret.isEmpty() || given.size() != secret.size()) {
        return false;
    }
    unsigned char differ = 0;
    for (qsizetype i = 0; i < secret.size(); ++i) {
        differ |= static_cast<unsigned char>(given[i] ^ secret[i]);
    }
    return differ == 0;
}

QByteArray cookieValue(const QByteArray& header, const QByteArray& name) {
    for (QByteArray part : header.split(';')) {
        part = part.trimmed();
        if (part.startsWith(name + '=')) {
            return part.mid(name.size() + 1);
        }
    }
    return {};
}

QByteArray resource(const QString& name) {
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// What a client's connection is allowed: the bytes of a request not yet
// complete, the time to complete it (or to take what it was sent).
class Guard : public QObject {
public:
    explicit Guard(QTcpSocket* socket) : QObject(socket), timer(this) {
        timer.setSingleShot(true);
        timer.setInterval(WebServer::requestTimeoutMs());
        timer.start();
    }
    qint64 requestBytes = 0;
    qint64 lastPending = 0;
    bool events = false;
    QTimer timer;
};

class WebServer::Listener : public QTcpServer {
public:
    explicit Listener(WebServer& owner) : QTcpServer(&owner), owner_(owner) {}

protected:
    void incomingConnection(qintptr fd) override {
        // Beyond the bound a connection is closed at once, costing nothing
        // more than its accept.
        if (owner_.connections_ >= kMaxConnections) {
            ::close(int(fd));
            return;
        }
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(fd)) {
            delete socket;
            return;
        }
        owner_.watch(socket);
        addPendingConnection(socket);
    }

private:
    WebServer& owner_;
};

struct WebServer::Reply {
    int status = 200;
    QByteArray type = "application/json";
    QByteArray body;
    QByteArray headers;  // extra lines, each ending in CR LF
    bool close = false;
};

WebServer::WebServer(Config config) : config_(std::move(config)) {}

int WebServer::requestTimeoutMs() {
    return requestTimeout.load();
}

void WebServer::setRequestTimeoutMs(int ms) {
    requestTimeout.store(ms);
}

WebServer::~WebServer() = default;

quint16 WebServer::start(QString* error) {
    listener_ = new Listener(*this);
    if (!listener_->listen(config_.address, config_.port)) {
        if (error != nullptr) {
            *error = listener_->errorString();
        }
        delete listener_;
        listener_ = nullptr;
        return 0;
    }
    bind(listener_);
    keepAlive_ = new QTimer(this);
    keepAlive_->setInterval(kKeepAliveMs);
    connect(keepAlive_, &QTimer::timeout, this, [this] { sendEvent(": keep-alive\n\n"); });
    return listener_->serverPort();
}

void WebServer::watch(QTcpSocket* socket) {
    ++connections_;
    auto* guard = new Guard(socket);
    guards_.insert(socket, guard);
    // Connected before the server's own reading, so it sees every chunk
    // first: a request that grows beyond its bound is cut off there.
    connect(socket, &QTcpSocket::readyRead, guard, [this, socket, guard] {
        guard->requestBytes += socket->bytesAvailable();
        if (guard->requestBytes > kMaxRequestBytes) {
            // Nobody reads this socket again: the server's parser is cut
            // off from it before it would read the rest.
            QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
            send(socket, {431, "text/plain", "request too large\n", {}, true});
            socket->flush();
            socket->abort();
        }
    });
    connect(&guard->timer, &QTimer::timeout, socket, [socket, guard] {
        // A client still taking what it was sent keeps its time; one that
        // sends no request, or takes nothing, is let go.
        const qint64 pending = socket->bytesToWrite();
        if (pending > 0 && (guard->lastPending == 0 || pending < guard->lastPending)) {
            guard->lastPending = pending;
            guard->timer.start();
            return;
        }
        socket->abort();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] {
        --connections_;
        guards_.remove(socket);
        eventClients_.remove(socket);
        if (eventClients_.isEmpty() && keepAlive_ != nullptr) {
            keepAlive_->stop();
        }
    });
}

void WebServer::send(QTcpSocket* socket, const Reply& reply) {
    static const QMap<int, QByteArray> reasons{
        {200, "OK"},          {401, "Unauthorized"},         {404, "Not Found"},
        {405, "Not Allowed"}, {431, "Request Too Large"},    {503, "Busy"},
        {400, "Bad Request"}, {500, "Internal Server Error"}};
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                      reasons.value(reply.status, "Error") + "\r\nContent-Type: " + reply.type +
                      "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                      "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
                      "Referrer-Policy: no-referrer\r\n"
                      "Content-Security-Policy: default-src 'self'; img-src 'self' data:\r\n" +
                      reply.headers + (reply.close ? "Connection: close\r\n" : "") + "\r\n";
    socket->write(head + reply.body);
    if (reply.close) {
        socket->disconnectFromHost();
    }
}

bool WebServer::authorized(const QHttpServerRequest& request, bool* fromQuery) const {
    *fromQuery = false;
    if (!config_.tokenRequired) {
        return true;
    }
    const QByteArray given = request.query().queryItemValue(QStringLiteral("t")).toLatin1();
    if (!given.isEmpty()) {
        *fromQuery = true;
        return sameSecret(given, config_.token);
    }
    return sameSecret(cookieValue(request.value("cookie"), kCookie), config_.token);
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (Guard* guard = guards_.value(socket)) {
        guard->requestBytes = 0;
        guard->lastPending = 0;
        guard->timer.start();
        if (guard->events) {
            return true;  // a stream takes no further requests
        }
    }
    if (request.method() != QHttpServerRequest::Method::Get) {
        send(socket, {405, "text/plain", "only GET\n", "Allow: GET\r\n", true});
        return true;
    }
    bool fromQuery = false;
    if (!authorized(request, &fromQuery)) {
        send(socket, {401, "text/plain", "unauthorized\n", {}, true});
        return true;
    }
    const QByteArray cookie = fromQuery ? "Set-Cookie: " + kCookie + '=' + config_.token +
                                              "; HttpOnly; SameSite=Strict; Path=/\r\n"
                                        : QByteArray();
    // The raw path: an encoded dot or slash matches nothing here.
    const QByteArray path = request.url().path(QUrl::FullyEncoded).toLatin1();
    static const QRegularExpression dayFile(QStringLiteral("^/log/\\d{4}-\\d{2}-\\d{2}\\.txt$"));
    Reply reply;
    reply.headers = cookie;
    if (path == "/" || path == "/index.html") {
        reply.type = "text/html; charset=utf-8";
        reply.body = resource(QStringLiteral("index.html"));
    } else if (path == "/app.js") {
        reply.type = "text/javascript; charset=utf-8";
        reply.body = resource(QStringLiteral("app.js"));
    } else if (path == "/style.css") {
        reply.type = "text/css; charset=utf-8";
        reply.body = resource(QStringLiteral("style.css"));
    } else if (path == "/api/state") {
        reply.body = state_;
    } else if (path == "/api/texts") {
        reply.body = texts(request);
    } else if (path == "/api/history") {
        reply.body = history(request);
        reply.status = reply.body.isEmpty() ? 400 : 200;
    } else if (path == "/api/events") {
        openEvents(socket);
        return true;
    } else if (path == "/log/") {
        reply.body = dayFiles();
    } else if (dayFile.match(QString::fromLatin1(path)).hasMatch()) {
        const QFileInfo file(QDir(config_.logDir).filePath(QString::fromLatin1(path.mid(5))));
        QFile f(file.filePath());
        if (config_.logDir.isEmpty() || !file.isFile() || file.isSymLink() ||
            file.size() > 64 * 1024 * 1024 || !f.open(QIODevice::ReadOnly)) {
            reply = {404, "text/plain", "no such file\n", cookie};
        } else {
            reply.type = "text/plain; charset=utf-8";
            reply.body = f.readAll();
            reply.headers += "Content-Disposition: attachment\r\n";
        }
    } else {
        reply = {404, "text/plain", "not found\n", cookie};
    }
    // A client that asked for it is let go after its answer.
    reply.close = reply.close || request.value("connection").toLower() == "close";
    send(socket, reply);
    return true;
}

void WebServer::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
    send(socket, {404, "text/plain", "not found\n", {}, false});
}

void WebServer::openEvents(QTcpSocket* socket) {
    if (eventClients_.size() >= kMaxEventClients) {
        send(socket, {503, "text/plain", "too many streams\n", "Retry-After: 10\r\n", true});
        return;
    }
    if (Guard* guard = guards_.value(socket)) {
        guard->events = true;
        guard->timer.stop();
    }
    eventClients_.insert(socket);
    keepAlive_->start();
    // The kernel's own buffer for a stream stays small, so that a client
    // that stops reading is noticed (and let go) after little.
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 32 * 1024);
    socket->write(
        "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream; charset=utf-8\r\n"
        "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n\r\n"
        "retry: 3000\n\nevent: line\ndata: " +
        state_ + "\n\n");
}

void WebServer::sendEvent(const QByteArray& text) {
    const QList<QTcpSocket*> clients(eventClients_.begin(), eventClients_.end());
    for (QTcpSocket* client : clients) {
        // A client that does not read loses its stream rather than
        // making the program hold more and more for it.
        if (client->bytesToWrite() > kMaxQueuedBytes) {
            eventClients_.remove(client);
            client->abort();
            continue;
        }
        client->write(text);
    }
}

void WebServer::updateState(const QByteArray& json, const QByteArray& event) {
    state_ = json;
    if (!eventClients_.isEmpty()) {
        sendEvent("event: " + event + "\ndata: " + json + "\n\n");
    }
}

void WebServer::addLine(qint64 wallSeconds, const Values& values) {
    history_.add(wallSeconds, values);
}

void WebServer::replaceHistory(History history) {
    history_ = std::move(history);
}

QByteArray WebServer::texts(const QHttpServerRequest& request) const {
    // The first of the browser's languages that the program speaks.
    for (const QByteArray& part : request.value("accept-language").split(',')) {
        const QByteArray lang = part.trimmed().left(2).toLower();
        if (config_.texts.contains(lang)) {
            return config_.texts.value(lang);
        }
    }
    return config_.texts.value("ru", "{}");
}

QByteArray WebServer::history(const QHttpServerRequest& request) const {
    const QUrlQuery q = request.query();
    auto number = [&q](const char* name, bool* bad) -> std::optional<qint64> {
        const QString text = q.queryItemValue(QString::fromLatin1(name));
        if (text.isEmpty()) {
            return std::nullopt;
        }
        bool ok = false;
        const qint64 v = text.toLongLong(&ok);
        *bad |= !ok;
        return v;
    };
    bool bad = false;
    const std::optional<qint64> from = number("from", &bad);
    const std::optional<qint64> to = number("to", &bad);
    const std::optional<qint64> points = number("points", &bad);
    if (bad || (from && to && *from > *to)) {
        return {};
    }
    return history_.json(from, to, int(std::clamp<qint64>(points.value_or(500), 1, 5000)));
}

QByteArray WebServer::dayFiles() const {
    QByteArray out = "[";
    if (!config_.logDir.isEmpty()) {
        static const QRegularExpression name(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.txt$"));
        const QFileInfoList files =
            QDir(config_.logDir).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        for (const QFileInfo& f : files) {
            if (!name.match(f.fileName()).hasMatch() || f.isSymLink()) {
                continue;
            }
            out += (out.size() > 1 ? ", " : "") + QByteArray("{\"name\": \"") +
                   f.fileName().toLatin1() + "\", \"bytes\": " + QByteArray::number(f.size()) + '}';
        }
    }
    return out + ']';
}

}  // namespace im::remote
