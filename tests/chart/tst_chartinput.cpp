#include "chart/TGraphM.h"
#include "support/TestMain.h"

#include <QLineEdit>
#include <QWheelEvent>

using namespace im::chart;

namespace {

struct Chart {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);  // holds the focus at first
    TGraphM graph{&window};
    QList<int> events;
    Chart() {
        window.resize(840, 200);
        graph.move(0, 30);
        graph.resize(828, 155);
        graph.setMaxXValue(150);
        graph.setMinYValue(20);
        graph.setMaxYValue(45);
        for (int c = 0; c < 2; ++c) {
            TCurve& curve = graph.Curves().add();
            for (int i = 0; i < 150; ++i) {
                curve.AddPoint(i, c == 0 ? 37.4 : 30 + i % 10);
            }
        }
        graph.OnScaleChange = [this](TGraphM* sender, int n) {
            QCOMPARE(sender, &graph);
            events << n;
        };
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            qFatal("chart not exposed");
        }
        window.activateWindow();
        edit->setFocus();
        graph.repaint();  // the label sizes the geometry works with
    }
    void wheel(int delta, QPoint at) {
        QWheelEvent e(at, graph.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&graph, &e);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&graph, k, m); }
    double viewWidth() const { return graph.ViewMaxX - graph.ViewMinX; }
};

}  // namespace

class TestChartInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstClickFocusesSecondZooms() {
        Chart c;
        QVERIFY(!c.graph.hasFocus());
        QTest::mouseClick(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(400, 70));
        QTRY_VERIFY(c.graph.hasFocus());
        QCOMPARE(c.graph.Scale(), 100);
        QVERIFY(c.events.isEmpty());
        QTest::mouseClick(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 200);
        QCOMPARE(c.events, QList<int>{200});
        QTest::mouseClick(&c.graph, Qt::RightButton, Qt::NoModifier, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 100);
        QTest::mouseClick(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(400, 70));
        QTest::mouseClick(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 300);
        QTest::mouseClick(&c.graph, Qt::MiddleButton, Qt::NoModifier, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 100);
    }

    void dragPansAndDoesNotZoom() {
        Chart c;
        c.graph.setFocus();
        QTest::mouseClick(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 200);
        const double minX = c.graph.ViewMinX;
        const double width = c.viewWidth();
        QTest::mousePress(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(400, 70));
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 70), c.graph.mapToGlobal(QPointF(300, 70)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&c.graph, &move);
        QVERIFY(c.graph.Dragged);
        QTest::mouseRelease(&c.graph, Qt::LeftButton, Qt::NoModifier, QPoint(300, 70));
        QCOMPARE(c.graph.Scale(), 200);
        QVERIFY2(c.graph.ViewMinX > minX, "dragging to the left brings later values in");
        QCOMPARE(c.viewWidth(), width);
        QVERIFY(!c.graph.Dragged && !c.graph.LeftButtonDown);
        QCOMPARE(c.events, QList<int>{200});
    }

    void wheelBothWays() {
        Chart c;
        c.wheel(-120, QPoint(400, 70));  // towards the user
        QCOMPARE(c.graph.Scale(), 150);
        c.wheel(120, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 100);
        c.wheel(120, QPoint(400, 70));  // already at 100: stays, still reports
        QCOMPARE(c.graph.Scale(), 100);
        QCOMPARE(c.events, (QList<int>{150, 100, 100}));
        c.wheel(-60, QPoint(400, 70));  // half a notch of a fine wheel
        QCOMPARE(c.graph.Scale(), 100);
        c.wheel(-60, QPoint(400, 70));
        QCOMPARE(c.graph.Scale(), 150);
    }

    void keys() {
        Chart c;
        c.graph.setFocus();
        const double minX = c.graph.ViewMinX;
        c.key(Qt::Key_Left);
        c.key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(c.graph.ViewMinX, minX);  // arrows do nothing at 100 %
        c.key(Qt::Key_Plus);               // the main keyboard's plus is no zoom key
        QCOMPARE(c.graph.Scale(), 100);
        c.key(Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(c.graph.Scale(), 200);
        const double centreMin = c.graph.ViewMinX;

        c.key(Qt::Key_Right);  // the drawing moves 10 pixels to the right
        const double perPixel = c.viewWidth() / c.graph.PlotWidth;
        QVERIFY(std::abs((centreMin - c.graph.ViewMinX) - 10 * perPixel) < perPixel / 2);
        const double afterArrow = c.graph.ViewMinX;
        c.key(Qt::Key_Left, Qt::ControlModifier);  // a whole plot width: to the end
        QCOMPARE(c.graph.ViewMaxX, 150.0);
        QVERIFY(c.graph.ViewMinX > afterArrow);

        c.key(Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(c.graph.Scale(), 100);
        c.key(Qt::Key_Minus, Qt::KeypadModifier);  // no step below 100
        c.key(Qt::Key_Plus, Qt::KeypadModifier);
        c.key(Qt::Key_Plus, Qt::KeypadModifier);
        c.key(Qt::Key_Asterisk, Qt::KeypadModifier);
        QCOMPARE(c.graph.Scale(), 100);
        QCOMPARE(c.events, (QList<int>{200, 100, 200, 300, 100}));
    }

    void hintNamesThePointOfTheHigherCurve() {
        Chart c;
        // Curve 1 passes 37.4 at 57 (30 + 57 % 10 = 37), like curve 0.
        const QPoint at(c.graph.pixelX(57), c.graph.pixelY(37.4));
        QHelpEvent help(QEvent::ToolTip, at, c.graph.mapToGlobal(at));
        QApplication::sendEvent(&c.graph, &help);
        QVERIFY(c.graph.hintVisible());
        const QString text = c.graph.hintTextShown();
        QVERIFY2(text.startsWith(QStringLiteral("57: (x:57,0, y:37,")), qPrintable(text));
        QCOMPARE(text, QStringLiteral("57: (x:57,0, y:37,0)"));

        // Away from every point no hint shows.
        const QPoint empty(c.graph.pixelX(5), c.graph.pixelY(44));
        QHelpEvent none(QEvent::ToolTip, empty, c.graph.mapToGlobal(empty));
        QApplication::sendEvent(&c.graph, &none);
        QVERIFY(!c.graph.hintVisible());
    }
};

IM_TEST_MAIN(TestChartInput)
#include "tst_chartinput.moc"
