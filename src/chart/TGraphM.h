#pragma once

#include "chart/ChartModel.h"

#include <QElapsedTimer>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;

namespace im::chart {

// Black or white, whichever reads on the background: the chart's numbers
// and ticks, and the colour labels' captions under it.
QColor inkOn(const QColor& background);
// The colour as it is, or the ink where it would vanish on the background
// (a black curve or frame on a black chart).
QColor readableOn(const QColor& colour, const QColor& background);

// The chart control: paints the model into an off-screen image that reaches
// the screen in one copy, zooms and pans with the pointer, the wheel and the
// keypad, and hints the point under the pointer.
class TGraphM : public QWidget, public ChartModel {
    Q_OBJECT
public:
    explicit TGraphM(QWidget* parent = nullptr);
    ~TGraphM() override;

    // Raised after every zoom with the chart and the new Scale.
    std::function<void(TGraphM* sender, int newScale)> OnScaleChange;

    // One whole paint into image (resized to the control when needed).
    void DrawGraph(QImage& image);
    // Paints the control's off-screen image now; the next paint event then
    // only copies it to the screen.
    void render();
    // The scale labels of the last paint, bottom to top and left to right.
    const QStringList& lastYLabels() const { return yLabels_; }
    const QStringList& lastXLabels() const { return xLabels_; }

    void invalidate() override;
    // The text the hint shows at a client point, empty where there is none.
    QString hintAt(QPoint p);
    bool hintVisible() const;
    QString hintTextShown() const;

Q_SIGNALS:
    // The pointer moved over the chart (the main window's value read-out).
    void mouseMoved(QPoint position);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scaleChanged(int newScale) override;

private:
    // Everything the background (steps before the curves) depends on; a
    // paint whose key has not changed reuses the last background.
    struct BackgroundKey {
        QSize size;
        QRgb color, grid, axis, watermark;
        bool gridX, gridY, showTextScale, focus;
        int scale, precision, bottomMargin;
        double viewMinX, viewMaxX, viewMinY, viewMaxY;
        QString font;
        QChar decimal;
        bool operator==(const BackgroundKey&) const = default;
    };
    // What painting the background computes for the geometry.
    struct BackgroundFields {
        int leftMargin, plotWidth, plotHeight;
        double xUnitsPerPixel, yUnitsPerPixel;
        QSize xLabelSize, yLabelSize;
        QStringList yLabels, xLabels;
    };
    BackgroundKey backgroundKey() const;
    void paintBackground(QImage& image);
    void drawCurves(QImage& image, int y0);
    void showHint(QPoint p);
    void hideHint();

    QImage buffer_;
    bool dirty_ = true;  // buffer_ no longer shows the chart's state
    QImage background_;
    // The pixels the curves covered in the last paint of lastTarget_: the
    // next paint puts the background back on them alone instead of copying
    // the whole background.
    std::vector<qsizetype> touched_;
    const uchar* lastTarget_ = nullptr;
    bool touchedComplete_ = false;
    std::optional<BackgroundKey> backgroundKey_;
    BackgroundFields backgroundFields_;
    QStringList yLabels_;
    QStringList xLabels_;
    QLabel* hint_ = nullptr;
    QElapsedTimer hintRenewed_;
    int wheelRemainder_ = 0;
};

}  // namespace im::chart
