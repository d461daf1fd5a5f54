#include "support/Broker.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace im::test {

namespace {

constexpr int kWaitMs = 5000;

QString program(const QString& usual, const QString& name) {
    return QFileInfo(usual).isExecutable() ? usual : QStandardPaths::findExecutable(name);
}

// Runs a program, without a shell, for at most kWaitMs.
bool run(const QString& prog, const QStringList& args, QString* error) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(prog, args);
    const bool finished = p.waitForStarted(kWaitMs) && p.waitForFinished(kWaitMs);
    if (finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
        return true;
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(kWaitMs);
    }
    if (error) {
        *error = QStringLiteral("%1 %2: %3, exit code %4\n%5")
                     .arg(prog, args.join(' '), p.errorString(), QString::number(p.exitCode()),
                          QString::fromLocal8Bit(p.readAll()));
    }
    return false;
}

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<quint16>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A port nothing listens on now: the one the kernel gives to a bind to port 0.
int freePort() {
    sockaddr_in a = loopback(0);
    socklen_t size = sizeof a;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
        port = ntohs(a.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

bool accepts(int port) {
    const sockaddr_in a = loopback(port);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return ok;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

std::optional<Certificates> Certificates::make(const QString& folder, QString* error) {
    const QDir dir(folder);
    const QString openssl = program(QStringLiteral("/usr/bin/openssl"), QStringLiteral("openssl"));
    const QStringList newKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes"};
    auto authority = [&](const QString& name) {
        return run(openssl,
                   QStringList{"req", "-x509"} + newKey +
                       QStringList{"-keyout", dir.filePath(name + ".key"), "-out",
                                   dir.filePath(name + ".crt"), "-days", "2", "-subj",
                                   "/CN=" + name, "-addext", "basicConstraints=critical,CA:TRUE",
                                   "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
                   error);
    };
    auto server = [&](const QString& name, const QString& host, const QString& altNames,
                      int serial) {
        const QString base = dir.filePath(name);
        QFile ext(base + ".ext");
        if (!ext.open(QIODevice::WriteOnly) ||
            ext.write("basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\nsubjectAltName=" +
                      altNames.toUtf8() + '\n') < 0) {
            return false;
        }
        ext.close();
        return run(openssl,
                   QStringList{"req", "-new"} + newKey +
                       QStringList{"-keyout", base + ".key", "-out", base + ".csr", "-subj",
                                   "/CN=" + host},
                   error) &&
               run(openssl,
                   {"x509", "-req", "-in", base + ".csr", "-CA", dir.filePath("ca.crt"), "-CAkey",
                    dir.filePath("ca.key"), "-set_serial", QString::number(serial), "-days", "2",
                    "-out", base + ".crt", "-extfile", base + ".ext"},
                   error);
    };
    if (!authority("ca") || !authority("other-ca") ||
        !server("server", "localhost", "DNS:localhost,IP:127.0.0.1", 2) ||
        !server("elsewhere", "elsewhere.invalid", "DNS:elsewhere.invalid", 3)) {
        return std::nullopt;
    }
    const QStringList files = dir.entryList({"*.crt", "*.key"}, QDir::Files);
    for (const QString& name : files) {
        QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ReadGroup | QFile::ReadOther);
    }
    return Certificates{dir.filePath("ca.crt"),        dir.filePath("ca.key"),
                        dir.filePath("server.crt"),    dir.filePath("server.key"),
                        dir.filePath("elsewhere.crt"), dir.filePath("elsewhere.key"),
                        dir.filePath("other-ca.crt")};
}

Broker::Broker(Options options)
    : options_(std::move(options)), port_(options_.port ? options_.port : freePort()) {}

Broker::~Broker() {
    kill();
}

bool Broker::start() {
    if (running()) {
        return true;
    }
    if (!dir_.isValid() || port_ == 0) {
        failure_ = QStringLiteral("no temporary folder or no free port");
        return false;
    }
    failure_.clear();
    const QDir dir(dir_.path());
    const QString logFile = dir.filePath("mosquitto.log");
    // Mosquitto started as root becomes the user "mosquitto" before it opens
    // its log and key files, and that user cannot enter a private temporary
    // folder: it stays the user running the test.
    const passwd* me = ::getpwuid(::geteuid());
    QStringList conf{QStringLiteral("listener %1 127.0.0.1").arg(port_),
                     "persistence false",
                     "log_dest file " + logFile,
                     "log_type all",
                     "user " + QString::fromLocal8Bit(me ? me->pw_name : "root"),
                     options_.user.isEmpty() ? "allow_anonymous true" : "allow_anonymous false"};
    if (!options_.user.isEmpty()) {
        const QString passwords = dir.filePath("passwords");
        const QString tool = program("/usr/bin/mosquitto_passwd", "mosquitto_passwd");
        if (!run(tool, {"-b", "-c", passwords, options_.user, options_.password}, &failure_)) {
            return false;
        }
        conf << "password_file " + passwords;
    }
    if (options_.tls) {
        if (!certs_) {
            certs_ = Certificates::make(dir_.path(), &failure_);
        }
        if (!certs_) {
            return false;
        }
        const bool matching = options_.cert == ServerCert::Matching;
        conf << "cafile " + certs_->ca
             << "certfile " + (matching ? certs_->server : certs_->otherName)
             << "keyfile " + (matching ? certs_->serverKey : certs_->otherNameKey);
    }
    QFile confFile(dir.filePath("mosquitto.conf"));
    if (!confFile.open(QIODevice::WriteOnly) ||
        confFile.write(conf.join('\n').toUtf8() + '\n') < 0) {
        failure_ = "cannot write " + confFile.fileName();
        return false;
    }
    confFile.close();

    // The log keeps growing across restarts: only what follows counts.
    const qint64 logSize = QFileInfo(logFile).size();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(dir.filePath("output"), QIODevice::Append);
    process_.start(program("/usr/sbin/mosquitto", "mosquitto"), {"-c", confFile.fileName()});
    const QDeadlineTimer deadline(kWaitMs);
    if (process_.waitForStarted(kWaitMs)) {
        while (running() && !deadline.hasExpired()) {
            // "running" follows the opening of every listener; a connection
            // alone could be taken by another program on a fixed port.
            if (readAll(logFile).mid(logSize).contains(" running") && accepts(port_)) {
                return true;
            }
            process_.waitForFinished(20);
        }
    }
    failure_ = QStringLiteral("mosquitto exited or took no connection on port %1 within %2 ms")
                   .arg(port_)
                   .arg(kWaitMs);
    kill();
    return false;
}

void Broker::stop() {
    if (running()) {
        process_.terminate();
        if (!process_.waitForFinished(kWaitMs)) {
            kill();
        }
    }
}

void Broker::kill() {
    if (running()) {
        process_.kill();
        process_.waitForFinished(kWaitMs);
    }
}

QString Broker::log() const {
    const QDir dir(dir_.path());
    return QString::fromLocal8Bit(readAll(dir.filePath("mosquitto.log")) +
                                  readAll(dir.filePath("output"))) +
           failure_;
}

Subscriber::Subscriber(int port, Options options) : port_(port), options_(std::move(options)) {
    static std::once_flag initialized;
    std::call_once(initialized, [] { mosquitto_lib_init(); });
    clock_.start();
    mosq_ = mosquitto_new(nullptr, true, this);
    mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
    mosquitto_connect_callback_set(mosq_, [](mosquitto*, void* self, int rc) {
        auto* s = static_cast<Subscriber*>(self);
        if (rc == 0) {
            s->subscribe();
            return;
        }
        s->fail(QString::fromUtf8(mosquitto_connack_string(rc)));
    });
    mosquitto_subscribe_callback_set(mosq_,
                                     [](mosquitto*, void* self, int mid, int n, const int* qos) {
                                         auto* s = static_cast<Subscriber*>(self);
                                         const bool granted = n == 1 && qos[0] < 0x80;
                                         {
                                             std::lock_guard lock(s->mutex_);
                                             if (mid != s->pendingMid_) {
                                                 return;
                                             }
                                             s->subscribed_ = granted;
                                         }
                                         if (!granted) {
                                             s->fail(QStringLiteral("subscription refused"));
                                         }
                                     });
    mosquitto_disconnect_callback_set(mosq_, [](mosquitto*, void* self, int rc) {
        if (rc != MOSQ_ERR_SUCCESS) {
            static_cast<Subscriber*>(self)->fail(QString::fromUtf8(mosquitto_strerror(rc)));
        }
    });
    // Where a TLS handshake failed: the host name, or the certificate chain.
    mosquitto_log_callback_set(mosq_, [](mosquitto*, void* self, int level, const char* text) {
        if (level & MOSQ_LOG_ERR) {
            static_cast<Subscriber*>(self)->fail(QString::fromUtf8(text), true);
        }
    });
    mosquitto_message_callback_set(mosq_, [](mosquitto*, void* self, const mosquitto_message* m) {
        auto* s = static_cast<Subscriber*>(self);
        Message message{m->topic, QByteArray(static_cast<const char*>(m->payload), m->payloadlen),
                        m->retain, s->nowMs()};
        std::lock_guard lock(s->mutex_);
        s->messages_.push_back(std::move(message));
    });
}

Subscriber::~Subscriber() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, true);  // it may be retrying while the broker is away
    mosquitto_destroy(mosq_);
}

// After every accepted connection, the first one on the test's thread.
void Subscriber::subscribe() {
    int mid = 0;
    const int rc = mosquitto_subscribe(mosq_, &mid, filter_.constData(), 1);
    std::lock_guard lock(mutex_);
    subscribed_ = false;
    pendingMid_ = rc == MOSQ_ERR_SUCCESS ? mid : -1;
}

void Subscriber::fail(const QString& why, bool noteOnly) {
    std::lock_guard lock(mutex_);
    if (errors_.isEmpty() || errors_.last() != why) {
        errors_ << why;
    }
    if (!noteOnly) {
        subscribed_ = false;
        refused_ = true;
    }
}

bool Subscriber::connectAndSubscribe(const QString& filter) {
    {
        std::lock_guard lock(mutex_);
        filter_ = filter.toUtf8();
        subscribed_ = refused_ = false;
        errors_.clear();
    }
    int rc = MOSQ_ERR_SUCCESS;
    if (!options_.user.isEmpty()) {
        rc = mosquitto_username_pw_set(mosq_, options_.user.toUtf8().constData(),
                                       options_.password.toUtf8().constData());
    }
    if (rc == MOSQ_ERR_SUCCESS && !options_.caFile.isEmpty()) {
        rc = mosquitto_tls_set(mosq_, QFile::encodeName(options_.caFile).constData(), nullptr,
                               nullptr, nullptr, nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_connect(mosq_, options_.host.toUtf8().constData(), port_, 30);
    }
    // The first connection runs here: the network thread would quietly retry
    // a refused one.
    auto settled = [this] {
        std::lock_guard lock(mutex_);
        return subscribed_ || refused_;
    };
    const QDeadlineTimer deadline(kWaitMs);
    while (rc == MOSQ_ERR_SUCCESS && !settled() && !deadline.hasExpired()) {
        rc = mosquitto_loop(mosq_, 20, 1);
    }
    if (rc == MOSQ_ERR_ERRNO) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    } else if (rc != MOSQ_ERR_SUCCESS) {
        fail(QString::fromUtf8(mosquitto_strerror(rc)));
    } else if (!settled()) {
        fail(QStringLiteral("no SUBACK within %1 ms").arg(kWaitMs));
    }
    std::unique_lock lock(mutex_);
    const bool subscribed = subscribed_;
    lock.unlock();
    return subscribed && mosquitto_loop_start(mosq_) == MOSQ_ERR_SUCCESS;
}

QString Subscriber::error() const {
    std::lock_guard lock(mutex_);
    return errors_.join(QStringLiteral("; "));
}

std::vector<Subscriber::Message> Subscriber::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::optional<Subscriber::Message> Subscriber::last(const QByteArray& topic) const {
    std::lock_guard lock(mutex_);
    for (auto m = messages_.rbegin(); m != messages_.rend(); ++m) {
        if (m->topic == topic) {
            return *m;
        }
    }
    return std::nullopt;
}

std::optional<Subscriber::Message> Subscriber::waitFor(
    const QByteArray& topic, const std::function<bool(const QByteArray&)>& accept, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        for (const Message& m : messages()) {
            if (m.topic == topic && (!accept || accept(m.payload))) {
                return m;
            }
        }
        if (deadline.hasExpired()) {
            return std::nullopt;
        }
        QTest::qWait(10);  // the code under test runs on this thread's event loop
    }
}

void Subscriber::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

}  // namespace im::test
