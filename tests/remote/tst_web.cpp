#include "journal/JournalStore.h"
#include "journal/RecordLine.h"
#include "remote/History.h"
#include "remote/JournalHistory.h"
#include "remote/LocalTime.h"
#include "remote/Telemetry.h"
#include "remote/WebPublisher.h"
#include "remote/WebServer.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using namespace im;
using remote::WebSettings;

namespace {

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

// A client on a plain socket, as hostile as a test makes it; usable from
// any thread.
struct Client {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    explicit Client(int port, int receiveBuffer = 0) {
        if (receiveBuffer > 0) {
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        }
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(quint16(port));
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Client() { ::close(fd); }
    // All of it, or as much as the server took before it closed.
    qint64 send(QByteArrayView data) const {
        qint64 sent = 0;
        while (sent < data.size()) {
            const ssize_t n =
                ::send(fd, data.data() + sent, std::size_t(data.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += n;
        }
        return sent;
    }
    // What arrives until the server closes, or until a whole response (by
    // its length) is in, or the time is up.
    QByteArray receive(int timeoutMs, bool wholeResponse = true) const {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) {
                continue;
            }
            char buffer[65536];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            got.append(buffer, n);
            const qsizetype end = got.indexOf("\r\n\r\n");
            const qsizetype at = got.indexOf("Content-Length: ");
            if (wholeResponse && end > 0 && at > 0 && at < end &&
                got.size() >= end + 4 + got.mid(at + 16, end).split('\r').value(0).toLongLong()) {
                break;
            }
        }
        return got;
    }
    bool closedWithin(int timeoutMs) const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buffer[65536];
                if (::recv(fd, buffer, sizeof buffer, 0) <= 0) {
                    return true;
                }
            }
        }
        return false;
    }
};

int statusOf(const QByteArray& response) {
    return response.mid(9, 3).toInt();
}
QByteArray bodyOf(const QByteArray& response) {
    return response.mid(response.indexOf("\r\n\r\n") + 4);
}
QByteArray get(int port, const QByteArray& path, const QByteArray& headers = {}) {
    Client c(port);
    c.send("GET " + path + " HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n");
    return c.receive(3000);
}

// The page of a program: telemetry and its publisher, on a free port.
struct Page {
    QTemporaryDir dir;
    remote::Telemetry telemetry;
    remote::WebPublisher web{telemetry, dir.filePath(QStringLiteral("log"))};
    int port = freePort();
    WebSettings settings;
    explicit Page(const QString& listen = QStringLiteral("127.0.0.1")) {
        settings.enabled = true;
        settings.listen = listen;
        settings.port = port;
        settings.token = WebSettings::newToken();
        QSignalSpy listening(&web, &remote::WebPublisher::listening);
        web.apply(settings);
        if (!listening.wait(5000)) {
            qFatal("the page did not listen");
        }
    }
    void record(int i) {
        telemetry.recordLine({0x02, 370 + i % 10, 365, 362, 55},
                             QDateTime(QDate(2026, 12, 8), QTime(9, 0)).addSecs(i));
    }
};

}  // namespace

class TestWeb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // On the network the token is needed, in the address or in the cookie
    // the address sets; anything else gets 401 and nothing of the program.
    // On loopback, nothing is needed.
    void tokenRules() {
        Page open;
        QCOMPARE(statusOf(get(open.port, "/api/state")), 200);
        Page farm(QStringLiteral("0.0.0.0"));
        const QByteArray token = farm.settings.token.toLatin1();
        QByteArray wrong = token;
        wrong[0] = wrong[0] == 'a' ? 'b' : 'a';
        const struct {
            QByteArray path, headers;
            int status;
        } cases[] = {{"/api/state", {}, 401},
                     {"/api/state?t=" + wrong, {}, 401},
                     {"/api/state?t=" + token.left(16), {}, 401},
                     {"/", "Cookie: im_token=" + wrong + "\r\n", 401},
                     {"/api/state?t=" + token, {}, 200},
                     {"/", "Cookie: a=b; im_token=" + token + "\r\n", 200}};
        for (const auto& c : cases) {
            const QByteArray response = get(farm.port, c.path, c.headers);
            QVERIFY2(statusOf(response) == c.status, c.path + "\n" + response.left(300));
            QCOMPARE(bodyOf(response).contains("\"receiving\": "),
                     c.status == 200 && c.path.startsWith("/api/state"));
        }
        const QByteArray withToken = get(farm.port, "/api/state?t=" + token);
        QVERIFY(withToken.contains("Set-Cookie: im_token=" + token +
                                   "; HttpOnly; SameSite=Strict; Path=/\r\n"));
        QVERIFY(withToken.contains("Content-Security-Policy: default-src 'self'"));
    }

    // Only the day files' exact names reach the disk, nothing beside them
    // and nothing through a link; only GET is served.
    void fileNames() {
        Page page;
        QDir().mkpath(page.dir.filePath(QStringLiteral("log")));
        test::writeFile(page.dir.filePath(QStringLiteral("log/2026-12-08.txt")), "T1=37,5\r\n");
        test::writeFile(page.dir.filePath(QStringLiteral("secret.ini")), "Password=x\n");
        QFile::link(page.dir.filePath(QStringLiteral("secret.ini")),
                    page.dir.filePath(QStringLiteral("log/2026-12-09.txt")));
        const struct {
            QByteArray request;
            int status;
        } cases[] = {{"GET /log/2026-12-08.txt", 200},
                     {"GET /log/../secret.ini", 404},
                     {"GET /log/%2e%2e/secret.ini", 404},
                     {"GET /log/..%2fsecret.ini", 404},
                     {"GET /log/2026-12-09.txt", 404},
                     {"GET /log/2026-12-08.txt.bak", 404},
                     {"GET /log/20261208.txt", 404},
                     {"GET /etc/passwd", 404},
                     {"POST /api/state", 405},
                     {"GET /api/history?from=x", 400}};
        for (const auto& c : cases) {
            Client client(page.port);
            client.send(c.request + " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
            const QByteArray response = client.receive(3000);
            QVERIFY2(statusOf(response) == c.status, c.request + "\n" + response.left(200));
            QVERIFY(!response.contains("Password"));
        }
        QCOMPARE(bodyOf(get(page.port, "/log/2026-12-08.txt")), QByteArray("T1=37,5\r\n"));
        const QJsonArray files = QJsonDocument::fromJson(bodyOf(get(page.port, "/log/"))).array();
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0]["name"].toString(), QStringLiteral("2026-12-08.txt"));
        QCOMPARE(files[0]["bytes"].toInt(), 9);
    }

    // The state and its events: every recorded line and every alarm change
    // reaches a stream, as the same JSON the state gives.
    void stateAndEvents() {
        Page page;
        Client stream(page.port);
        stream.send("GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(stream.receive(2000, false).contains("text/event-stream"));
        page.record(7);
        page.telemetry.setAlarms({true, false, false, false});
        QByteArray events;
        QVERIFY(QTest::qWaitFor(
            [&] {
                events += stream.receive(50, false);
                return events.contains("event: alarm");
            },
            3000));
        const QByteArray state = bodyOf(get(page.port, "/api/state"));
        QVERIFY2(events.endsWith("event: alarm\ndata: " + state + "\n\n"), events);
        const QJsonObject s = QJsonDocument::fromJson(state).object();
        QCOMPARE(s["t1"].toDouble(), 37.7);
        QCOMPARE(s["alarm"]["t1"].toBool(), true);
        QVERIFY(events.contains("event: line\ndata: {\"time\": \"2026-12-08T09:00:07"));
    }

    // The history's envelopes are those of the lines in each bucket: the
    // minimum and the maximum of every value, found here by brute force.
    void historyEnvelopes_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("fromMinute");
        QTest::addColumn<int>("toMinute");
        QTest::newRow("whole, 7 buckets") << 7 << -1 << -1;
        QTest::newRow("one hour, 1000 asked") << 1000 << 30 << 89;
        QTest::newRow("one bucket") << 1 << 100 << 119;
    }
    void historyEnvelopes() {
        QFETCH(int, points);
        QFETCH(int, fromMinute);
        QFETCH(int, toMinute);
        const QDateTime start(QDate(2026, 12, 8), QTime(6, 0));
        remote::History history;
        struct Sample {
            qint64 minute;
            remote::Values v;
        };
        std::vector<Sample> samples;
        for (int s = 0; s < 3 * 3600; s += 7) {
            const remote::Values v{qint16(350 + (s * 13) % 70), qint16(360 + (s * 7) % 30),
                                   qint16(300 + s % 11), qint16(40 + (s / 60) % 30)};
            history.add(remote::wallSecondsOf(start) + s, v);
            samples.push_back({s / 60, v});
        }
        auto ms = [&](int minute) { return start.addSecs(minute * 60).toMSecsSinceEpoch(); };
        const QJsonObject reply =
            QJsonDocument::fromJson(
                history.json(fromMinute < 0 ? std::nullopt : std::optional(ms(fromMinute)),
                             toMinute < 0 ? std::nullopt : std::optional(ms(toMinute) + 59999),
                             points))
                .object();
        const QJsonArray got = reply["points"].toArray();
        QVERIFY(got.size() <= points);
        const qint64 first = fromMinute < 0 ? 0 : fromMinute;
        const qint64 last = toMinute < 0 ? 179 : toMinute;
        QCOMPARE(got.size(), std::min<qint64>(points, last - first + 1));
        for (qsizetype b = 0; b < got.size(); ++b) {
            const QJsonArray p = got[b].toArray();
            const qint64 bucketStart = (p[0].toInteger() - ms(0)) / 60000;
            const qint64 bucketEnd =
                b + 1 < got.size() ? (got[b + 1][0].toInteger() - ms(0)) / 60000 : last + 1;
            for (int v = 0; v < 4; ++v) {
                int lo = INT_MAX, hi = INT_MIN;
                for (const Sample& s : samples) {
                    if (s.minute >= bucketStart && s.minute < bucketEnd) {
                        lo = std::min<int>(lo, s.v[v]);
                        hi = std::max<int>(hi, s.v[v]);
                    }
                }
                const double scale = v == 3 ? 1 : 10;
                QCOMPARE(p[1 + 2 * v].toDouble(), lo / scale);
                QCOMPARE(p[2 + 2 * v].toDouble(), hi / scale);
            }
        }
    }

    // A journal's lines by the minute, read the way the chart reads them.
    void historyOfAJournal() {
        journal::JournalStore journal;
        const QDateTime at(QDate(2026, 12, 8), QTime(10, 0, 30));
        for (int i = 0; i < 5; ++i) {
            journal.append(journal::makeRecordLine(370 + i, 365, 362, 50 + i,
                                                   QStringLiteral("_2______"), at.addSecs(i * 20)));
        }
        journal.append(QStringLiteral("a note typed in"));
        const remote::History history =
            remote::History::of(journal, journal::decimalSeparator().at(0));
        QCOMPARE(history.minuteCount(), std::size_t(2));  // 10:00:30..10:00:50, 10:01:10..
        const QJsonArray p =
            QJsonDocument::fromJson(history.json(std::nullopt, std::nullopt, 1))["points"]
                .toArray()[0]
                .toArray();
        QCOMPARE(p[0].toInteger(), QDateTime(at.date(), QTime(10, 0)).toMSecsSinceEpoch());
        QCOMPARE(p[1].toDouble(), 37.0);
        QCOMPARE(p[2].toDouble(), 37.4);
        QCOMPARE(p[8].toInt(), 54);

        // The same lines from day files (a stray file beside them is left
        // alone), and joined twice: the same envelopes.
        QTemporaryDir dir;
        test::writeFile(dir.filePath(QStringLiteral("2026-12-08.txt")), journal.toBytes());
        test::writeFile(dir.filePath(QStringLiteral("notes.txt")), journal.toBytes());
        remote::History files =
            remote::History::ofDayFiles(dir.path(), journal::decimalSeparator().at(0));
        const QByteArray whole = history.json(std::nullopt, std::nullopt, 100);
        QCOMPARE(files.json(std::nullopt, std::nullopt, 100), whole);
        files.merge(history);
        QCOMPARE(files.json(std::nullopt, std::nullopt, 100), whole);
    }

    // An opened or edited journal becomes the page's history, lines appended
    // while it is read included; appends alone change nothing but the end.
    void historyFollowsTheJournal() {
        Page page;
        journal::JournalStore journal;
        remote::JournalHistory follower(journal, page.web);
        const QDateTime at(QDate(2026, 12, 1), QTime(8, 0));
        for (int i = 0; i < 3; ++i) {
            journal.append(journal::makeRecordLine(300 + i, 365, 362, 50,
                                                   QStringLiteral("________"), at.addDays(i)));
        }
        follower.rewritten();
        journal.append(
            journal::makeRecordLine(399, 365, 362, 50, QStringLiteral("________"), at.addDays(3)));
        auto days = [&] {
            return QJsonDocument::fromJson(
                       bodyOf(get(page.port, "/api/history?points=10")))["points"]
                .toArray()
                .size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(days(), 4, 5000);
    }

    // Hostile clients, each on a thread of its own as a real one would be:
    // a megabyte of headers, a request never finished, a thousand
    // connections at once, a stream never read. Each is refused or let go,
    // none costs the interface thread a pause, and the page still answers.
    void hostileClients() {
        remote::WebServer::setRequestTimeoutMs(500);
        Page page;
        std::atomic<int> done{0};
        QStringList failures;
        std::mutex failuresMutex;
        auto fail = [&](const QString& why) {
            std::lock_guard lock(failuresMutex);
            failures << why;
        };
        std::vector<std::thread> clients;
        clients.emplace_back([&] {
            Client c(page.port);
            const qint64 sent =
                c.send("GET / HTTP/1.1\r\nX-Big: " + QByteArray(1 << 20, 'a') + "\r\n\r\n");
            const QByteArray answer = c.receive(2000);
            if (sent == (1 << 20) + 30 && statusOf(answer) != 431) {
                fail(QStringLiteral("a megabyte of headers was taken"));
            }
            ++done;
        });
        clients.emplace_back([&] {
            Client c(page.port);
            c.send("GET / HTTP/1.1\r\nHost: x\r\n");
            if (!c.closedWithin(3000)) {
                fail(QStringLiteral("an unfinished request kept its connection"));
            }
            ++done;
        });
        clients.emplace_back([&] {
            std::vector<std::unique_ptr<Client>> many;
            for (int i = 0; i < 1000; ++i) {
                many.push_back(std::make_unique<Client>(page.port));
            }
            int closed = 0;
            for (auto& c : many) {
                closed += c->closedWithin(5);
            }
            if (closed < 1000 - remote::WebServer::kMaxConnections) {
                fail(QStringLiteral("%1 of 1000 connections refused").arg(closed));
            }
            ++done;
        });
        clients.emplace_back([&] {
            Client c(page.port, 4096);
            c.send("GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n");
            // Never read while the states pour out; then the stream must
            // have been cut.
            QThread::msleep(2500);
            QByteArray rest;
            QElapsedTimer clock;
            clock.start();
            bool ended = false;
            while (!ended && clock.elapsed() < 3000) {
                char buffer[65536];
                pollfd p{c.fd, POLLIN, 0};
                if (::poll(&p, 1, 50) > 0) {
                    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
                    ended = n <= 0;
                    rest.append(buffer, std::max<ssize_t>(n, 0));
                }
            }
            if (!ended || rest.size() > 4 * remote::WebServer::kMaxQueuedBytes) {
                fail(QStringLiteral("a stream never read was kept (%1 bytes)").arg(rest.size()));
            }
            ++done;
        });
        int line = 0;
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longest = 0;
        while (done < int(clients.size()) && clock.elapsed() < 20000) {
            // States as fast as a busy line gives them, with alarms between.
            for (int i = 0; i < 20; ++i) {
                page.record(line++);
            }
            page.telemetry.setAlarms({line % 40 == 0, false, false, false});
            QTest::qWait(5);
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        }
        for (std::thread& t : clients) {
            t.join();
        }
        remote::WebServer::setRequestTimeoutMs(10000);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QVERIFY2(longest < 100, qPrintable(QString::number(longest)));
        QCOMPARE(statusOf(get(page.port, "/api/state")), 200);
    }
};

IM_TEST_MAIN(TestWeb)
#include "tst_web.moc"
