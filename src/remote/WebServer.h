#pragma once

#include "remote/History.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QMap>
#include <QSet>

class QTcpSocket;
class QTimer;

namespace im::remote {

class Guard;

// The read-only web page's server. It runs on a thread of its own, so that
// no client, however slow or hostile, costs the interface thread anything;
// the interface hands it the state and the lines as they come. Every
// request is a GET of a fixed set of paths; everything a client can make
// it hold is bounded: connections, the bytes of a request, the time to
// send one, the data queued for a client that does not read.
class WebServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 128;
    static constexpr int kMaxEventClients = 64;
    static constexpr qint64 kMaxRequestBytes = 16 * 1024;
    // Milliseconds a client has to send a request, or to take a little of
    // what it was sent.
    static int requestTimeoutMs();
    static void setRequestTimeoutMs(int ms);  // for tests
    static constexpr qint64 kMaxQueuedBytes = 256 * 1024;
    static constexpr int kKeepAliveMs = 15000;

    struct Config {
        QHostAddress address = QHostAddress::LocalHost;
        quint16 port = 0;
        QByteArray token;
        bool tokenRequired = false;
        QString logDir;
        // The page's texts per language ("ru", "en"), as JSON objects.
        QMap<QByteArray, QByteArray> texts;
    };

    explicit WebServer(Config config);
    ~WebServer() override;

    // On the server's thread: listens; the port, or 0 with the reason.
    quint16 start(QString* error);
    // A new state (JSON) with the event it makes: "line" or "alarm".
    void updateState(const QByteArray& json, const QByteArray& event);
    void addLine(qint64 wallSeconds, const Values& values);
    void replaceHistory(History history);
    void mergeHistory(const History& history) { history_.merge(history); }

    int connectionCount() const { return connections_; }
    int eventClientCount() const { return int(eventClients_.size()); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    class Listener;
    struct Reply;
    void watch(QTcpSocket* socket);
    void send(QTcpSocket* socket, const Reply& reply);
    bool authorized(const QHttpServerRequest& request, bool* fromQuery) const;
    void openEvents(QTcpSocket* socket);
    void sendEvent(const QByteArray& text);
    QByteArray texts(const QHttpServerRequest& request) const;
    QByteArray history(const QHttpServerRequest& request) const;
    QByteArray dayFiles() const;

    Config config_;
    Listener* listener_ = nullptr;
    QByteArray state_ = "{\"receiving\": false}";
    History history_;
    QSet<QTcpSocket*> eventClients_;
    QHash<QTcpSocket*, Guard*> guards_;
    QTimer* keepAlive_ = nullptr;
    int connections_ = 0;
};

}  // namespace im::remote
