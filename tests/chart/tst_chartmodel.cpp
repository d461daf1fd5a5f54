#include "chart/ChartModel.h"
#include "support/TestMain.h"

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
    int invalidations = 0;
    QList<int> events;
};

}  // namespace

class TestChartModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settersClampAndInvalidate() {
        Model m;
        m.setMaxXValue(-5);
        QCOMPARE(m.MaxXValue(), 0.0);
        m.setMaxYValue(-5);
        QCOMPARE(m.MaxYValue(), 0.0);
        m.setMinYValue(-5);
        QCOMPARE(m.MinYValue(), -5.0);
        m.setPrecision(5);
        QCOMPARE(m.Precision(), 1);
        m.setPrecision(2);
        m.setPrecision(-1);
        QCOMPARE(m.Precision(), 1);
        m.setDecimalHint(3);
        m.setDecimalHint(7);
        QCOMPARE(m.DecimalHint(), 3);

        m.invalidations = 0;
        m.setStepScale(0);
        QCOMPARE(m.StepScale(), 100);
        m.setStepScale(50);
        QCOMPARE(m.invalidations, 0);  // at 100 % the step shows nowhere
        m.setScale(150);
        m.invalidations = 0;
        m.setStepScale(25);
        QCOMPARE(m.invalidations, 1);

        m.invalidations = 0;
        m.setColor(m.Color());
        m.setColorAxis(m.ColorAxis());
        QCOMPARE(m.invalidations, 1);  // only the background always repaints
    }

    void zoomAboutAPointNearTheRangeEnd() {
        Model m;
        const QPointF nearEnd = m.PixelToValue(QPoint(820, 80));
        QVERIFY(nearEnd.x() > 140);
        m.LastMousePoint = QPoint(820, 80);
        m.setScale(200);
        QCOMPARE(m.ZoomFactor(), 2.0);
        QCOMPARE(m.ViewMaxX, 150.0);
        QCOMPARE(m.ViewMaxX - m.ViewMinX, 75.0);
        QCOMPARE(m.ViewMaxY - m.ViewMinY, 12.5);
        QVERIFY(m.ViewMinY >= 20 && m.ViewMaxY <= 45);
        QCOMPARE(m.events, QList<int>{200});
    }

    void zoomBelowHundredAndTheSameScaleTwice() {
        Model m;
        m.LastMousePoint = QPoint(300, 50);
        m.setScale(120);
        m.setScale(120);
        QCOMPARE(m.events, QList<int>{120});
        m.setScale(50);
        QCOMPARE(m.Scale(), 100);
        QCOMPARE(m.events, (QList<int>{120, 100}));
        QCOMPARE(m.ViewMinX, 0.0);
        QCOMPARE(m.ViewMaxX, 150.0);
        QCOMPARE(m.ViewMinY, 20.0);
        QCOMPARE(m.ViewMaxY, 45.0);
        // Already at 100: asking for less still raises the event.
        m.setScale(50);
        QCOMPARE(m.events, (QList<int>{120, 100, 100}));
    }

    void pixelToValueOfTheCentreAndOfTheEdges() {
        Model m;
        m.YLabelSize = QSize(20, 13);
        m.XLabelSize = QSize(30, 13);
        const QPointF centre = m.PixelToValue(QPoint(-1, 999));
        // Left margin 28, plot 828 - 28 - 15 - 3 = 782 wide, 123 high.
        QCOMPARE(m.LeftMargin, 28);
        QCOMPARE(m.PlotWidth, 782);
        QCOMPARE(m.PlotHeight, 123);
        QCOMPARE(centre, m.PixelToValue(QPoint(28 + 391, 131 - 61)));
        QCOMPARE(m.PixelToValue(QPoint(28, 131)), QPointF(0, 20));
        QCOMPARE(m.PixelToValue(QPoint(28 + 782, 131 - 123)), QPointF(150, 45));
    }

    void valueToPixelRoundsHalvesToEven() {
        Model m;
        m.LeftMargin = 10;
        m.PlotWidth = 150;  // one pixel per unit
        m.PlotHeight = 25;  // one pixel per unit
        QCOMPARE(m.pixelX(2.5), 12);
        QCOMPARE(m.pixelX(3.5), 14);
        QCOMPARE(m.pixelY(20.5), 131);
        QCOMPARE(m.pixelY(21.5), 129);
    }

    void panStaysInsideTheFullRange() {
        Model m;
        m.LastMousePoint = QPoint(400, 70);
        m.setScale(300);
        const double width = m.ViewMaxX - m.ViewMinX;
        m.LastMousePoint = QPoint(400, 70);
        m.PanTo(QPoint(-5000, 70));  // drag far to the left: later values come in
        QCOMPARE(m.ViewMaxX, 150.0);
        QCOMPARE(m.ViewMaxX - m.ViewMinX, width);
        m.PanTo(QPoint(5000, 5000));
        QCOMPARE(m.ViewMinX, 0.0);
        QCOMPARE(m.ViewMaxY, 45.0);
        QCOMPARE(m.ViewMaxX - m.ViewMinX, width);
        QCOMPARE(m.LastMousePoint, QPoint(5000, 5000));
        QCOMPARE(m.events.size(), 1);  // a pan raises no zoom event
    }

    void curvesCopyWithoutPoints() {
        Model m;
        TCurve& target = m.Curves().add();
        target.AddPoint(1, 2);
        TCurves source;
        TCurve& s = source.add();
        s.setColorGraph(Qt::red);
        s.setThickLine(3);
        s.setDetails(true);
        s.AddPoint(5, 6);
        target.assign(s);
        QCOMPARE(target.ColorGraph(), QColor(Qt::red));
        QCOMPARE(target.ThickLine(), 3);
        QVERIFY(target.Details());
        QCOMPARE(target.XValues(), std::vector<double>{1});

        m.setCurves(source);
        QCOMPARE(m.Curves().count(), 1);
        QCOMPARE(m.Curves()[0].ThickLine(), 3);
        QCOMPARE(m.Curves()[0].pointCount(), std::size_t(0));
    }

    void aBracketOfChangesAsksForOneRepaint() {
        Model m;
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

    void rangeWidensToTheDataOnlyAtHundredPercent() {
        Model m;
        TCurve& c = m.Curves().add();
        c.AddPoint(10, 50);
        m.updateRanges();
        QCOMPARE(m.MaxYValue(), 45.0);  // one point is no curve yet
        c.AddPoint(200, 10);
        m.updateRanges();
        QCOMPARE(m.MaxYValue(), 50.0);
        QCOMPARE(m.MinYValue(), 10.0);
        QCOMPARE(m.MaxXValue(), 200.0);
        QCOMPARE(m.ViewMaxY, 50.0);
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

    void gridSteps_data() {
        QTest::addColumn<double>("minimumStep");
        QTest::addColumn<double>("step");
        QTest::newRow("29 to 71 on 123 pixels") << 14 * 42.0 / 123 << 5.0;
        QTest::newRow("20 to 21 on 123 pixels") << 14 * 1.0 / 123 << 0.2;
        QTest::newRow("tiny") << 0.0031 << 0.005;
        QTest::newRow("exactly a series step") << 0.5 << 0.5;
        QTest::newRow("rounds up a magnitude") << 9.6 << 10.0;
        QTest::newRow("hundreds") << 130.0 << 200.0;
    }
    void gridSteps() {
        QFETCH(double, minimumStep);
        QFETCH(double, step);
        QCOMPARE(ChartModel::gridStep(minimumStep), step);
    }

    void firstGridValueIsTheSmallestMultipleAtOrAboveTheMinimum() {
        QCOMPARE(ChartModel::firstGridValue(29, 5, 1), 30.0);
        QCOMPARE(ChartModel::firstGridValue(30, 5, 1), 30.0);
        QCOMPARE(ChartModel::firstGridValue(-7.3, 5, 1), -5.0);
        QCOMPARE(ChartModel::firstGridValue(-7.3, 2, 1), -6.0);
        QCOMPARE(ChartModel::firstGridValue(-10, 5, 1), -10.0);
        QCOMPARE(ChartModel::firstGridValue(1234, 200, 100), 1400.0);
    }

    void decimalsForSteps() {
        QCOMPARE(ChartModel::DecimalsForStep(0.005), 3);
        QCOMPARE(ChartModel::DecimalsForStep(0.01), 2);
        QCOMPARE(ChartModel::DecimalsForStep(0.05), 2);
        QCOMPARE(ChartModel::DecimalsForStep(0.1), 1);
        QCOMPARE(ChartModel::DecimalsForStep(0.5), 1);
        QCOMPARE(ChartModel::DecimalsForStep(1), 0);
        QCOMPARE(ChartModel::numberText(-0.00001, 1), QStringLiteral("0,0"));
        QCOMPARE(ChartModel::numberText(1234.5, 1), QStringLiteral("1234,5"));
    }

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
        QVERIFY(found);
        QCOMPARE(found->curve, 1);
        QCOMPARE(found->index, 57);
        QCOMPARE(m.hintText(*found), QStringLiteral("57: (x:57,0, y:37,4)"));
        // Tolerance in Y: range / (height div 6) = 25 / 25 = 1 unit.
        QVERIFY(m.FindPointAt(QPoint(at.x(), m.pixelY(38.3))));
        QVERIFY(!m.FindPointAt(QPoint(at.x(), m.pixelY(38.6))));
    }
};

IM_TEST_MAIN(TestChartModel)
#include "tst_chartmodel.moc"
