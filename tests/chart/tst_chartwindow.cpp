#include "chart/ChartWindow.h"
#include "journal/RecordLine.h"
#include "support/TestMain.h"

using namespace im;
using namespace im::chart;

namespace {

QString lineAt(int i) {
    const QDateTime at = QDateTime(QDate(2026, 12, 5), QTime(10, 0)).addSecs(i);
    return journal::makeRecordLine(370 + i % 10, 365, 362, 50 + i % 40, QStringLiteral("________"),
                                   at);
}

struct Rig {
    journal::JournalStore journal;
    ChartModel chart;
    ChartWindow window{journal, chart};
    explicit Rig(int lines) {
        chart.setClientSize(828, 155);
        for (int c = 0; c < 4; ++c) {
            chart.Curves().add();
        }
        for (int i = 0; i < lines; ++i) {
            journal.append(lineAt(i));
        }
    }
    const std::vector<double>& xs(int curve) { return chart.Curves()[curve].XValues(); }
    const std::vector<double>& ys(int curve) { return chart.Curves()[curve].YValues(); }
};

}  // namespace

class TestChartWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fewLinesSitAtTheRightEnd() {
        Rig rig(10);
        QCOMPARE(rig.window.windowLength(), 150);
        const ChartWindow::EndLabels labels = rig.window.PlotChartWindow(9);
        QCOMPARE(rig.xs(0).front(), 140.0);
        QCOMPARE(rig.xs(0).back(), 149.0);
        QCOMPARE(rig.xs(3).size(), std::size_t(10));
        QCOMPARE(labels.endTime, QStringLiteral("10:00:09"));
        QCOMPARE(labels.endDate, QStringLiteral("05.12.26"));
        QVERIFY(!labels.beginTime);
        QCOMPARE(rig.ys(0).back(), 37.9);
        QCOMPARE(rig.ys(3).back(), 59.0);
    }

    void aFullWindowOfTheNewestLines() {
        Rig rig(300);
        const ChartWindow::EndLabels labels = rig.window.PlotChartWindow(299);
        QCOMPARE(rig.xs(1).size(), std::size_t(150));
        QCOMPARE(rig.xs(1).front(), 0.0);
        QCOMPARE(rig.ys(0).front(), 37.0);  // line 150
        QCOMPARE(labels.beginTime, std::optional<QString>(QStringLiteral("10:02:30")));
        QCOMPARE(labels.endTime, QStringLiteral("10:04:59"));
        // The window begins at line 3 at the earliest for a begin label.
        Rig small(152);
        QVERIFY(!small.window.PlotChartWindow(151).beginTime);
        Rig three(153);
        QCOMPARE(three.window.PlotChartWindow(152).beginTime,
                 std::optional<QString>(QStringLiteral("10:00:03")));
    }

    void linesThatAreNotNumbersGiveNoPoint() {
        Rig rig(5);
        rig.journal.append(QStringLiteral("Переворот лотков вручную"));
        rig.journal.append(QString());
        rig.journal.append(
            QStringLiteral("T1=abc  T2=37,4  T3=36,2  HM=55  OUT=________  05.12.26 10:00:07"));
        rig.journal.append(lineAt(8));
        rig.window.PlotChartWindow(rig.journal.lineCount() - 1);
        QCOMPARE(rig.xs(0), (std::vector<double>{141, 142, 143, 144, 145, 149}));
        // An index past the end reads as an empty line.
        const ChartWindow::EndLabels labels = rig.window.PlotChartWindow(500);
        QCOMPARE(labels.endTime, QString());
        QVERIFY(rig.xs(0).empty());
    }

    void anEditedLineIsReadAgain() {
        Rig rig(3);
        rig.window.PlotChartWindow(2);
        QCOMPARE(rig.ys(0).back(), 37.2);
        rig.journal.replace({2, 3}, {2, 7}, QStringLiteral("41,5"));
        rig.window.PlotChartWindow(2);
        QCOMPARE(rig.ys(0).back(), 41.5);
    }

    void yScrollBars_data() {
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("minY");
        QTest::addColumn<double>("maxY");
        QTest::newRow("design values") << 40 << 450 << 29.0 << 71.0;
        QTest::newRow("gain 240, position 900") << 240 << 900 << 4.0 << 6.0;
        QTest::newRow("both at 0") << 0 << 0 << 70.0 << 120.0;
        QTest::newRow("gain 0, position 900") << 0 << 900 << -20.0 << 30.0;
    }
    void yScrollBars() {
        QFETCH(int, gain);
        QFETCH(int, position);
        QFETCH(double, minY);
        QFETCH(double, maxY);
        Rig rig(0);
        rig.window.applyYScrollBars(gain, 900, position);
        QCOMPARE(rig.chart.MinYValue(), minY);
        QCOMPARE(rig.chart.MaxYValue(), maxY);
        QCOMPARE(rig.chart.Scale(), 101);
    }

    void windowLengthSetsTheXRange() {
        Rig rig(0);
        rig.window.setWindowLengthFromScrollBar(0);
        rig.window.applyWindowLength();
        QCOMPARE(rig.chart.MaxXValue(), 50.0);
        QCOMPARE(rig.chart.Scale(), 101);
        QCOMPARE(ChartWindow::scrollBarHint(QStringLiteral("T1=37,5"), 99, 100),
                 QStringLiteral("T1=37,5\r\nстрока 99, всего 100"));
        QCOMPARE(ChartWindow::lineAtPosition(100, 120, 110), 89);
    }

    void readoutUnderThePointer() {
        Rig rig(0);
        rig.chart.setMinYValue(0);
        rig.chart.setMaxYValue(123);
        rig.chart.updateRanges();
        // No label sizes: the X axis at y = 131, one unit per pixel.
        QCOMPARE(rig.window.readout(QPoint(100, 131 - 5)), QStringLiteral("05,0"));
        QCOMPARE(rig.window.readout(QPoint(100, 131 - 37)), QStringLiteral("37,0"));
        QCOMPARE(rig.window.readout(QPoint(100, 140)), QStringLiteral("-09,0"));
    }
};

IM_TEST_MAIN(TestChartWindow)
#include "tst_chartwindow.moc"
