// The overview of a month of one-second record lines (3,000,000): its digest
// built from scratch after the file is opened, and a redraw after one more
// line, as the live window does it. Prints one figure a line as
// "name value unit".

#include "Figures.h"
#include "HeapInUse.h"
#include "chart/Overview.h"
#include "journal/JournalStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace im;

namespace {

constexpr int kLines = 3000000;

QByteArray journalBytes() {
    QByteArray bytes;
    bytes.reserve(qsizetype(kLines) * 67);
    char line[96];
    for (int i = 0; i < kLines; ++i) {
        // A heater cycle of a few minutes and a humidity swing of an hour.
        const int t1 = 372 + (i / 7) % 10;
        const int hm = 50 + (i / 450) % 9;
        const int n = std::snprintf(line, sizeof line,
                                    "T1=%d,%d  T2=37,4  T3=36,2  HM=%d  OUT=_2______  %02d.12.26 "
                                    "%02d:%02d:%02d\r\n",
                                    t1 / 10, t1 % 10, hm, 1 + i / 86400, (i / 3600) % 24,
                                    (i / 60) % 60, i % 60);
        bytes.append(line, n);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    bench::printWithFullStop();
    bench::printMachineLoad("before");
    journal::JournalStore journal;
    journal.setFileBytes(journalBytes());

    std::unique_ptr<journal::ValueDigest> digest;
    std::unique_ptr<chart::Overview> overview;
    qint64 heapBefore = 0;
    qint64 heapAfter = 0;
    const bench::Spread build = bench::timedRuns(5, [&] {
        overview.reset();
        heapBefore = heapInUse();
        digest = std::make_unique<journal::ValueDigest>(QLatin1Char(','));
        overview = std::make_unique<chart::Overview>(journal, *digest);
        overview->sync();
        heapAfter = heapInUse();
    });

    // The window's picture at its first size.
    QImage image(900, 356, QImage::Format_RGB32);
    const chart::Overview::Style style;
    const chart::Overview::Bands bands;
    int second = 0;
    const bench::Spread redraw = bench::timedRuns(21, [&] {
        journal.append(QStringLiteral("T1=37,%1  T2=37,4  T3=36,2  HM=55  OUT=_2______  "
                                      "05.01.27 12:00:%2")
                           .arg(second % 10)
                           .arg(second % 60, 2, 10, QLatin1Char('0')));
        ++second;
        overview->sync();
        QPainter painter(&image);
        overview->paint(painter, image.size(), style, bands);
    });

    bench::require(overview->digest().lineCount() == kLines + 21,
                   QStringLiteral("a digest of %1 lines").arg(overview->digest().lineCount()));
    std::printf("overview_journal_lines %d lines\n", journal.lineCount());
    bench::printSpread("overview_build_3M_lines_ms", build, "ms");
    bench::printSpread("overview_3M_lines_ms", redraw, "ms");
    std::printf("overview_digest_bytes_per_line %.1f bytes\n",
                double(heapAfter - heapBefore) / kLines);
    bench::printMachineLoad("after");
    return 0;
}
