#pragma once

#include "chart/Overview.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>

class QAction;

namespace im::chart {
class TGraphM;
}

namespace im::app {

class Dialogs;

// "Обзор": the whole journal at a glance, in a window of its own beside the
// main one. It follows the journal, the bands, the colours and the chart's
// window (marked with a dotted line) as they change; a click asks the main
// window to show that moment on its chart, a click at the right edge to
// show the newest lines again.
class TFormOverview : public QMainWindow {
    Q_OBJECT
public:
    struct Sources {
        std::function<chart::Overview::Style()> style;
        std::function<chart::Overview::Bands()> bands;
        std::function<void(int line)> showLine;
        std::function<void()> showNewest;
        // The newest line of the main chart's window, marked on the picture.
        std::function<int()> chartLine;
    };
    TFormOverview(const journal::JournalStore& journal, journal::ValueDigest& digest,
                  Dialogs& dialogs, Sources sources, QWidget* parent = nullptr);

    // Reads what changed and repaints when the picture may differ; run by a
    // timer while the window is shown.
    void refresh();
    // "Сохранить график как..": the picture as shown, as a PNG.
    void NSaveChartClick();

    QWidget* view() const { return view_; }
    const chart::Overview& overview() const { return overview_; }
    QAction* NSaveChart = nullptr;

private:
    class View;

    chart::Overview overview_;
    Dialogs& dialogs_;
    Sources sources_;
    QWidget* view_ = nullptr;
    QTimer refreshTimer_;
    chart::Overview::Bands shownBands_;
    chart::Overview::Style shownStyle_;
    int shownChartLine_ = -1;
};

// The chart's background, grid and the T1, T2 and HM curve colours.
chart::Overview::Style overviewStyle(const chart::TGraphM& chart);

}  // namespace im::app
