// The journal at the size of a month of records: memory per line against a
// QPlainTextEdit holding the same lines, the per-frame path with an empty
// journal and with 3,000,000 lines, and opening and saving 3,000,000 lines
// (the median of several runs each).
// Prints one figure a line as "name value unit"; fails when the journal does
// not hold the lines the figures are of.

#include "BenchWindow.h"
#include "HeapInUse.h"
#include "journal/JournalLoader.h"
#include "journal/JournalStore.h"
#include "link/TelemetryFrame.h"
#include "support/FakeDialogs.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace im;

namespace {

constexpr int kBigJournal = 3000000;

QString recordLine(int i) {
    // 65 characters, as a record line with two-digit humidity is.
    return QStringLiteral("T1=37,%1  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:%2:%3")
        .arg(i % 10)
        .arg((i / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'));
}

link::Frame frame(int i) {
    const std::uint16_t raw = static_cast<std::uint16_t>(600 + i % 7);
    link::Frame f{
        0x0A, std::uint8_t(raw & 0xFF), std::uint8_t(raw >> 8), 0x50, 0x02, 0x6A, 0x01, 55, 0};
    f[8] = link::frameChecksum(f);
    return f;
}

// The per-frame path: decode, append, the chart window of 1050 lines and one
// paint of the chart. The rest of the window's repaint (journal view, labels,
// scroll bars) is measured apart, as the toolkit does it after the frame.
struct FrameTimes {
    double pathMs;
    double windowRepaintMs;
};

FrameTimes framePath(app::TForm1& form, int frames) {
    std::vector<double> path;
    std::vector<double> repaint;
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer t;
        t.start();
        form.decoder().ParsingUartStr(frame(i));
        form.GraphM1->render();
        path.push_back(t.nsecsElapsed() / 1e6);
        t.start();
        QApplication::processEvents();
        repaint.push_back(t.nsecsElapsed() / 1e6);
    }
    return {bench::spreadOf(path).median, bench::spreadOf(repaint).median};
}

}  // namespace

int main(int argc, char** argv) {
    bench::BenchApp setup(argc, argv);
    const QTemporaryDir& dir = setup.dir;
    QApplication& app = setup.app;

    // --frame-path: only the per-frame path on an empty journal (profiling).
    const bool framePathOnly = app.arguments().contains(QStringLiteral("--frame-path"));
    if (!framePathOnly) {
        const qint64 before = heapInUse();
        journal::JournalStore store;
        for (int i = 0; i < kBigJournal; ++i) {
            store.append(recordLine(i));
        }
        const qint64 after = heapInUse();
        std::printf("journal_bytes_per_line %.1f bytes (3000000 lines of 65 characters)\n",
                    double(after - before) / kBigJournal);
    }
    if (!framePathOnly) {
        const int lines = 300000;
        QString text;
        for (int i = 0; i < lines; ++i) {
            text += recordLine(i);
            text += QLatin1Char('\n');
        }
        const qint64 before = heapInUse();
        auto* edit = new QPlainTextEdit;
        edit->setPlainText(text);
        edit->resize(511, 149);
        edit->show();
        QApplication::processEvents();
        const qint64 after = heapInUse();
        std::printf("journal_bytes_per_line_qplaintextedit %.1f bytes (300000 lines)\n",
                    double(after - before) / lines);
        delete edit;
    }
    std::fflush(stdout);

    bench::BenchWindow window(0);  // the whole work of every frame, painting included
    app::TForm1& form = *window.form;
    test::FakeDialogs& dialogs = window.dialogs;
    form.ScrollBarXScale->setValue(1000);  // a window of 1050 lines
    form.resize(898, 473);
    form.show();
    QApplication::processEvents();

    // From an empty journal: the first 500 frames, whose windows hold fewer
    // than 1050 lines, then the frames after the window has filled.
    const FrameTimes atZero = framePath(form, 500);
    std::printf("frame_path_ms_at_0 %.3f ms (the first 500 frames of an empty journal)\n",
                atZero.pathMs);
    std::printf("window_repaint_ms_at_0 %.3f ms\n", atZero.windowRepaintMs);
    framePath(form, 550);
    const FrameTimes atWindow = framePath(form, 500);
    std::printf("frame_path_ms_at_1050 %.3f ms (a full window of 1050 lines)\n", atWindow.pathMs);
    if (framePathOnly) {
        return 0;
    }

    const QString file = dir.path() + QStringLiteral("/big.txt");
    {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        QByteArray block;
        for (int i = 0; i < kBigJournal; ++i) {
            block += "\r\n";
            block += recordLine(i).toLatin1();
            if (block.size() > (1 << 20)) {
                out.write(block);
                block.clear();
            }
        }
        out.write(block);
    }
    // A file this large is read on other threads: an open lasts until its
    // lines are the journal's and on the chart. The first open replaces the
    // lines of the frames above, the others the file's own.
    const auto* loader = form.findChild<journal::JournalLoader*>();
    double digestAfterMs = 0;
    const bench::Spread open = bench::timedRuns(5, [&] {
        dialogs.fileNames.push_back(file);
        QElapsedTimer limit;
        limit.start();
        form.NLoad1Click();
        while (loader->running() && limit.elapsed() < 600000) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        form.GraphM1->repaint();
        bench::require(form.journal.lineCount() == kBigJournal + 1,
                       QStringLiteral("the opened journal holds %1 lines, not %2")
                           .arg(form.journal.lineCount())
                           .arg(kBigJournal + 1));
        // What the overview's digest still has to read once the file is open.
        QElapsedTimer digest;
        digest.start();
        form.journalDigest.sync(form.journal);
        digestAfterMs = std::max(digestAfterMs, digest.nsecsElapsed() / 1e6);
        bench::require(
            form.journalDigest.lineCount() == form.journal.lineCount(),
            QStringLiteral("the digest holds %1 lines").arg(form.journalDigest.lineCount()));
    });
    bench::printSpread("open_3M_lines_ms", open, "ms", 0);
    std::printf("overview_digest_after_open_ms %.2f ms (the slowest of %d opens)\n", digestAfterMs,
                open.runs);
    QApplication::processEvents();

    const FrameTimes atBig = framePath(form, 500);
    std::printf(
        "frame_path_ms_at_3M %.3f ms (%.2f times the empty journal's, %.2f times the "
        "full window's)\n",
        atBig.pathMs, atBig.pathMs / atZero.pathMs, atBig.pathMs / atWindow.pathMs);
    std::printf("window_repaint_ms_at_3M %.3f ms\n", atBig.windowRepaintMs);

    // Each save to a new file, the one before removed first: a month of
    // lines written three times over would leave the disk's cache busy.
    std::vector<double> saveMs;
    for (int i = 0; i < 3; ++i) {
        const QString saved = dir.path() + QStringLiteral("/saved.txt");
        QFile::remove(saved);
        dialogs.fileNames.push_back(saved);
        QElapsedTimer timer;
        timer.start();
        form.NSave1Click();
        saveMs.push_back(timer.nsecsElapsed() / 1e6);
        bench::require(QFileInfo(saved).size() == form.journal.byteSize(),
                       QStringLiteral("the saved file holds %1 bytes, the journal %2")
                           .arg(QFileInfo(saved).size())
                           .arg(form.journal.byteSize()));
    }
    const bench::Spread save = bench::spreadOf(saveMs);
    bench::printSpread("save_3M_lines_ms", save, "ms", 0);
    std::printf("journal_lines_at_end %d lines\n", form.journal.lineCount());
    form.journal.setModified(false);
    bench::printMachineLoad("after");
    return 0;
}
