// The web page's server on loopback: /api/state while 50 event streams are
// open, /api/history over a journal of 3,000,000 lines, and the memory a
// connected stream costs. Prints one figure a line as "name value unit".
//
//     build/bench/bench_web

#include "Figures.h"
#include "Loopback.h"
#include "journal/JournalStore.h"
#include "journal/RecordLine.h"
#include "remote/History.h"
#include "remote/Telemetry.h"
#include "remote/WebPublisher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace im;

namespace {

// One request on a connection of its own, answered whole: the time, and
// the body's size in bytes (0 when the answer was not a 200).
std::pair<double, qint64> timedGet(int port, const QByteArray& path) {
    QElapsedTimer clock;
    clock.start();
    const int fd = bench::connectLoopback(port);
    const QByteArray request = "GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    ::send(fd, request.constData(), std::size_t(request.size()), MSG_NOSIGNAL);
    QByteArray got;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        got.append(buffer, n);
    }
    ::close(fd);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    const qsizetype body = got.indexOf("\r\n\r\n");
    return {ms, got.startsWith("HTTP/1.1 200") && body > 0 ? got.size() - body - 4 : 0};
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// A journal of a line a second from a month and more ago, as the monitor
// writes it.
journal::JournalStore journalOf(int lines) {
    QByteArray text;
    text.reserve(qsizetype(lines) * 64);
    const QDateTime start(QDate(2026, 11, 1), QTime(0, 0));
    QDate date = start.date();
    int second = 0;
    char line[96];
    for (int i = 0; i < lines; ++i, ++second) {
        if (second == 86400) {
            second = 0;
            date = date.addDays(1);
        }
        const int t1 = 360 + (i * 7) % 40;
        const int n = std::snprintf(
            line, sizeof line,
            "T1=%d,%d  T2=%d,%d  T3=36,2  HM=%d  OUT=_2______  %02d.%02d.%02d %02d:%02d:%02d\r\n",
            t1 / 10, t1 % 10, 37, (i / 60) % 10, 45 + i % 20, date.day(), date.month(),
            date.year() % 100, second / 3600, second / 60 % 60, second % 60);
        text.append(line, n);
    }
    journal::JournalStore journal;
    journal.setFileBytes(text);
    return journal;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::printWithFullStop();
    bench::printMachineLoad("before");

    remote::Telemetry telemetry;
    remote::WebPublisher web(telemetry, QString());
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    remote::WebSettings settings;
    settings.enabled = true;
    settings.port = probe.serverPort();
    probe.close();
    QSignalSpy listening(&web, &remote::WebPublisher::listening);
    web.apply(settings);
    bench::require(listening.wait(5000), QStringLiteral("the page did not listen"));
    const int port = settings.port;

    // The journal, and its history handed to the server.
    constexpr int kLines = 3000000;
    journal::JournalStore journal = journalOf(kLines);
    bench::require(journal.lineCount() == kLines,
                   QStringLiteral("the journal holds %1 lines").arg(journal.lineCount()));
    QElapsedTimer clock;
    clock.start();
    remote::History history = remote::History::of(journal, QLatin1Char(','));
    std::printf("history_of_3M_lines_ms %.0f ms (%zu minutes)\n",
                double(clock.nsecsElapsed()) / 1e6, history.minuteCount());
    bench::require(history.minuteCount() == std::size_t(kLines / 60),
                   QStringLiteral("the history holds %1 minutes").arg(history.minuteCount()));
    web.replaceHistory(std::move(history));

    // 50 streams, read on a thread of their own while lines come.
    std::vector<int> streams;
    const qint64 before = residentBytes();
    for (int i = 0; i < 50; ++i) {
        streams.push_back(bench::connectLoopback(port));
        ::send(streams.back(), "GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n", 37, MSG_NOSIGNAL);
    }
    std::atomic<bool> reading{true};
    std::atomic<qint64> eventBytes{0};
    std::thread reader([&] {
        std::vector<pollfd> fds;
        for (int fd : streams) {
            fds.push_back({fd, POLLIN, 0});
        }
        char buffer[65536];
        while (reading) {
            if (::poll(fds.data(), fds.size(), 50) > 0) {
                for (pollfd& p : fds) {
                    if (p.revents & POLLIN) {
                        eventBytes += std::max<ssize_t>(::recv(p.fd, buffer, sizeof buffer, 0), 0);
                    }
                }
            }
        }
    });
    QTest::qWait(500);
    std::printf("memory_per_stream %.1f KiB (resident growth with 50 streams open)\n",
                double(residentBytes() - before) / 50 / 1024);

    const QDateTime now = QDateTime::currentDateTime();
    std::vector<double> state;
    int line = 0;
    for (int i = 0; i < 1000; ++i) {
        if (i % 10 == 0) {
            telemetry.recordLine({0x02, 370 + line % 10, 365, 362, 55}, now.addSecs(line));
            ++line;
            QCoreApplication::processEvents();
        }
        const auto [ms, bytes] = timedGet(port, "/api/state");
        bench::require(bytes > 100, QStringLiteral("/api/state gave no state"));
        state.push_back(ms);
    }
    std::printf("api_state_p50 %.2f ms (1000 requests, 50 streams open)\n", percentile(state, 0.5));
    std::printf("api_state_p99 %.2f ms\n", percentile(state, 0.99));

    std::vector<double> whole;
    for (int i = 0; i < 20; ++i) {
        const auto [ms, bytes] = timedGet(port, "/api/history?points=1000");
        bench::require(bytes > 1000 * 40, QStringLiteral("the history answer is short"));
        whole.push_back(ms);
    }
    std::printf("api_history_3M_lines_median %.2f ms (1000 points over 3,000,000 lines)\n",
                percentile(whole, 0.5));
    std::printf("api_history_3M_lines_max %.2f ms\n",
                *std::max_element(whole.begin(), whole.end()));
    reading = false;
    reader.join();
    bench::require(eventBytes > 50 * 100,
                   QStringLiteral("the streams received %1 bytes").arg(eventBytes.load()));
    for (int fd : streams) {
        ::close(fd);
    }
    return 0;
}
