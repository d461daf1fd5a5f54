#pragma once

#include "settings/SettingsSchema.h"

#include <QColor>
#include <QLabel>

#include <array>

#include <functional>

namespace im::chart {
class TGraphM;
}

namespace im::app {

// Colours are stored as the controller's old programs stored them: red in the
// low byte, blue in the third; a negative value names the system's
// highlight colour.
QColor colorFromSetting(int value);
int settingFromColor(const QColor& c);

void setTextColor(QLabel* label, const QColor& color);
QColor textColor(const QLabel* label);

// What a colour label under the chart stands for: a curve (0 to 3), the
// chart's background (shown by the panel behind the chart too) or its grid,
// and the key its colour is stored under.
struct ColourTarget {
    static constexpr int kBackground = -1;
    static constexpr int kGrid = -2;
    QLabel* label;
    const settings::IntKey* key;
    int curve;
};

// The target's colour on the chart now.
QColor chartColour(const chart::TGraphM& graph, int curve);
// Gives the target the colour: its label's text (the background's label
// keeps its own), and the curve, the background with the panel, or the grid.
void applyColour(chart::TGraphM& graph, QWidget& backPanel, const ColourTarget& target,
                 const QColor& colour);

// The labels' captions in their targets' colours, each readable on the
// chart's background, which their panel shows too: a black curve's label
// on a black background is white, and "Фон" is always its background's ink.
void showLabelColours(const std::array<ColourTarget, 6>& targets, const chart::TGraphM& graph);

// A label that reports clicks (the colour labels under the chart). Tab
// reaches it too, and Space or Enter there is its click.
class ClickLabel : public QLabel {
public:
    ClickLabel(const QString& text, QWidget* parent, std::function<void(QLabel*)> onClick);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(QLabel*)> onClick_;
};

}  // namespace im::app
