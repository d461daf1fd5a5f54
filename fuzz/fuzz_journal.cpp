// Journal files as "Открыть.." loads them: any bytes become the journal,
// which is then plotted at its end, at its start and in between, copied
// column by column and analysed by every report.

#include "FuzzApp.h"
#include "analysis/OutputAnalysis.h"
#include "chart/ChartModel.h"
#include "chart/ChartWindow.h"
#include "journal/JournalFiles.h"
#include "journal/JournalStore.h"
#include "journal/RecordLine.h"

#include <cstdint>

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
    return 0;
}
