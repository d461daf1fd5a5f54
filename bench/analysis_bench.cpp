// One output report over a month of one-second record lines (3,000,000),
// whose tray outputs switch every three lines, into the Data window's view;
// and the memory the filled view costs per report line. Prints one figure a
// line as "name value unit".

#include "Figures.h"
#include "HeapInUse.h"
#include "analysis/TFormLog.h"
#include "core/AppLocation.h"
#include "journal/JournalStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace im;

namespace {

constexpr int kLines = 3000000;

QByteArray journalBytes() {
    // Reverse three lines, movement three lines, off three lines, ...: a
    // report line every third journal line.
    static const char* const kOutputs[] = {"1___5___", "1___5___", "1___5___",
                                           "1____6__", "1____6__", "1____6__",
                                           "1_______", "1_______", "1_______"};
    QByteArray bytes;
    bytes.reserve(qsizetype(kLines) * 67);
    char line[96];
    for (int i = 0; i < kLines; ++i) {
        const int n = std::snprintf(line, sizeof line,
                                    "T1=37,%d  T2=37,4  T3=36,2  HM=55  OUT=%s  %02d.12.26 "
                                    "%02d:%02d:%02d\r\n",
                                    i % 10, kOutputs[i % 9], 1 + i / 86400, (i / 3600) % 24,
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
    // The journal's lines carry the Russian decimal comma.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTemporaryDir dir;
    core::AppLocation::setExecutablePathForTesting(dir.path() + QStringLiteral("/bench"));

    journal::JournalStore journal;
    journal.setFileBytes(journalBytes());
    analysis::OutputAnalysis analysis;
    analysis::TFormLog window(journal, analysis,
                              [](QWidget*, const QFont&) { return std::optional<QFont>(); });
    window.show();
    QApplication::processEvents();

    std::vector<double> runs;
    qint64 heapBefore = 0;
    qint64 heapAfter = 0;
    for (int run = 0; run < 5; ++run) {
        window.report.clear();
        QApplication::processEvents();
        heapBefore = heapInUse();
        QElapsedTimer timer;
        timer.start();
        window.runReport('L');
        window.Memo1->viewport()->repaint();
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
        heapAfter = heapInUse();
    }
    std::sort(runs.begin(), runs.end());
    const int reportLines = window.report.lineCount();
    bench::require(journal.lineCount() == kLines && reportLines == kLines / 3 + 1,
                   QStringLiteral("a report of %1 lines over %2").arg(reportLines).arg(kLines));
    std::printf("analysis_journal_lines %d lines\n", journal.lineCount());
    std::printf("analysis_report_lines %d lines\n", reportLines);
    std::printf("analysis_3M_lines_ms %.1f ms (median of %zu; fastest %.1f, slowest %.1f)\n",
                runs[runs.size() / 2], runs.size(), runs.front(), runs.back());
    std::printf("report_view_bytes_per_line %.1f bytes\n",
                double(heapAfter - heapBefore) / std::max(reportLines, 1));

    // The daily summary over the same journal (35 days), shown.
    std::vector<double> summaryRuns;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        window.runReport(analysis::OutputAnalysis::kDailySummary);
        window.Memo1->viewport()->repaint();
        summaryRuns.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(summaryRuns.begin(), summaryRuns.end());
    bench::require(window.report.lineCount() == 1 + (kLines + 86399) / 86400,
                   QStringLiteral("a summary of %1 lines").arg(window.report.lineCount()));
    std::printf("summary_days %d lines\n", window.report.lineCount() - 1);
    std::printf("summary_3M_lines_ms %.1f ms (median of %zu; fastest %.1f, slowest %.1f)\n",
                summaryRuns[summaryRuns.size() / 2], summaryRuns.size(), summaryRuns.front(),
                summaryRuns.back());
    return 0;
}
