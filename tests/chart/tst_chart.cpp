#include "chart/ChartModel.h"
#include "chart/ChartWindow.h"
#include "journal/RecordLine.h"
#include "support/TestMain.h"

using namespace im;
using namespace im::chart;

namespace {

// The model as the main window's chart has it, counting repaint requests
// and zoom events.
class Model : public ChartModel {
public:
    Model() {
        setClientSize(828, 155);
        setMaxXValue(150);
        setMinYValue(20);
        setMaxYValue(45);
        updateRanges();
        invalidations = 0;
    }
    void invalidate() override { ++invalidations; }
    void scaleChanged(int n) override { events << n; }
    QString view() const {
        return QStringLiteral("%1..%2 %3..%4")
            .arg(ViewMinX)
            .arg(ViewMaxX)
            .arg(ViewMinY)
            .arg(ViewMaxY);
    }
    int invalidations = 0;
    QList<int> events;
};

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

class TestChart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Setters keep their values in range; a change that shows nowhere (the
    // zoom step at 100 %) asks for no repaint, the background always does; a
    // bracket of changes to the curves asks for one.
    void settersClampAndRepaint() {
        Model m;
        m.setMaxXValue(-5);
        m.setMaxYValue(-5);
        m.setPrecision(5);
        m.setDecimalHint(7);
        m.setStepScale(0);
        QCOMPARE((QList<int>{int(m.MaxXValue()), int(m.MaxYValue()), m.Precision(), m.DecimalHint(),
                             m.StepScale()}),
                 (QList<int>{0, 0, 1, 1, 100}));
        m.invalidations = 0;
        m.setStepScale(50);
        m.setColor(m.Color());
        QCOMPARE(m.invalidations, 1);
        for (int c = 0; c < 4; ++c) {
            m.Curves().add().AddPoint(c, c);
        }
        m.invalidations = 0;
        m.Curves().BeginUpdate();
        for (int c = 0; c < 4; ++c) {
            m.Curves()[c].Clear();
        }
        QCOMPARE(m.invalidations, 0);
        m.Curves().EndUpdate();
        QCOMPARE(m.invalidations, 1);
    }

    // Zoom about a point keeps the view inside the full range; asking for
    // less than 100 % gives 100 % and the full range, and raises the event
    // even when the scale does not change; the same scale again raises none.
    // A pan keeps the view's size inside the full range and raises none.
    void zoomAndPan() {
        Model m;
        const QPoint nearEnd(820, 80);
        QVERIFY(m.PixelToValue(nearEnd).x() > 140);
        m.LastMousePoint = nearEnd;
        m.setScale(200);
        m.setScale(200);
        QCOMPARE(m.ZoomFactor(), 2.0);
        QCOMPARE(m.ViewMaxX, 150.0);
        QCOMPARE(m.ViewMaxX - m.ViewMinX, 75.0);
        QCOMPARE(m.ViewMaxY - m.ViewMinY, 12.5);
        QVERIFY(m.ViewMinY >= 20 && m.ViewMaxY <= 45);
        m.setScale(50);
        m.setScale(50);
        QCOMPARE(m.Scale(), 100);
        QCOMPARE(m.view(), QStringLiteral("0..150 20..45"));
        QCOMPARE(m.events, (QList<int>{200, 100, 100}));
        m.LastMousePoint = QPoint(400, 70);
        m.setScale(300);
        const double width = m.ViewMaxX - m.ViewMinX;
        m.PanTo(QPoint(-5000, 70));  // drag far to the left: later values come in
        QCOMPARE(m.ViewMaxX, 150.0);
        m.PanTo(QPoint(5000, 5000));
        QCOMPARE(m.ViewMinX, 0.0);
        QCOMPARE(m.ViewMaxY, 45.0);
        QCOMPARE(m.ViewMaxX - m.ViewMinX, width);
        QCOMPARE(m.LastMousePoint, QPoint(5000, 5000));
        QCOMPARE(m.events, (QList<int>{200, 100, 100, 300}));
    }

    // Left margin 28, plot 828 - 28 - 15 - 3 = 782 wide, 123 high; a pixel x
    // of -1 is the plot's centre; values map to pixels rounding halves to
    // even.
    void pixelsAndValues() {
        Model m;
        m.YLabelSize = QSize(20, 13);
        m.XLabelSize = QSize(30, 13);
        const QPointF centre = m.PixelToValue(QPoint(-1, 999));
        QCOMPARE(QList<int>({m.LeftMargin, m.PlotWidth, m.PlotHeight}), QList<int>({28, 782, 123}));
        QCOMPARE(centre, m.PixelToValue(QPoint(28 + 391, 131 - 61)));
        QCOMPARE(m.PixelToValue(QPoint(28, 131)), QPointF(0, 20));
        QCOMPARE(m.PixelToValue(QPoint(28 + 782, 131 - 123)), QPointF(150, 45));
        m.LeftMargin = 10;
        m.PlotWidth = 150;  // one pixel per unit
        m.PlotHeight = 25;  // one pixel per unit
        QCOMPARE(QList<int>({m.pixelX(2.5), m.pixelX(3.5), m.pixelY(20.5), m.pixelY(21.5)}),
                 QList<int>({12, 14, 131, 129}));
    }

    void rangeWidensToTheDataOnlyAtHundredPercent() {
        Model m;
        TCurve& c = m.Curves().add();
        c.AddPoint(10, 50);
        m.updateRanges();
        QCOMPARE(m.MaxYValue(), 45.0);  // one point is no curve yet
        c.AddPoint(200, 10);
        m.updateRanges();
        QCOMPARE(m.view(), QStringLiteral("0..200 10..50"));
        c.Clear();
        c.AddPoint(1, 30);
        c.AddPoint(2, 31);
        m.updateRanges();
        QCOMPARE(m.MaxYValue(), 50.0);  // never narrows
        m.setScale(101);
        c.AddPoint(3, 99);
        m.updateRanges();
        QCOMPARE(m.MaxYValue(), 50.0);
    }

    // The grid step is the first of 1, 2, 5 times a power of ten at or
    // above the minimum step; the first grid value the smallest multiple of
    // the step at or above the minimum; labels get the step's decimals.
    void gridValuesAndLabels() {
        QList<double> steps;
        for (double minimum : {14 * 42.0 / 123, 14 * 1.0 / 123, 0.0031, 0.5, 9.6, 130.0}) {
            steps << ChartModel::gridStep(minimum);
        }
        QCOMPARE(steps, (QList<double>{5, 0.2, 0.005, 0.5, 10, 200}));
        QCOMPARE(
            (QList<double>{
                ChartModel::firstGridValue(29, 5, 1), ChartModel::firstGridValue(30, 5, 1),
                ChartModel::firstGridValue(-7.3, 5, 1), ChartModel::firstGridValue(-7.3, 2, 1),
                ChartModel::firstGridValue(-10, 5, 1), ChartModel::firstGridValue(1234, 200, 100)}),
            (QList<double>{30, 30, -5, -6, -10, 1400}));
        QList<int> decimals;
        for (double step : {0.005, 0.01, 0.05, 0.1, 0.5, 1.0}) {
            decimals << ChartModel::DecimalsForStep(step);
        }
        QCOMPARE(decimals, (QList<int>{3, 2, 2, 1, 1, 0}));
        QCOMPARE(ChartModel::numberText(-0.00001, 1), QStringLiteral("0,0"));
        QCOMPARE(ChartModel::numberText(1234.5, 1), QStringLiteral("1234,5"));
    }

    // Within (range / (width div 2)) in X and (range / (height div 6)) in Y
    // of a point; where two curves have one, the higher curve's.
    void findPointNamesTheHigherCurve() {
        Model m;
        TCurve& low = m.Curves().add();
        TCurve& high = m.Curves().add();
        for (int i = 0; i < 150; ++i) {
            low.AddPoint(i, 37.4);
            high.AddPoint(i, 37.4);
        }
        m.updateRanges();
        m.PixelToValue(QPoint(0, 0));  // the geometry of a paint without labels
        const QPoint at(m.pixelX(57), m.pixelY(37.4));
        const auto found = m.FindPointAt(at);
        QVERIFY(found && found->curve == 1 && found->index == 57);
        QVERIFY(m.FindPointAt(QPoint(at.x(), m.pixelY(38.3))));
        QVERIFY(!m.FindPointAt(QPoint(at.x(), m.pixelY(38.6))));
    }

    // Fewer lines than the window sit at its right end; a full window
    // holds the newest lines; the begin label is the first line plotted,
    // whether the window is full or not.
    void windowOfTheNewestLines() {
        Rig few(10);
        ChartWindow::EndLabels labels = few.window.PlotChartWindow(9);
        QCOMPARE(few.xs(0).front(), 140.0);
        QCOMPARE(few.xs(0).back(), 149.0);
        QCOMPARE(few.xs(3).size(), std::size_t(10));
        QCOMPARE(labels.endTime, QStringLiteral("10:00:09"));
        QCOMPARE(labels.endDate, QStringLiteral("05.12.26"));
        QCOMPARE(labels.beginTime, std::optional<QString>(QStringLiteral("10:00:00")));
        QCOMPARE(few.ys(0).back(), 37.9);
        QCOMPARE(few.ys(3).back(), 59.0);
        Rig rig(300);
        labels = rig.window.PlotChartWindow(299);
        QCOMPARE(rig.xs(1).size(), std::size_t(150));
        QCOMPARE(rig.xs(1).front(), 0.0);
        QCOMPARE(rig.ys(0).front(), 37.0);  // line 150
        QCOMPARE(labels.beginTime, std::optional<QString>(QStringLiteral("10:02:30")));
        QCOMPARE(labels.endTime, QStringLiteral("10:04:59"));
        Rig small(152);
        QCOMPARE(small.window.PlotChartWindow(151).beginTime,
                 std::optional<QString>(QStringLiteral("10:00:02")));
    }

    // A line that is no numbers gives no point; an edited line is read
    // again.
    void linesThatAreNotNumbersAndEditedLines() {
        Rig rig(5);
        rig.window.PlotChartWindow(2);
        QCOMPARE(rig.ys(0).back(), 37.2);
        rig.journal.replace({2, 3}, {2, 7}, QStringLiteral("41,5"));
        rig.window.PlotChartWindow(2);
        QCOMPARE(rig.ys(0).back(), 41.5);
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

    // The Y range spans 50 - gain / 5 about the centre the position bar
    // sets, the X range the window length; the chart is left at 101 %.
    void scrollBarsSetTheRanges() {
        Rig rig(0);
        QStringList ranges;
        for (auto [gain, position] : {std::pair{40, 450}, {240, 900}, {0, 0}, {0, 900}}) {
            rig.window.applyYScrollBars(gain, 900, position);
            ranges
                << QStringLiteral("%1..%2").arg(rig.chart.MinYValue()).arg(rig.chart.MaxYValue());
        }
        QCOMPARE(ranges, (QStringList{"29..71", "4..6", "70..120", "-20..30"}));
        QCOMPARE(rig.chart.Scale(), 101);
        rig.chart.setScale(200);
        rig.window.setWindowLengthFromScrollBar(0);
        rig.window.applyWindowLength();
        QCOMPARE(rig.chart.MaxXValue(), 50.0);
        QCOMPARE(rig.chart.Scale(), 101);
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

IM_TEST_MAIN(TestChart)
#include "tst_chart.moc"
