#include "remote/MqttLink.h"

#include <mosquitto.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace im::remote {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::atomic<int> answerTimeout{10000};
constexpr int kKeepAliveSeconds = 30;
constexpr int kFirstPauseMs = 1000;
constexpr int kLongestPauseMs = 60000;
constexpr milliseconds kGoodbyeWait{1000};

struct Message {
    QByteArray topic;
    QByteArray payload;
    int qos = 0;
    bool retain = false;
};

// A topic as the link's thread keeps it: its newest message, and which
// generation of it the broker has (or has on its way).
struct Slot {
    Message message;
    quint64 generation = 1;
    quint64 delivered = 0;
    quint64 onItsWay = 0;
    int mid = -1;
};

LinkReport failure(LinkFault fault, const QString& detail) {
    return {false, fault, detail};
}

QString libraryText(int rc) {
    return QString::fromUtf8(mosquitto_strerror(rc));
}

// A failed step of the library: what it means to the operator.
LinkReport faultOf(int rc, int osError, bool connected) {
    switch (rc) {
        case MOSQ_ERR_EAI:
            return failure(LinkFault::NotFound, libraryText(rc));
        case MOSQ_ERR_TLS:
        case MOSQ_ERR_TLS_HANDSHAKE:
            return failure(connected ? LinkFault::Lost : LinkFault::Certificate, libraryText(rc));
        case MOSQ_ERR_KEEPALIVE:
            return failure(LinkFault::NoAnswer, libraryText(rc));
        case MOSQ_ERR_ERRNO:
            return failure(connected ? LinkFault::Lost : LinkFault::Unreachable,
                           QString::fromLocal8Bit(std::strerror(osError)));
        default:
            return failure(connected ? LinkFault::Lost : LinkFault::Unreachable, libraryText(rc));
    }
}

void initLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

struct MqttLink::Shared {
    MqttEndpoint endpoint;
    std::function<void(const LinkReport&)> report;
    bool once = false;
    int wakeFd = -1;
    std::shared_ptr<Shared> predecessor;

    std::mutex mutex;
    std::condition_variable finishedChanged;
    std::vector<Message> incoming;  // what the caller gave since the last look
    bool woken = false;             // a wake-up is on its way: none more needed
    bool stopping = false;
    bool reporting = true;
    bool finished = false;

    ~Shared() {
        if (wakeFd >= 0) {
            ::close(wakeFd);
        }
    }
    void requestStop() {
        std::lock_guard lock(mutex);
        stopping = true;
        reporting = false;
        wake();
    }
    bool waitFinished(milliseconds wait) {
        std::unique_lock lock(mutex);
        return finishedChanged.wait_for(lock, wait, [this] { return finished; });
    }
    void wake() const {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
    }
    bool stopRequested() {
        std::lock_guard lock(mutex);
        return stopping;
    }
};

namespace {

// One connection, from the connect to its end; everything here runs on the
// link's thread.
class Session {
public:
    Session(MqttLink::Shared& shared, std::vector<Slot>& slots) : shared_(shared), slots_(slots) {}

    // Runs the connection; returns how it ended and whether it got as far
    // as the broker's acceptance.
    LinkReport run(const std::function<void(const LinkReport&)>& tell) {
        const MqttEndpoint& e = shared_.endpoint;
        m_ = mosquitto_new(e.clientId.isEmpty() ? nullptr : e.clientId.constData(), true, this);
        if (m_ == nullptr) {
            return failure(LinkFault::Refused, QString::fromLocal8Bit(std::strerror(errno)));
        }
        struct Destroy {
            mosquitto* m;
            ~Destroy() { mosquitto_destroy(m); }
        } destroy{m_};
        mosquitto_int_option(m_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
        mosquitto_int_option(m_, MOSQ_OPT_TCP_NODELAY, 1);
        if (!e.user.isEmpty()) {
            mosquitto_username_pw_set(m_, e.user.constData(),
                                      e.password.isEmpty() ? nullptr : e.password.constData());
        }
        if (!e.availabilityTopic.isEmpty() && !shared_.once) {
            mosquitto_will_set(m_, e.availabilityTopic.constData(), 7, "offline", 1, true);
        }
        if (e.tls) {
            const int rc = e.caFile.isEmpty() ? mosquitto_tls_set(m_, nullptr, "/etc/ssl/certs",
                                                                  nullptr, nullptr, nullptr)
                                              : mosquitto_tls_set(m_, e.caFile.constData(), nullptr,
                                                                  nullptr, nullptr, nullptr);
            if (rc != MOSQ_ERR_SUCCESS) {
                return failure(LinkFault::Certificate, libraryText(rc));
            }
            mosquitto_tls_opts_set(m_, 1, nullptr, nullptr);  // verify the broker
        }
        mosquitto_connect_callback_set(
            m_, [](mosquitto*, void* self, int rc) { static_cast<Session*>(self)->connack_ = rc; });
        mosquitto_publish_callback_set(m_, [](mosquitto*, void* self, int mid) {
            static_cast<Session*>(self)->acked_.push_back(mid);
        });

        errno = 0;
        int rc = mosquitto_connect_async(m_, e.host.constData(), e.port, kKeepAliveSeconds);
        if (rc != MOSQ_ERR_SUCCESS) {
            return faultOf(rc, errno, false);
        }
        const Clock::time_point answerBy = Clock::now() + milliseconds(answerTimeout.load());
        Clock::time_point goodbyeBy{};
        bool connected = false;
        bool closing = false;
        for (;;) {
            if (!closing && shared_.stopRequested()) {
                closing = true;
                goodbyeBy = Clock::now() + kGoodbyeWait;
                if (connected && !e.availabilityTopic.isEmpty() && !shared_.once) {
                    int mid = 0;
                    mosquitto_publish(m_, &mid, e.availabilityTopic.constData(), 7, "offline", 1,
                                      true);
                    goodbye_ = mid;
                }
            }
            if (closing && (!connected || goodbyeSent() || Clock::now() >= goodbyeBy)) {
                mosquitto_disconnect(m_);
                mosquitto_loop_write(m_, 1);
                return failure(LinkFault::None, {});
            }
            int timeout = 1000;
            if (!connected) {
                timeout = std::clamp<int>(
                    std::chrono::duration_cast<milliseconds>(answerBy - Clock::now()).count(), 0,
                    timeout);
            } else if (closing) {
                timeout = 20;
            }
            errno = 0;
            rc = step(timeout);
            // A refusal closes the connection right after its answer: the
            // answer says why.
            if (!connected && connack_ > 0) {
                const LinkFault fault =
                    connack_ == 4 || connack_ == 5 ? LinkFault::Credentials : LinkFault::Refused;
                return failure(fault, QString::fromUtf8(mosquitto_connack_string(connack_)));
            }
            if (rc != MOSQ_ERR_SUCCESS) {
                return faultOf(rc, errno, connected);
            }
            if (!connected && connack_ == 0) {
                connected = true;
                tell({true, LinkFault::None, {}});
                if (shared_.once) {
                    closing = true;
                    continue;
                }
                for (Slot& slot : slots_) {
                    slot.delivered = 0;
                    slot.onItsWay = 0;
                    slot.mid = -1;
                }
            }
            if (!connected && Clock::now() >= answerBy) {
                return failure(LinkFault::NoAnswer, {});
            }
            if (connected && !closing) {
                publishWaiting();
            }
        }
    }

private:
    // One turn of the connection: waits at most timeoutMs for the socket
    // or a wake-up, then reads, writes and keeps alive.
    int step(int timeoutMs) {
        const int sock = mosquitto_socket(m_);
        pollfd fds[2] = {{shared_.wakeFd, POLLIN, 0}, {sock, POLLIN, 0}};
        if (mosquitto_want_write(m_)) {
            fds[1].events |= POLLOUT;
        }
        const int n = ::poll(fds, sock >= 0 ? 2 : 1, timeoutMs);
        if (n > 0 && (fds[0].revents & POLLIN)) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t r = ::read(shared_.wakeFd, &count, sizeof count);
        }
        int rc = MOSQ_ERR_SUCCESS;
        if (sock >= 0 && n > 0 && (fds[1].revents & (POLLIN | POLLERR | POLLHUP))) {
            rc = mosquitto_loop_read(m_, 1);
        }
        if (rc == MOSQ_ERR_SUCCESS && sock >= 0 && n > 0 && (fds[1].revents & POLLOUT)) {
            rc = mosquitto_loop_write(m_, 1);
        }
        if (rc == MOSQ_ERR_SUCCESS) {
            rc = mosquitto_loop_misc(m_);
        }
        takeIncoming();
        settleAcks();
        return rc;
    }

    void takeIncoming() {
        std::vector<Message> incoming;
        {
            std::lock_guard lock(shared_.mutex);
            incoming.swap(shared_.incoming);
            shared_.woken = false;
        }
        for (Message& message : incoming) {
            auto slot = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) {
                return s.message.topic == message.topic;
            });
            if (slot == slots_.end()) {
                slots_.push_back({std::move(message)});
            } else {
                slot->message = std::move(message);
                ++slot->generation;
            }
        }
    }

    void settleAcks() {
        for (const int mid : acked_) {
            if (mid == goodbye_) {
                goodbyeAcked_ = true;
            }
            for (Slot& slot : slots_) {
                if (slot.mid == mid) {
                    slot.delivered = slot.onItsWay;
                    slot.mid = -1;
                }
            }
        }
        acked_.clear();
    }

    void publishWaiting() {
        for (Slot& slot : slots_) {
            if (slot.mid >= 0 || slot.delivered == slot.generation) {
                continue;
            }
            int mid = -1;
            const Message& m = slot.message;
            const int rc = mosquitto_publish(m_, &mid, m.topic.constData(), int(m.payload.size()),
                                             m.payload.constData(), m.qos, m.retain);
            if (rc != MOSQ_ERR_SUCCESS) {
                slot.delivered = slot.generation;  // a message the broker can never take
                continue;
            }
            slot.mid = mid;
            slot.onItsWay = slot.generation;
        }
        settleAcks();
    }

    bool goodbyeSent() const { return goodbye_ < 0 || goodbyeAcked_; }

    MqttLink::Shared& shared_;
    std::vector<Slot>& slots_;
    mosquitto* m_ = nullptr;
    int connack_ = -1;
    std::vector<int> acked_;
    int goodbye_ = -1;
    bool goodbyeAcked_ = false;
};

void runLink(const std::shared_ptr<MqttLink::Shared>& shared) {
    initLibraryOnce();
    if (shared->predecessor) {
        shared->predecessor->waitFinished(milliseconds(2000));
        shared->predecessor.reset();
    }
    std::vector<Slot> slots;
    if (!shared->endpoint.availabilityTopic.isEmpty() && !shared->once) {
        slots.push_back({{shared->endpoint.availabilityTopic, "online", 1, true}});
    }
    LinkReport last;
    bool toldAny = false;
    auto tell = [&](const LinkReport& report) {
        if (toldAny && report.connected == last.connected && report.fault == last.fault) {
            return;
        }
        toldAny = true;
        last = report;
        std::lock_guard lock(shared->mutex);
        if (shared->reporting && shared->report) {
            shared->report(report);
        }
    };

    int pauseMs = kFirstPauseMs;
    for (;;) {
        bool reached = false;
        Session session(*shared, slots);
        const LinkReport end = session.run([&](const LinkReport& r) {
            reached = true;
            tell(r);
        });
        if (shared->stopRequested()) {
            break;
        }
        if (!(shared->once && reached)) {
            tell(end);
        }
        if (shared->once) {
            break;
        }
        pauseMs = reached ? kFirstPauseMs : pauseMs;
        // The pause, cut short only by the end.
        const Clock::time_point until = Clock::now() + milliseconds(pauseMs);
        while (!shared->stopRequested() && Clock::now() < until) {
            pollfd fd{shared->wakeFd, POLLIN, 0};
            const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now());
            if (::poll(&fd, 1, int(std::max<qint64>(left.count(), 0))) > 0) {
                std::uint64_t count = 0;
                [[maybe_unused]] const ssize_t r = ::read(shared->wakeFd, &count, sizeof count);
            }
        }
        pauseMs = std::min(pauseMs * 2, kLongestPauseMs);
        if (shared->stopRequested()) {
            break;
        }
    }
    std::lock_guard lock(shared->mutex);
    shared->finished = true;
    shared->finishedChanged.notify_all();
}

}  // namespace

MqttLink::MqttLink(MqttEndpoint endpoint, std::function<void(const LinkReport&)> report, bool once,
                   const MqttLink* after)
    : shared_(std::make_shared<Shared>()) {
    shared_->endpoint = std::move(endpoint);
    shared_->report = std::move(report);
    shared_->once = once;
    if (after != nullptr) {
        shared_->predecessor = after->shared_;
    }
    shared_->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::thread(runLink, shared_).detach();
}

// A thread still in a name look-up is left to end on its own; it holds its
// own share of what it uses.
MqttLink::~MqttLink() {
    shared_->requestStop();
}

bool MqttLink::finish(int ms) {
    shared_->requestStop();
    return shared_->waitFinished(milliseconds(ms));
}

void MqttLink::publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain) {
    std::lock_guard lock(shared_->mutex);
    auto same = std::find_if(shared_->incoming.begin(), shared_->incoming.end(),
                             [&](const Message& m) { return m.topic == topic; });
    if (same != shared_->incoming.end()) {
        same->payload = payload;
        same->qos = qos;
        same->retain = retain;
    } else {
        shared_->incoming.push_back({topic, payload, qos, retain});
    }
    // One wake-up until the link's thread has looked: a burst of lines
    // costs one system call, not one each.
    if (!shared_->woken) {
        shared_->woken = true;
        shared_->wake();
    }
}

int MqttLink::answerTimeoutMs() {
    return answerTimeout.load();
}

void MqttLink::setAnswerTimeoutMs(int ms) {
    answerTimeout.store(ms);
}

}  // namespace im::remote
