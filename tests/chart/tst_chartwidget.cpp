#include "chart/Overview.h"
#include "chart/TGraphM.h"
#include "journal/RecordLine.h"
#include "support/TestMain.h"

#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QWheelEvent>

using namespace im;
using namespace im::chart;

namespace {

// The main window's chart, 828 x 155, in a window where a line edit holds
// the focus at first.
struct Chart {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    TGraphM graph{&window};
    QImage image;
    QList<int> events;
    explicit Chart(double minY = 20, double maxY = 45, double maxX = 150) {
        window.resize(840, 200);
        graph.resize(828, 155);
        graph.setShowTextScale(false);
        graph.setMinYValue(minY);
        graph.setMaxYValue(maxY);
        graph.setMaxXValue(maxX);
        graph.OnScaleChange = [this](TGraphM*, int n) { events << n; };
    }
    void show() {
        showExposed(window);
        edit->setFocus();
        graph.repaint();  // the label sizes the geometry works with
    }
    // Two curves of 150 points: a level one at 37.4 and one that saws.
    void curves() {
        for (int c = 0; c < 2; ++c) {
            TCurve& curve = graph.Curves().add();
            for (int i = 0; i < 150; ++i) {
                curve.AddPoint(i, c == 0 ? 37.4 : 30 + i % 10);
            }
        }
    }
    void paint() { graph.DrawGraph(image); }
    QColor at(int x, int y) const { return image.pixelColor(x, y); }
    // A row of pixels from x0 to x1 as text: "#" in colour c, "." otherwise.
    QString row(int y, int x0, int x1, const QColor& c) const {
        QString s;
        for (int x = x0; x <= x1; ++x) {
            s += at(x, y) == c ? QLatin1Char('#') : QLatin1Char('.');
        }
        return s;
    }
    int count(const QRect& area, const QColor& c) const {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            n += int(row(y, area.left(), area.right(), c).count(QLatin1Char('#')));
        }
        return n;
    }
    void wheel(int delta) {
        const QPointF at(400, 70);
        QWheelEvent e(at, graph.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&graph, &e);
    }
    void click(Qt::MouseButton b) { QTest::mouseClick(&graph, b, {}, QPoint(400, 70)); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&graph, k, m); }
};

}  // namespace

class TestChartWidget : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Grid lines at the multiples of the step inside the range, each where
    // its value maps to (those on the frame's rows are covered by it),
    // labelled with the step's decimals.
    void grid() {
        const struct {
            double minY, maxY;
            QStringList labels;
        } cases[] = {{29, 71, {"30", "35", "40", "45", "50", "55", "60", "65", "70"}},
                     {20, 21, {"20,0", "20,2", "20,4", "20,6", "20,8", "21,0"}},
                     {-7.3, 12, {"-5", "0", "5", "10"}}};
        for (const auto& [minY, maxY, labels] : cases) {
            Chart c(minY, maxY);
            c.paint();
            QCOMPARE(c.graph.PlotHeight, 123);
            QCOMPARE(c.graph.lastYLabels(), labels);
            QCOMPARE(c.graph.lastXLabels().first(), QStringLiteral("0"));
            QList<int> expected;
            QList<int> found;
            for (const QString& label : labels) {
                const int y =
                    qRound(131 - (QLocale().toDouble(label) - minY) * 123 / (maxY - minY));
                if (y > 8 && y < 131) {
                    expected.prepend(y);
                }
            }
            for (int y = 0; y < 155; ++y) {  // rows that carry grid dots
                const QString r =
                    c.row(y, c.graph.LeftMargin + 1, c.graph.LeftMargin + 700, c.graph.ColorGrid());
                if (r.count(QLatin1Char('#')) > 100) {
                    found << y;
                }
            }
            QCOMPARE(found.size(), expected.size());
            for (int i = 0; i < found.size(); ++i) {
                QVERIFY2(std::abs(found[i] - expected[i]) <= 1,
                         qPrintable(QString::number(found[i])));
            }
        }
    }

    // On any background the numbers, the ticks and the frame can be read,
    // and a curve of the background's own colour is drawn in their ink; a
    // curve that stands out keeps its colour.
    void readableOnAnyBackground() {
        for (const QColor& background : {QColor(Qt::black), QColor(Qt::white), QColor(0, 0, 90)}) {
            Chart c;
            c.curves();
            c.graph.setColor(background);
            c.graph.Curves()[0].setColorGraph(background);
            c.graph.Curves()[1].setColorGraph(QColor(255, 200, 0));
            c.paint();
            const QColor ink = inkOn(background);
            QVERIFY(ink != background);
            // The Y labels left of the plot, the frame's left edge, the
            // level curve at 37.4 and the sawing one.
            const int y = qRound(131 - (37.4 - 20) * 123 / 25);
            QVERIFY(c.count(QRect(0, 0, c.graph.LeftMargin - 5, 140), ink) > 30);
            QVERIFY(c.count(QRect(c.graph.LeftMargin, 20, 1, 100), ink) > 90);
            QVERIFY(c.count(QRect(c.graph.LeftMargin + 50, y - 1, 600, 3), ink) > 500);
            QVERIFY(c.count(QRect(c.graph.LeftMargin + 50, 0, 600, 131), QColor(255, 200, 0)) >
                    500);
        }
    }

    // With markers on, points 1 to n - 1 get filled squares (5 x 5 for a
    // line of 1 pixel, 3 x 3 for ThickLine 3), the line between them stays
    // one pixel wide, point 0 gets none.
    void markers() {
        for (int thick : {1, 3}) {
            Chart c(0, 100, 100);
            c.graph.setDetails(true);
            TCurve& curve = c.graph.Curves().add();
            curve.setColorGraph(Qt::red);
            curve.setThickLine(thick);
            for (int x : {20, 50, 80}) {
                curve.AddPoint(x, 50);
            }
            c.paint();
            const int x = c.graph.pixelX(50);
            const int y = c.graph.pixelY(50);
            const int a = thick == 1 ? 2 : 1;
            const QString square = QStringLiteral(".%1.").arg(QString(2 * a + 1, QLatin1Char('#')));
            QCOMPARE(c.row(y - a, x - a - 1, x + a + 1, Qt::red), square);
            QCOMPARE(c.row(y + a, x - a - 1, x + a + 1, Qt::red), square);
            QCOMPARE(c.row(y - 1, x + 8, x + 12, Qt::red) + c.row(y, x + 8, x + 12, Qt::red),
                     QStringLiteral(".....#####"));
            QCOMPARE(c.row(y - 1, c.graph.pixelX(20) - 1, c.graph.pixelX(20) + 1, Qt::red),
                     QStringLiteral("..."));
        }
    }

    // The zoom watermark is white, or light grey on a white background; an
    // empty or inverted range gives an axis's fallback line instead of its
    // grid; at 101 % a point above the range is clipped at the top of the
    // plot and never drawn left of the Y axis.
    void watermarkFallbacksAndClipping() {
        Chart c;
        c.graph.setShowTextScale(true);
        const QRect area(828 - 200, 5, 200, 40);
        c.paint();
        QVERIFY(c.count(area, QColor(220, 220, 220)) > 20);
        c.graph.setColor(QColor(255, 255, 200));
        c.paint();
        QVERIFY(c.count(area, QColor(220, 220, 220)) == 0 && c.count(area, Qt::white) > 20);

        Chart inverted(45, 20);
        inverted.paint();
        QVERIFY(inverted.graph.lastYLabels().isEmpty() && !inverted.graph.lastXLabels().isEmpty());
        QCOMPARE(inverted.count(QRect(20, 2, 1, 6), Qt::black), 5);  // up to y = 3
        Chart noX(20, 45, 0);
        noX.paint();
        QVERIFY(noX.graph.lastXLabels().isEmpty());
        QCOMPARE(noX.count(QRect(20, 155 - 20, 828 - 22, 1), Qt::black), 828 - 22);

        Chart zoomed;
        zoomed.graph.setScale(101);
        TCurve& z = zoomed.graph.Curves().add();
        z.setColorGraph(Qt::blue);
        z.AddPoint(0, 30);
        z.AddPoint(100, 200);
        zoomed.paint();
        QCOMPARE(zoomed.graph.MaxYValue(), 45.0);
        QCOMPARE(zoomed.count(QRect(0, 0, 828, 8), Qt::blue), 0);
        QVERIFY(zoomed.count(QRect(0, 8, 828, 140), Qt::blue) > 10);
        QCOMPARE(zoomed.count(QRect(0, 0, zoomed.graph.LeftMargin, 155), Qt::blue), 0);
    }

    // While the chart has the focus it draws the dotted focus rectangle
    // around its client area itself: every other border pixel inverted, the
    // inside untouched, the same under every style and however the focus
    // came.
    void focusMarkIsTheChartsOwn() {
        for (const QString& name : QStyleFactory::keys()) {
            for (Qt::FocusReason reason : {Qt::MouseFocusReason, Qt::TabFocusReason}) {
                Chart c;
                std::unique_ptr<QStyle> style(QStyleFactory::create(name));
                c.graph.setStyle(style.get());
                c.graph.setColor(QColor(200, 220, 60));
                c.show();
                c.graph.setFocus(reason);
                QTRY_VERIFY(c.graph.hasFocus());
                c.paint();
                const QColor inverse(55, 35, 195);
                QCOMPARE(c.row(0, 0, 9, inverse) + c.row(1, 0, 1, inverse),
                         QStringLiteral("#.#.#.#.#..."));
                QCOMPARE(c.count(QRect(0, 0, 828, 155), inverse), 414 + 414 + 76 + 77);
                QCOMPARE(c.count(QRect(100, 1, 700, 6), c.graph.Color()), 700 * 6);
                c.graph.clearFocus();
                c.paint();
                QCOMPARE(c.count(QRect(0, 0, 828, 155), inverse), 0);
            }
        }
    }

    // The first click on an unfocused chart only focuses it; then left
    // zooms in, right out, middle back to 100 %; a drag pans and does not
    // zoom; a wheel notch zooms half a step (a fine wheel's half notches add
    // up); the keypad zooms, arrows pan by 10 pixels (Ctrl: a plot width)
    // when zoomed and do nothing at 100 %. Hints show only over points.
    void zoomAndPan() {
        Chart c;
        c.curves();
        c.show();
        // The hint names the point of the higher curve under the pointer.
        for (const auto& [x, y, text] :
             {std::tuple{57, 37.4, "57: (x:57,0, y:37,0)"}, std::tuple{5, 44.0, ""}}) {
            const QPoint at(c.graph.pixelX(x), c.graph.pixelY(y));
            QHelpEvent help(QEvent::ToolTip, at, c.graph.mapToGlobal(at));
            QApplication::sendEvent(&c.graph, &help);
            QCOMPARE(c.graph.hintVisible() ? c.graph.hintTextShown() : QString(),
                     QString::fromUtf8(text));
        }
        c.click(Qt::LeftButton);
        QTRY_VERIFY(c.graph.hasFocus());
        QVERIFY(c.events.isEmpty());
        c.click(Qt::LeftButton);
        c.click(Qt::RightButton);
        c.click(Qt::LeftButton);
        c.click(Qt::LeftButton);
        c.click(Qt::MiddleButton);
        c.wheel(-120);
        c.wheel(120);
        c.wheel(120);
        c.wheel(-60);
        c.wheel(-60);
        QCOMPARE(c.events, (QList<int>{200, 100, 200, 300, 100, 150, 100, 100, 150}));

        c.events.clear();
        const double width = c.graph.ViewMaxX - c.graph.ViewMinX;
        const double minX = c.graph.ViewMinX;
        QTest::mousePress(&c.graph, Qt::LeftButton, {}, QPoint(400, 70));
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 70), c.graph.mapToGlobal(QPointF(300, 70)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&c.graph, &move);
        QTest::mouseRelease(&c.graph, Qt::LeftButton, {}, QPoint(300, 70));
        QVERIFY2(c.graph.ViewMinX > minX, "dragging to the left brings later values in");
        QCOMPARE(c.graph.ViewMaxX - c.graph.ViewMinX, width);
        QVERIFY(!c.graph.Dragged && !c.graph.LeftButtonDown && c.events.isEmpty());

        c.key(Qt::Key_Asterisk, Qt::KeypadModifier);
        const double atHundred = c.graph.ViewMinX;
        c.key(Qt::Key_Left);
        c.key(Qt::Key_Plus);  // the main keyboard's plus is no zoom key
        QCOMPARE(c.graph.ViewMinX, atHundred);
        c.key(Qt::Key_Plus, Qt::KeypadModifier);
        const double centreMin = c.graph.ViewMinX;
        c.key(Qt::Key_Right);  // the drawing moves 10 pixels to the right
        const double perPixel = (c.graph.ViewMaxX - c.graph.ViewMinX) / c.graph.PlotWidth;
        QVERIFY(std::abs((centreMin - c.graph.ViewMinX) - 10 * perPixel) < perPixel / 2);
        c.key(Qt::Key_Left, Qt::ControlModifier);  // a whole plot width: to the end
        QCOMPARE(c.graph.ViewMaxX, 150.0);
        c.key(Qt::Key_Minus, Qt::KeypadModifier);
        c.key(Qt::Key_Minus, Qt::KeypadModifier);  // no step below 100
        QCOMPARE(c.events, (QList<int>{100, 200, 100}));
    }

    // The time labels under the overview: round moments of one step (a
    // whole minute at least, hours or days on a longer journal), each once
    // and in order, at the column where the lines of that moment begin,
    // never closer than a label's width; a journal too short to cross a
    // round moment still tells when it began.
    void overviewTimeLabels_data() {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("secondsApart");
        QTest::addColumn<int>("round");  // every label a multiple of it
        QTest::addColumn<int>("fewest");
        const QDateTime morning(QDate(2026, 12, 8), QTime(6, 48, 13));
        QTest::newRow("forty seconds") << morning << 40 << 1 << 60 << 1;
        QTest::newRow("an hour") << morning << 3600 << 1 << 60 << 5;
        QTest::newRow("two days") << morning << 2 * 1440 << 60 << 3600 << 5;
        QTest::newRow("three weeks") << morning << 21 * 1440 << 60 << 86400 << 5;
        QTest::newRow("a clock set back") << morning << 1000 << -10 << 60 << 3;
    }
    void overviewTimeLabels() {
        QFETCH(QDateTime, start);
        QFETCH(int, lines);
        QFETCH(int, secondsApart);
        QFETCH(int, round);
        QFETCH(int, fewest);
        journal::JournalStore journal;
        for (int i = 0; i < lines; ++i) {
            // Set back by an hour halfway: later moments may not repeat.
            const int seconds =
                std::abs(secondsApart) * i + (secondsApart < 0 && i > lines / 2 ? -3600 : 0);
            journal.append(journal::makeRecordLine(370, 365, 362, 55, QStringLiteral("________"),
                                                   start.addSecs(seconds)));
        }
        journal::ValueDigest digest(QLatin1Char(','));
        Overview overview(journal, digest);
        overview.sync();
        constexpr int kWidth = 848;
        constexpr int kLabelWidth = 60;
        const std::vector<Overview::TimeLabel> labels = overview.timeLabels(kWidth, kLabelWidth);
        QVERIFY2(int(labels.size()) >= fewest, qPrintable(QString::number(labels.size())));
        auto momentAt = [&](int column) {
            return *journal::momentOfLine(
                journal.lineBytes(overview.columnLines(column, kWidth).first));
        };
        const QDateTime epoch(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const Overview::TimeLabel& l = labels[i];
            const QDateTime at = epoch.addSecs(l.moment);
            const QString what = at.toString(QStringLiteral("hh:mm dd.MM.yy"));
            QVERIFY2(l.moment % round == 0, qPrintable(what));
            QCOMPARE(l.time, round < 86400 ? at.toString(QStringLiteral("hh:mm")) : QString());
            QCOMPARE(l.date, at.toString(QStringLiteral("dd.MM.yy")));
            QVERIFY2(l.moment <= momentAt(l.column), qPrintable(what));
            if (i > 0) {
                QVERIFY2(l.moment > labels[i - 1].moment, qPrintable(what));
                QVERIFY2(l.column - labels[i - 1].column >= kLabelWidth, qPrintable(what));
                QVERIFY2(l.moment > momentAt(l.column - 1), qPrintable(what));
            }
            QVERIFY(l.column + kLabelWidth <= kWidth + Overview::kRightMargin);
        }
    }

    // The overview of a journal whose columns are known: three lines a
    // column, T1 spread around 37 by the column's number, T2 mostly within
    // T1's range, a column of notes now and then, and now and then a T1
    // above its band. Each column holds T1's colour exactly from the row of
    // its maximum to that of its minimum but where T2's colour marks T2's
    // highest and lowest rows, so T2 shows over T1; shaded are just the
    // columns with a value outside its band, and a click names the middle
    // line of its column.
    void overviewEnvelopesPixelForPixel() {
        constexpr int kColumns = 200;
        journal::JournalStore lines;
        const Overview::Bands bands;
        auto t1 = [&bands](int line) {
            const int x = line / 3;
            const int spread[] = {x % 7, -(x % 5), 0};
            // Reaching the band is already outside it, as for the alarms.
            return x % 25 == 10 && line % 3 == 2 ? bands.high[0] : 370 + spread[line % 3];
        };
        auto t2 = [](int line) {
            const int x = line / 3;
            const int spread[] = {x % 7 / 2, -(x % 5 / 2), 0};
            return 370 + spread[line % 3];
        };
        for (int line = 0; line < 3 * kColumns; ++line) {
            lines.append(line / 3 % 30 == 17
                             ? QStringLiteral("a note")
                             : journal::makeRecordLine(
                                   t1(line), t2(line), 362, 55, QStringLiteral("_2______"),
                                   QDateTime(QDate(2026, 12, 6), QTime(8, 0)).addSecs(line)));
        }
        journal::ValueDigest digest(journal::decimalSeparator().at(0));
        Overview overview(lines, digest);
        QVERIFY(overview.sync());
        QVERIFY(!overview.sync());
        Overview::Style style;
        style.curves = {QColor(200, 0, 0), QColor(0, 0, 200), QColor(0, 150, 0)};
        const QSize size(kColumns + Overview::kLeftMargin + Overview::kRightMargin, 300);
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        overview.paint(painter, size, style, bands);
        const int textHeight = painter.fontMetrics().height();
        const Overview::Layout layout = overview.layout(size, textHeight);
        painter.end();
        const QRect& panel = layout.temperatures;
        QCOMPARE(panel.width(), kColumns);
        const Overview::Span span = overview.spans(overview.columns(kColumns), bands).first;

        int within = 0;  // columns where T1's bar spans T2's range
        // Past the names in the panel's corner.
        for (int x = 40; x < kColumns; ++x) {
            QList<int> t1Rows;
            QList<int> t2Rows;
            int shaded = 0;
            for (int y = panel.top(); y <= panel.bottom(); ++y) {
                const QRgb pixel = image.pixel(panel.left() + x, y);
                if (pixel == style.curves[0].rgb()) {
                    t1Rows << y;
                } else if (pixel == style.curves[1].rgb() &&
                           y != Overview::rowOf(bands.high[1], span, panel) &&
                           y != Overview::rowOf(bands.low[1], span, panel)) {
                    t2Rows << y;  // not T2's dashed band
                }
                shaded += pixel == style.outside.rgb();
            }
            const bool notes = x % 30 == 17;
            const QString where = QStringLiteral("column %1").arg(x);
            QVERIFY2(notes == t2Rows.isEmpty() && (!notes || t1Rows.isEmpty()), qPrintable(where));
            QVERIFY2((x % 25 == 10 && !notes) == (shaded > panel.height() / 2), qPrintable(where));
            if (!notes) {
                auto rows = [&](auto value) {
                    const auto [low, high] =
                        std::minmax({value(3 * x), value(3 * x + 1), value(3 * x + 2)});
                    return std::pair{Overview::rowOf(high, span, panel),
                                     Overview::rowOf(low, span, panel)};
                };
                const auto [t2Top, t2Bottom] = rows(t2);
                QCOMPARE(t2Rows, (t2Top == t2Bottom ? QList{t2Top} : QList{t2Top, t2Bottom}));
                const auto [t1Top, t1Bottom] = rows(t1);
                QList<int> bar;
                for (int y = t1Top; y <= t1Bottom; ++y) {
                    if (!t2Rows.contains(y)) {
                        bar << y;
                    }
                }
                QCOMPARE(t1Rows, bar);
                within += t2Top > t1Top && t2Bottom < t1Bottom;
            }
            const QPoint click(panel.left() + x, panel.center().y());
            QCOMPARE(overview.lineAt(click, size, textHeight), 3 * x + 1);
        }
        QCOMPARE(overview.lineAt(QPoint(2, panel.center().y()), size, textHeight), -1);
        QVERIFY(within > kColumns / 3);

        // A journal shorter than the plot is spread over all of it: each
        // column shows the line it falls on.
        journal::JournalStore few;
        for (int line = 0; line < 7; ++line) {
            few.append(journal::makeRecordLine(370 + line, 380, 362, 55, QStringLiteral("_2______"),
                                               QDateTime(QDate(2026, 12, 6), QTime(8, line))));
        }
        journal::ValueDigest fewDigest(journal::decimalSeparator().at(0));
        Overview fewLines(few, fewDigest);
        fewLines.sync();
        const std::vector<journal::ValueDigest::Range> spread = fewLines.columns(kColumns);
        for (int x = 0; x < kColumns; ++x) {
            QCOMPARE(spread[std::size_t(x)].count, 1);
            QCOMPARE(spread[std::size_t(x)].max[0], 370 + x * 7 / kColumns);
        }
    }
};

IM_TEST_MAIN(TestChartWidget)
#include "tst_chartwidget.moc"
