// The real monitor live on a pseudo-terminal that this program plays the
// controller on: one frame a second for two minutes, then 50 a second for
// ten minutes, then 200 a second for a minute. Every frame sent must become
// a journal line in the day files; the monitor's CPU use and memory growth
// are read from /proc. Prints one figure a line as "name value unit".
//
//     build/bench/bench_live [--minutes-scale F] [--mqtt] [--web] [--alarm]
//                            [--monitor PATH]
//
// F < 1 shortens each phase. Each phase is measured in six windows of equal
// length: its figure is their median (the first window of the first phase
// holds the monitor's first balloon, sound and paints), with the lowest and
// highest and the mean of the whole phase beside it. --monitor runs another
// build of the monitor, for a figure before a change beside one after it. With --mqtt the monitor
// also publishes to a broker on loopback, and a subscriber counts the states it receives; with
// --web it serves its web page, and ten clients follow its event stream.
// With --alarm the T1 band is below the values sent, so that a T1 alarm is
// latched and blinks (and its sound plays) through every phase; the page,
// on with no client, shows at the end that it was.

#include "Figures.h"
#include "Loopback.h"
#include "common/PseudoTerminal.h"
#include "support/Broker.h"
#include "support/Fakes.h"
#include "support/Frames.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>
#include <thread>
#include <vector>

using namespace im;

namespace {

// Nanoseconds on a processor of each thread of the process that runs now.
using ThreadTimes = QMap<QString, qint64>;

struct Usage {
    double cpuSeconds;  // every thread's, also those that ended, in clock ticks
    ThreadTimes threads;
    double rssBytes;
};

ThreadTimes threadTimesOf(qint64 pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    ThreadTimes times;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly)) {
            times[task] = schedstat.readAll().split(' ').value(0).toLongLong();
        }
    }
    return times;
}

// Seconds on a processor between two readings, to the nanosecond: a window
// of ten seconds at one frame a second is a few milliseconds, finer than the
// clock ticks of the process's own count. A thread made meanwhile counts
// whole; one that ended, since the reading before (pooled threads end
// after idling).
double secondsBetween(const ThreadTimes& from, const ThreadTimes& to) {
    qint64 ns = 0;
    for (auto t = to.cbegin(); t != to.cend(); ++t) {
        ns += t.value() - from.value(t.key(), 0);
    }
    return double(ns) / 1e9;
}

Usage usageOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!stat.open(QIODevice::ReadOnly) || !statm.open(QIODevice::ReadOnly)) {
        return {0, {}, 0};
    }
    // Fields after the command name, which is in parentheses.
    const QByteArray s = stat.readAll();
    const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(f.value(11).toLongLong() + f.value(12).toLongLong());
    const QList<QByteArray> m = statm.readAll().split(' ');
    return {ticks / double(sysconf(_SC_CLK_TCK)), threadTimesOf(pid),
            double(m.value(1).toLongLong()) * double(sysconf(_SC_PAGESIZE))};
}

// Whether the process holds the device open.
bool holdsOpen(qint64 pid, const QString& device) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == device) {
            return true;
        }
    }
    return false;
}

// Bytes sent that no reader of the device has taken yet.
int waitingBytes(const tools::PseudoTerminal& pty) {
    int n = 0;
    return ::ioctl(pty.keeperFd(), FIONREAD, &n) == 0 ? n : -1;
}

// Waits, for at most that long, until the condition holds; whether it does.
template <typename Condition>
bool waitUntil(Condition&& holds, int ms) {
    QElapsedTimer t;
    t.start();
    while (!holds() && t.elapsed() < ms) {
        QThread::msleep(20);
    }
    return holds();
}

// Sends frames at a steady rate for the given seconds; the humidity field
// carries the phase's mark so that the day files tell the phases apart.
qint64 play(tools::PseudoTerminal& pty, int perSecond, double seconds, int mark) {
    const qint64 count = qint64(perSecond * seconds);
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    const long step = 1000000000L / perSecond;
    for (qint64 i = 0; i < count; ++i) {
        const int t1 = 603 + int(i % 17) - 8;
        pty.send(test::bytesOf(test::makeFrame(0x02, t1, t1 - 2, 370, mark)));
        next.tv_nsec += step;
        while (next.tv_nsec >= 1000000000L) {
            next.tv_nsec -= 1000000000L;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
    return count;
}

// The monitor's state as its web page gives it.
QByteArray alarmOf(int port) {
    const int fd = bench::connectLoopback(port);
    const char request[] = "GET /api/state HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    ::send(fd, request, sizeof request - 1, MSG_NOSIGNAL);
    QByteArray got;
    char buffer[4096];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        got.append(buffer, n);
    }
    ::close(fd);
    return got.mid(got.indexOf("\r\n\r\n") + 4);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::printWithFullStop();
    bench::printMachineLoad("before");
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--minutes-scale"));
    const double scale = at > 0 ? args.value(at + 1).toDouble() : 1.0;
    const qsizetype other = args.indexOf(QStringLiteral("--monitor"));
    const QString built = other > 0 ? args.value(other + 1) : QStringLiteral(IM_MONITOR_PATH);

    QTemporaryDir dir;
    const QString monitor = dir.path() + QStringLiteral("/incubator-monitor");
    if (!QFile::copy(built, monitor)) {
        std::fprintf(stderr, "bench_live: cannot copy the monitor\n");
        return 1;
    }
    tools::PseudoTerminal pty;
    QByteArray ini = "[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                     "\nOpenStart=1\nKeepAwake=0\n[LogFile]\nTime=1\n";
    std::optional<test::Broker> broker;
    std::optional<test::Subscriber> subscriber;
    if (app.arguments().contains(QStringLiteral("--mqtt"))) {
        broker.emplace();
        bench::require(broker->start(), QStringLiteral("the broker did not start"));
        subscriber.emplace(broker->port());
        bench::require(subscriber->connectAndSubscribe(QStringLiteral("incubator/live/state")),
                       subscriber->error());
        ini += "[Mqtt]\nEnabled=1\nHost=127.0.0.1\nName=live\nPort=" +
               QByteArray::number(broker->port()) + '\n';
    }
    QTcpServer probe;  // a free port for the page
    probe.listen(QHostAddress::LocalHost);
    const int webPort = probe.serverPort();
    probe.close();
    const bool web = app.arguments().contains(QStringLiteral("--web"));
    const bool alarm = app.arguments().contains(QStringLiteral("--alarm"));
    if (alarm) {
        ini += "[Alarm]\nT1_HI=375\n";
    }
    if (web || alarm) {
        ini += "[Web]\nEnabled=1\nListen=127.0.0.1\nPort=" + QByteArray::number(webPort) + '\n';
    }
    test::writeFile(dir.path() + QStringLiteral("/incubator-monitor.ini"), ini);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("DISPLAY"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    process.setProcessEnvironment(env);
    process.setProgram(monitor);
    process.start();
    if (!process.waitForStarted(5000)) {
        std::fprintf(stderr, "bench_live: the monitor did not start\n");
        return 1;
    }
    const qint64 pid = process.processId();
    // Frames count from the open, whose purge, a moment after it, drops
    // what came before.
    bench::require(waitUntil([&] { return holdsOpen(pid, pty.slavePath()); }, 30000),
                   QStringLiteral("the monitor did not open %1").arg(pty.slavePath()));
    QThread::msleep(500);
    std::atomic<bool> following{web};
    std::atomic<qint64> eventBytes{0};
    std::thread followers([&] {
        if (!following) {
            return;
        }
        std::vector<pollfd> streams;
        for (int i = 0; i < 10; ++i) {
            const int fd = bench::connectLoopback(webPort);
            ::send(fd, "GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n", 37, MSG_NOSIGNAL);
            streams.push_back({fd, POLLIN, 0});
        }
        char buffer[65536];
        while (following) {
            if (::poll(streams.data(), streams.size(), 200) > 0) {
                for (pollfd& p : streams) {
                    if (p.revents & POLLIN) {
                        eventBytes += std::max<ssize_t>(::recv(p.fd, buffer, sizeof buffer, 0), 0);
                    }
                }
            }
        }
        for (pollfd& p : streams) {
            ::close(p.fd);
        }
    });

    struct Phase {
        const char* name;
        int perSecond;
        double seconds;
        int mark;
        qint64 sent = 0;
        double cpuPercent = 0;  // over the whole phase
        bench::Spread windows;
    } phases[] = {{"live1", 1, 120 * scale, 11},
                  {"live50", 50, 600 * scale, 22},
                  {"live200", 200, 60 * scale, 33}};
    Usage afterFirst{};
    constexpr int kWindows = 6;
    auto seconds = [](const timespec& from, const timespec& to) {
        return double(to.tv_sec - from.tv_sec) + double(to.tv_nsec - from.tv_nsec) / 1e9;
    };
    for (Phase& p : phases) {
        const Usage before = usageOf(pid);
        timespec t0{};
        clock_gettime(CLOCK_MONOTONIC, &t0);
        std::vector<double> windows;
        Usage from = before;
        timespec windowStart = t0;
        for (int w = 0; w < kWindows; ++w) {
            p.sent += play(pty, p.perSecond, p.seconds / kWindows, p.mark);
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const Usage to = usageOf(pid);
            windows.push_back(100.0 * secondsBetween(from.threads, to.threads) /
                              seconds(windowStart, now));
            from = to;
            windowStart = now;
        }
        p.windows = bench::spreadOf(std::move(windows));
        p.cpuPercent = 100.0 * (from.cpuSeconds - before.cpuSeconds) / seconds(t0, windowStart);
        if (p.mark == 11) {
            afterFirst = from;
        }
    }
    // Every frame taken by the monitor before it is asked to end.
    bench::require(waitUntil([&] { return waitingBytes(pty) == 0; }, 60000),
                   QStringLiteral("%1 bytes still wait for the monitor").arg(waitingBytes(pty)));
    const Usage end = usageOf(pid);
    if (alarm) {
        bench::require(alarmOf(webPort).contains("\"alarm\": {\"t1\": true"),
                       QStringLiteral("no T1 alarm was latched: ") + alarmOf(webPort));
    }
    following = false;
    followers.join();
    if (web) {
        std::printf("web_event_bytes %lld bytes (ten streams)\n", eventBytes.load());
        bench::require(eventBytes > 10 * phases[0].sent * 100,
                       QStringLiteral("the streams missed lines"));
    }
    ::kill(pid_t(pid), SIGTERM);  // saves what is pending
    process.waitForFinished(20000);

    QMap<int, qint64> lines;
    const QDir logDir(dir.path() + QStringLiteral("/log"));
    // The day files only: the journal that SIGTERM saves on its own holds
    // the same lines again.
    for (const QString& name : logDir.entryList({QStringLiteral("????"
                                                                "-??"
                                                                "-??.txt")},
                                                QDir::Files)) {
        for (const QByteArray& line : test::readFile(logDir.filePath(name)).split('\n')) {
            const qsizetype hm = line.indexOf("HM=");
            if (hm >= 0) {
                ++lines[line.mid(hm + 3, 2).toInt()];
            }
        }
    }
    for (const Phase& p : phases) {
        std::printf("%s_frames_sent %lld frames\n", p.name, p.sent);
        std::printf("%s_lines_lost %lld lines\n", p.name, p.sent - lines.value(p.mark));
        std::printf(
            "%s_cpu_percent %.2f %% of one core (median of %d windows; lowest %.2f, "
            "highest %.2f; whole phase %.2f)\n",
            p.name, p.windows.median, p.windows.runs, p.windows.lowest, p.windows.highest,
            p.cpuPercent);
    }
    if (subscriber) {
        // Every line of the first phase is published; faster ones may
        // coalesce, the newest state always arriving.
        const qint64 states = qint64(subscriber->messages().size());
        std::printf("mqtt_states_received %lld states\n", states);
        bench::require(states >= phases[0].sent, QStringLiteral("states lost at one a second"));
    }
    const qint64 laterLines = phases[1].sent + phases[2].sent;
    std::printf("live_bytes_per_line %.1f bytes (resident memory growth after the first phase)\n",
                (end.rssBytes - afterFirst.rssBytes) / double(laterLines));
    bench::printMachineLoad("after");
    return 0;
}
