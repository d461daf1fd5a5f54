// A 28-day incubation at one frame a second, as fast as it goes: every frame
// is written to a pseudo-terminal and goes through the real receive path,
// decoding, the journal, the chart window and the periodic save of the main
// window (hidden in the tray, as it runs at night), with the clock injected.
// Prints one figure a line as "name value unit".
//
//     build/bench/bench_soak [--days N]

#include "BenchWindow.h"
#include "HeapInUse.h"
#include "common/PseudoTerminal.h"
#include "support/Frames.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace im;

namespace {

constexpr int kWindow = 10000;  // frames timed at the start and at the end

}  // namespace

int main(int argc, char** argv) {
    bench::BenchApp setup(argc, argv);
    QApplication& app = setup.app;
    const QTemporaryDir& dir = setup.dir;
    const qsizetype daysAt = app.arguments().indexOf(QStringLiteral("--days"));
    const int days = daysAt > 0 ? app.arguments().value(daysAt + 1).toInt() : 28;
    const qint64 frames = qint64(days) * 86400;

    tools::PseudoTerminal pty;
    test::writeFile(dir.path() + QStringLiteral("/incubator-monitor.ini"),
                    "[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                        "\nOpenStart=1\nKeepAwake=0\n[LogFile]\nTime=1\n");

    bench::BenchWindow monitor(-1, QDateTime(QDate(2026, 3, 1), QTime(0, 0)));
    app::TForm1& form = *monitor.form;
    test::FakeClock& clock = monitor.clock;
    if (!form.ComPort1.Connected()) {
        std::fprintf(stderr, "bench_soak: the port did not open\n");
        return 1;
    }
    QApplication::processEvents();

    const qint64 heapBefore = heapInUse();
    double startMs = 0;
    double endMs = 0;
    QElapsedTimer total;
    total.start();
    QElapsedTimer window;
    for (qint64 i = 0; i < frames; ++i) {
        if (i == 0 || i == frames - kWindow) {
            window.start();
        }
        clock.advanceSeconds(1);
        // The simulated incubator: T1 around 37.7 °C, tray turns, heater.
        const int t1 = 603 + int(i % 17) - 8;
        pty.send(test::bytesOf(test::makeFrame(i % 180 < 10 ? 0x12 : 0x02, t1, t1 - 2,
                                               370 + int(i % 7), 50 + int(i % 11))));
        const int before = form.journal.lineCount();
        while (form.journal.lineCount() == before) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (i % 60 == 59) {
            form.TimerSaveFileTimer();  // the one-minute save period
        }
        if (i == kWindow - 1) {
            startMs = double(window.nsecsElapsed()) / 1e6 / kWindow;
        }
        if (i == frames - 1) {
            endMs = double(window.nsecsElapsed()) / 1e6 / kWindow;
        }
    }
    form.TimerSaveFileTimer();
    const double totalS = double(total.nsecsElapsed()) / 1e9;
    const int lines = form.journal.lineCount();
    const qint64 heapAfter = heapInUse();

    qint64 saved = 0;
    const QDir logDir(core::AppLocation::logDirPath());
    for (const QString& name : logDir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        saved += test::readFile(logDir.filePath(name)).count("\r\n");
    }
    std::printf("soak_frames_in %lld frames\n", frames);
    std::printf("soak_journal_lines %d lines\n", lines);
    std::printf("soak_lines_saved %lld lines\n", saved);
    std::printf("soak_lines_lost %lld lines\n", frames - saved);
    std::printf("soak_frame_ms_start %.4f ms (mean of the first %d frames)\n", startMs, kWindow);
    std::printf("soak_frame_ms_end %.4f ms (mean of the last %d frames; %.2f times the start)\n",
                endMs, kWindow, endMs / startMs);
    std::printf("soak_bytes_per_line %.1f bytes\n", double(heapAfter - heapBefore) / frames);
    std::printf("soak_total_s %.1f s\n", totalS);
    form.journal.setModified(false);
    return 0;
}
