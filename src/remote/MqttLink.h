#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace im::remote {

// Where and as whom to connect. The password stays in here and goes only
// to the broker.
struct MqttEndpoint {
    QByteArray host;
    int port = 1883;
    QByteArray user;
    QByteArray password;
    bool tls = false;
    QByteArray caFile;  // empty with tls: the system's certificate store
    QByteArray clientId;
    // With a topic: "offline" there, retained, as the last will, and
    // "online" published first after every connect.
    QByteArray availabilityTopic;
};

// Why the link is not connected.
enum class LinkFault {
    None,
    NotFound,     // the host name does not resolve
    Unreachable,  // refused, no route, timed out
    Credentials,  // the broker refused the user name or password
    Certificate,  // TLS: the broker's certificate was not accepted
    NoAnswer,     // connected, but the broker never answered
    Lost,         // the connection broke
    Refused,      // the broker refused for another reason
};

struct LinkReport {
    bool connected = false;
    LinkFault fault = LinkFault::None;
    QString detail;  // the library's or the system's words, never the password
};

// A connection to an MQTT broker on a thread of its own, so that nothing
// it waits for (a name look-up, a host that never answers, a broker that
// stops reading) can hold up the caller. Every topic keeps only its newest
// message; all of them are published again after every reconnect, each
// topic in the order it was given, at most one message per topic on its
// way at a time. The queue is thus never longer than the number of topics.
// Reconnects wait 1 s, doubling up to 60 s, and start again from 1 s after
// a connection that worked.
class MqttLink {
public:
    // Reports go to `report` on the link's own thread, one per change.
    // With `once`, the link tries a single connection, reports it, closes
    // it again cleanly and stops; it publishes nothing. With a link `after`,
    // this one connects only once that one has ended (or after 2 s).
    MqttLink(MqttEndpoint endpoint, std::function<void(const LinkReport&)> report,
             bool once = false, const MqttLink* after = nullptr);
    // Asks the link to publish "offline" and close, without waiting; no
    // report comes after this.
    ~MqttLink();
    // The same, waiting at most `ms` for it; true when it ended in time.
    bool finish(int ms);
    MqttLink(const MqttLink&) = delete;
    MqttLink& operator=(const MqttLink&) = delete;

    // Never blocks on the network: stores and wakes the link's thread.
    void publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain);

    // Milliseconds the link waits for the broker's answer to a connect.
    static int answerTimeoutMs();
    static void setAnswerTimeoutMs(int ms);  // for tests

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace im::remote
