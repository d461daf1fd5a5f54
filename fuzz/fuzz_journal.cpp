// Journal files as "Открыть.." loads them: any bytes become the journal,
// which is then plotted at its end, at its start and in between, copied
// column by column, analysed by every report and pictured by the overview.
// The overview's digest, kept through an edit of the file's text, must agree
// with one built anew.

#include "FuzzApp.h"
#include "analysis/OutputAnalysis.h"
#include "chart/ChartModel.h"
#include "chart/ChartWindow.h"
#include "chart/Overview.h"
#include "journal/JournalFiles.h"
#include "journal/JournalStore.h"
#include "journal/RecordLine.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

using namespace im;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    static journal::JournalStore journal;
    static journal::JournalStore report;
    static chart::ChartModel chart;
    static chart::ChartWindow window(journal, chart);
    journal.setFileBytes(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));

    const int count = journal.lineCount();
    for (int last : {count - 1, 0, count / 2, 2}) {
        window.PlotChartWindow(last);
    }
    for (auto field : {journal::get_T1, journal::get_T2, journal::get_T3, journal::get_HM}) {
        (void)journal::columnText(journal, field);
    }
    for (const analysis::ReportKind& kind : analysis::reportKinds()) {
        analysis::writeReport(kind, journal, report);
    }

    const QChar separator = journal::decimalSeparator().at(0);
    static journal::ValueDigest digest(separator);
    static chart::Overview overview(journal, digest);
    static QImage image(240, 160, QImage::Format_RGB32);
    overview.sync();
    {
        QPainter painter(&image);
        overview.paint(painter, image.size(), {}, {}, count - 1);
    }
    journal.replace({count / 2, 0}, {count / 2, 0}, QStringLiteral("T1=40,1  T2=37,4\nx"));
    overview.sync();
    journal::ValueDigest fresh(separator);
    fresh.sync(journal);
    const int lines = journal.lineCount();
    for (const auto& [from, to] : {std::pair{0, lines}, {lines / 3, lines / 2}, {1, lines - 1}}) {
        const journal::ValueDigest::Range kept = overview.digest().range(from, to);
        const journal::ValueDigest::Range built = fresh.range(from, to);
        if (kept.count != built.count ||
            (built.count > 0 && (kept.min != built.min || kept.max != built.max))) {
            std::abort();
        }
    }
    return 0;
}
