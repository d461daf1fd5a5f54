#pragma once

// What every benchmark does about the figures it prints.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace im::bench {

// Figures carry a full stop whatever the locale: the toolkit sets the C
// library's locale from the environment when the application object is
// made, after which printf writes "0,136" in a Russian one. Called after
// that object is made; the code measured reads no numbers through the C
// library.
inline void printWithFullStop() {
    std::setlocale(LC_NUMERIC, "C");
}

// Ends the benchmark with a message and a failure status when what it
// measured is not what its figures claim (a load that did not finish, a
// journal of other lines).
inline void require(bool holds, const QString& what) {
    if (!holds) {
        std::fprintf(stderr, "%s: %s\n",
                     QCoreApplication::applicationName().toLocal8Bit().constData(),
                     what.toLocal8Bit().constData());
        std::exit(1);
    }
}

// The machine's load over the last minute, as the kernel counts it: a
// figure taken while other work ran is not the program's alone.
inline void printMachineLoad(const char* when) {
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly)) {
        std::printf("machine_load_1min %s (%s)\n", load.readAll().split(' ').value(0).constData(),
                    when);
        std::fflush(stdout);
    }
}

// Several runs of one measurement.
struct Spread {
    double median = 0;
    double lowest = 0;
    double highest = 0;
    int runs = 0;
};

inline Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    if (n == 0) {
        return {};
    }
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back(), int(n)};
}

// Milliseconds of each of that many runs.
template <typename Run>
Spread timedRuns(int runs, Run&& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return spreadOf(std::move(ms));
}

// "name median unit (median of n; lowest a, highest b)".
inline void printSpread(const char* name, const Spread& s, const char* unit, int decimals = 2) {
    std::printf("%s %.*f %s (median of %d; lowest %.*f, highest %.*f)\n", name, decimals, s.median,
                unit, s.runs, decimals, s.lowest, decimals, s.highest);
    std::fflush(stdout);
}

}  // namespace im::bench
