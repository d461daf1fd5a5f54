#include "app/TFormOverview.h"

#include "app/SaveCommands.h"
#include "chart/TGraphM.h"
#include "core/ErrorReport.h"
#include "journal/RecordLine.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>

namespace im::app {

class TFormOverview::View : public QWidget {
public:
    explicit View(TFormOverview& owner) : QWidget(&owner), owner_(owner) {
        setMinimumSize(320, 200);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::PointingHandCursor);
        setToolTip(QCoreApplication::translate(
            "TFormOverview",
            "Щелчок показывает это время на графике главного окна и держит "
            "его там; щелчок у правого края — снова последние строки"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        owner_.overview_.paint(painter, size(), owner_.shownStyle_, owner_.shownBands_,
                               owner_.shownChartLine_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        const QPoint at = event->position().toPoint();
        const int textHeight = fontMetrics().height();
        if (owner_.overview_.atNewestEdge(at, size(), textHeight)) {
            core::runGuarded([this] { owner_.sources_.showNewest(); });
        } else if (const int line = owner_.overview_.lineAt(at, size(), textHeight); line >= 0) {
            core::runGuarded([this, line] { owner_.sources_.showLine(line); });
        }
    }

private:
    TFormOverview& owner_;
};

TFormOverview::TFormOverview(const journal::JournalStore& journal, journal::ValueDigest& digest,
                             Dialogs& dialogs, Sources sources, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      overview_(journal, digest),
      dialogs_(dialogs),
      sources_(std::move(sources)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("TFormOverview", "Обзор"));
    QMenu* file = menuBar()->addMenu(QCoreApplication::translate("TForm1", "Файл"));
    NSaveChart = file->addAction(QCoreApplication::translate("TForm1", "Сохранить график как.."),
                                 this, [this] { core::runGuarded([this] { NSaveChartClick(); }); });
    file->addSeparator();
    file->addAction(QCoreApplication::translate("TFormOverview", "Закрыть"), this, &QWidget::close);
    view_ = new View(*this);
    setCentralWidget(view_);
    resize(900, 380);
    refreshTimer_.setInterval(1000);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { refresh(); });
    refreshTimer_.start();
    refresh();
}

void TFormOverview::refresh() {
    const chart::Overview::Bands bands = sources_.bands();
    const chart::Overview::Style style = sources_.style();
    const int chartLine = sources_.chartLine();
    const bool changed = overview_.sync();
    if (changed || bands != shownBands_ || style != shownStyle_ || chartLine != shownChartLine_) {
        shownBands_ = bands;
        shownStyle_ = style;
        shownChartLine_ = chartLine;
        view_->update();
    }
}

chart::Overview::Style overviewStyle(const chart::TGraphM& chart) {
    chart::Overview::Style style;
    style.background = chart.Color();
    style.grid = chart.ColorGrid();
    style.text = chart.ColorAxis();
    const chart::TCurves& curves = chart.Curves();
    for (const auto& [value, curve] : {std::pair{0, 0}, {1, 1}, {2, 3}}) {
        if (curve < curves.count()) {
            style.curves[std::size_t(value)] = curves[curve].ColorGraph();
        }
    }
    return style;
}

void TFormOverview::NSaveChartClick() {
    saveChartAsked(*this, dialogs_, *view_);
}

}  // namespace im::app
