#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

struct mosquitto;

namespace im::test {

// TLS material made with the openssl command line: an authority, two
// server certificates it signed (one for localhost and 127.0.0.1, one for
// another name only, to see a host name refused) and an unrelated authority
// (to see an unknown issuer refused). Every file is readable by all, so a
// broker that dropped its privileges still loads its key.
struct Certificates {
    QString ca, caKey;                // ca.crt, ca.key
    QString server, serverKey;        // DNS:localhost, IP:127.0.0.1
    QString otherName, otherNameKey;  // DNS:elsewhere.invalid only
    QString otherCa;                  // other-ca.crt, which signed none of these

    // Makes them in dir; on failure, nothing, with openssl's complaint in *error.
    static std::optional<Certificates> make(const QString& dir, QString* error = nullptr);
};

// A Debian mosquitto of its own, listening on 127.0.0.1 only, with its
// configuration, files and log in a temporary folder it removes.
class Broker {
public:
    enum class ServerCert { Matching, OtherName };
    struct Options {
        bool tls = false;
        ServerCert cert = ServerCert::Matching;
        QString user{}, password{};  // a user: no anonymous clients
        int port = 0;                // 0: a free one, kept across stop() and start()
    };

    Broker() : Broker(Options{}) {}
    explicit Broker(Options options);
    ~Broker();

    // Starts it and waits, at most 5 s, until it takes connections.
    bool start();
    // SIGTERM, as a broker shut down; kill() as one that dies.
    void stop();
    void kill();
    bool running() const { return process_.state() != QProcess::NotRunning; }

    int port() const { return port_; }
    QString caFile() const { return certs_ ? certs_->ca : QString(); }
    QString otherCaFile() const { return certs_ ? certs_->otherCa : QString(); }
    // Its log file, and its own output, for the message of a failing test.
    QString log() const;

private:
    Options options_;
    QTemporaryDir dir_;
    QProcess process_;
    std::optional<Certificates> certs_;
    QString failure_;
    int port_;
};

// A libmosquitto client recording what it receives, in the test process.
// Its network thread reconnects and subscribes again after the broker
// comes back.
class Subscriber {
public:
    struct Message {
        QByteArray topic;
        QByteArray payload;
        bool retained;
        qint64 receivedMs;  // on nowMs()'s clock
    };
    struct Options {
        QString host = QStringLiteral("127.0.0.1");  // "localhost" to check the host name
        QString caFile{};                            // TLS when set
        QString user{}, password{};
    };

    explicit Subscriber(int port) : Subscriber(port, Options{}) {}
    Subscriber(int port, Options options);
    ~Subscriber();

    // Connects and subscribes, once, waiting at most 5 s for the broker's
    // SUBACK; false at once when the broker or the TLS handshake refuses it.
    bool connectAndSubscribe(const QString& filter);
    // Why it failed, or lost the connection, since connectAndSubscribe().
    QString error() const;

    std::vector<Message> messages() const;
    std::optional<Message> last(const QByteArray& topic) const;
    // The first message recorded on the topic whose payload is accepted
    // (any, without a predicate), waiting for it with the Qt event loop
    // running; clear() first to wait for a new one.
    std::optional<Message> waitFor(const QByteArray& topic,
                                   const std::function<bool(const QByteArray&)>& accept = {},
                                   int timeoutMs = 5000);
    void clear();
    // Milliseconds since the subscriber was made.
    qint64 nowMs() const { return clock_.elapsed(); }

private:
    void subscribe();
    // An error for error(), of a connection refused or lost unless only noted.
    void fail(const QString& why, bool noteOnly = false);

    int port_;
    Options options_;
    QByteArray filter_;
    QElapsedTimer clock_;
    mosquitto* mosq_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    int pendingMid_ = -1;
    bool subscribed_ = false;
    bool refused_ = false;
    QStringList errors_;
};

}  // namespace im::test
