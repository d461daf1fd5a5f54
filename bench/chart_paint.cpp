// Paints a chart of four curves of 1050 points on an 828 x 155 control (the
// main window's chart with a full journal window) and prints the median time
// of one whole paint. With --png FILE it also saves one painted image.

#include "Figures.h"
#include "chart/TGraphM.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using im::chart::TGraphM;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    im::bench::printWithFullStop();
    im::bench::printMachineLoad("before");
    QString png;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--png"));
    if (at >= 0 && at + 1 < args.size()) {
        png = args[at + 1];
    }

    TGraphM chart;
    chart.resize(828, 155);
    chart.setMaxXValue(1050);
    chart.setMinYValue(20);
    chart.setMaxYValue(45);
    chart.setShowTextScale(false);
    const QColor colors[] = {Qt::black, QColor(0, 0, 255), QColor(64, 128, 128), QColor(0, 255, 0)};
    for (int c = 0; c < 4; ++c) {
        im::chart::TCurve& curve = chart.Curves().add();
        curve.setColorGraph(colors[c]);
        curve.reserve(1050);
        for (int i = 0; i < 1050; ++i) {
            const double base = c == 3 ? 30 : 37.5 - c * 0.4;
            curve.AddPoint(i, base + std::sin(i / (25.0 + c * 7)) * (c == 3 ? 8 : 0.6));
        }
    }
    if (!png.isEmpty()) {
        chart.setDetails(true);
        chart.Curves()[1].setThickLine(3);
    }

    QImage image;
    for (int i = 0; i < 20; ++i) {
        chart.DrawGraph(image);  // warm up caches and fonts
    }
    std::vector<double> ms;
    for (int i = 0; i < 300; ++i) {
        QElapsedTimer t;
        t.start();
        chart.DrawGraph(image);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    std::printf("chart_paint_4x1050_ms %.3f ms (grid and scales as the last paint left them)\n",
                ms[ms.size() / 2]);
    // The same with the background painted anew every time (a changed range,
    // a zoom, a resize).
    ms.clear();
    for (int i = 0; i < 300; ++i) {
        chart.setGridX(i % 2 == 0);
        QElapsedTimer t;
        t.start();
        chart.DrawGraph(image);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    chart.setGridX(true);
    chart.DrawGraph(image);
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    std::printf("chart_paint_4x1050_full_ms %.3f ms (everything painted anew)\n",
                ms[ms.size() / 2]);
    if (!png.isEmpty()) {
        image.save(png);
    }
    return 0;
}
