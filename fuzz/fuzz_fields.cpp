// Field extraction and number reading on arbitrary lines: the positional
// cuts with any delimiter, count and length, the seven fields of a record
// line, and the chart window reading the line's values.

#include "FuzzApp.h"
#include "chart/ChartModel.h"
#include "chart/ChartWindow.h"
#include "journal/JournalStore.h"
#include "journal/RecordLine.h"

#include <cstdint>

using namespace im;
using namespace im::journal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    if (size < 3) {
        return 0;
    }
    const QChar delimiter = QLatin1Char(char(data[0]));
    const int rounds = int(data[1] % 12) - 1;
    const int length = int(data[2] % 40) - 1;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
    const QString line = QString::fromUtf8(bytes);

    std::size_t seen = 0;
    seen += size_t(extractField(line, delimiter, rounds, length).size());
    seen += size_t(extractFieldView(QStringView(line), delimiter, rounds, length).size());
    withLineText(bytes, [&](auto text) {
        const auto field = extractFieldView(text, delimiter, rounds, length);
        seen += size_t(fieldNumber(field, QLatin1Char(',')).has_value());
        return 0;
    });
    for (auto get : {get_T1, get_T2, get_T3, get_HM, get_outs, get_date, get_time}) {
        const QString field = get(line);
        seen += size_t(fieldNumber(QStringView(field), QLatin1Char(',')).has_value());
    }

    static JournalStore journal;
    static chart::ChartModel chart;
    static chart::ChartWindow window(journal, chart);
    journal.clear();
    for (int i = 0; i < 3; ++i) {
        journal.append(line);
    }
    const chart::ChartWindow::EndLabels labels = window.PlotChartWindow(journal.lineCount() - 1);
    seen += size_t(labels.endTime.size());
    seen += size_t(chart::ChartWindow::scrollBarHint(line, 1, 3).size());
    (void)seen;  // what was read is not judged here, only that reading holds
    return 0;
}
