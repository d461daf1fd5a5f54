#include "chart/TGraphM.h"
#include "support/TestMain.h"

#include <QImage>

using namespace im::chart;

namespace {

// The main window's chart: 828 x 155, black frame, silver grid.
struct Chart {
    TGraphM graph;
    QImage image;
    Chart() {
        graph.resize(828, 155);
        graph.setShowTextScale(false);
    }
    void range(double minY, double maxY, double maxX = 150) {
        graph.setMinYValue(minY);
        graph.setMaxYValue(maxY);
        graph.setMaxXValue(maxX);
    }
    void paint() { graph.DrawGraph(image); }
    QColor at(int x, int y) const { return image.pixelColor(x, y); }
    // Rows of the plot that carry grid dots.
    QList<int> gridRows() const {
        QList<int> rows;
        const QColor grid = graph.ColorGrid();
        for (int y = 0; y < image.height(); ++y) {
            int dots = 0;
            for (int x = graph.LeftMargin + 1; x < graph.LeftMargin + graph.PlotWidth; ++x) {
                dots += at(x, y) == grid;
            }
            if (dots > graph.PlotWidth / 4) {
                rows << y;
            }
        }
        return rows;
    }
    int countColour(const QRect& area, const QColor& c) const {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                n += at(x, y) == c;
            }
        }
        return n;
    }
};

}  // namespace

class TestChartPaint : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void gridOf29To71() {
        Chart c;
        c.range(29, 71);
        c.paint();
        QCOMPARE(c.graph.PlotHeight, 123);
        QCOMPARE(c.graph.lastYLabels(),
                 (QStringList{"30", "35", "40", "45", "50", "55", "60", "65", "70"}));
        const QList<int> rows = c.gridRows();
        QCOMPARE(rows.size(), 9);
        // Each line sits where its value maps to, the lowest one at 30.
        const int y0 = 155 - 24;
        for (int i = 0; i < rows.size(); ++i) {
            const double value = 70 - 5 * i;
            const double expected = y0 - (value - 29) * 123 / 42.0;
            QVERIFY2(std::abs(rows[i] - expected) <= 1.0, qPrintable(QString::number(rows[i])));
        }
    }

    void gridOf20To21HasOneDecimal() {
        Chart c;
        c.range(20, 21);
        c.paint();
        const QStringList labels = c.graph.lastYLabels();
        QCOMPARE(labels.first(), QStringLiteral("20,0"));
        QCOMPARE(labels.at(1), QStringLiteral("20,2"));
        QCOMPARE(labels.size(), 6);
        for (const QString& l : labels) {
            QVERIFY2(l.size() == 4 && l[2] == QLatin1Char(','), qPrintable(l));
        }
    }

    void gridAcrossZeroStartsAtAMultipleOfTheStep() {
        Chart c;
        c.range(-7.3, 12);
        c.paint();
        QCOMPARE(c.graph.lastYLabels(), (QStringList{"-5", "0", "5", "10"}));
        QCOMPARE(c.gridRows().size(), 4);
        // The X scale of 0 to 150 with labels of the same font.
        QCOMPARE(c.graph.lastXLabels().first(), QStringLiteral("0"));
    }

    void markers_data() {
        QTest::addColumn<int>("thickLine");
        QTest::addColumn<int>("a");  // the square covers x - a to x + a
        QTest::newRow("ThickLine 1: 5 x 5") << 1 << 2;
        QTest::newRow("ThickLine 3: 3 x 3") << 3 << 1;
    }
    void markers() {
        QFETCH(int, thickLine);
        QFETCH(int, a);
        Chart c;
        c.range(0, 100, 100);
        c.graph.setDetails(true);
        TCurve& curve = c.graph.Curves().add();
        curve.setColorGraph(Qt::red);
        curve.setThickLine(thickLine);
        // A level line: the rows above and below it show the squares alone.
        curve.AddPoint(20, 50);
        curve.AddPoint(50, 50);
        curve.AddPoint(80, 50);
        c.paint();
        const int x = c.graph.pixelX(50);
        const int y = c.graph.pixelY(50);
        const QColor red(Qt::red);
        // The square's top row: filled exactly from x - a to x + a.
        for (int dx = -a; dx <= a; ++dx) {
            QVERIFY2(c.at(x + dx, y - a) == red, qPrintable(QString::number(dx)));
            QVERIFY(c.at(x + dx, y + a) == red);
        }
        QVERIFY(c.at(x - a - 1, y - a) != red);
        QVERIFY(c.at(x + a + 1, y + a) != red);
        // Between the markers the line is one pixel wide.
        QVERIFY(c.at(x + 10, y) == red);
        QVERIFY(c.at(x + 10, y - 1) != red && c.at(x + 10, y + 1) != red);
        // Point 0 has no marker: beside its start only the line.
        const int x0 = c.graph.pixelX(20);
        const int y0 = c.graph.pixelY(50);
        QVERIFY(c.at(x0 - 1, y0 - 1) != red);
        QVERIFY(c.at(x0 + 1, y0 - 1) != red);
    }

    void watermarkColourDependsOnTheBackground() {
        Chart c;
        c.graph.setShowTextScale(true);
        const QRect area(828 - 200, 5, 200, 40);
        c.paint();
        QVERIFY(c.countColour(area, QColor(220, 220, 220)) > 20);
        c.graph.setColor(QColor(255, 255, 200));
        c.paint();
        QCOMPARE(c.countColour(area, QColor(220, 220, 220)), 0);
        QVERIFY(c.countColour(area, Qt::white) > 20);
    }

    void fallbackAxesForEmptyOrInvertedRanges() {
        Chart c;
        c.range(45, 20);  // inverted
        c.paint();
        QVERIFY(c.graph.lastYLabels().isEmpty());
        QVERIFY(c.gridRows().isEmpty());
        // The fallback line reaches up to y = 3, above any frame.
        for (int y = 3; y < 8; ++y) {
            QVERIFY2(c.at(20, y) == Qt::black, qPrintable(QString::number(y)));
        }
        QVERIFY(c.at(20, 2) != Qt::black);
        QVERIFY(!c.graph.lastXLabels().isEmpty());

        Chart empty;
        empty.range(20, 45, 0);  // MaxXValue 0: no X range
        empty.paint();
        QVERIFY(empty.graph.lastXLabels().isEmpty());
        for (int x = 21; x < 828 - 2; ++x) {
            QVERIFY2(empty.at(x, 155 - 20) == Qt::black, qPrintable(QString::number(x)));
        }
    }

    void pointAboveTheRangeWidensAtHundredAndIsClippedAbove() {
        Chart c;
        c.range(20, 45);
        TCurve& curve = c.graph.Curves().add();
        curve.setColorGraph(Qt::blue);
        curve.AddPoint(0, 30);
        curve.AddPoint(100, 50);
        c.paint();
        QCOMPARE(c.graph.MaxYValue(), 50.0);
        QCOMPARE(c.graph.lastYLabels().last(), QStringLiteral("50"));

        Chart zoomed;
        zoomed.range(20, 45);
        zoomed.graph.setScale(101);
        TCurve& z = zoomed.graph.Curves().add();
        z.setColorGraph(Qt::blue);
        z.AddPoint(0, 30);
        z.AddPoint(100, 200);
        zoomed.paint();
        QCOMPARE(zoomed.graph.MaxYValue(), 45.0);
        QCOMPARE(zoomed.countColour(QRect(0, 0, 828, 8), Qt::blue), 0);
        QVERIFY(zoomed.countColour(QRect(0, 8, 828, 140), Qt::blue) > 10);
        QCOMPARE(zoomed.countColour(QRect(0, 0, zoomed.graph.LeftMargin, 155), Qt::blue), 0);
    }
};

IM_TEST_MAIN(TestChartPaint)
#include "tst_chartpaint.moc"
