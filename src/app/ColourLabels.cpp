#include "app/ColourLabels.h"

#include "chart/TGraphM.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace im::app {

QColor colorFromSetting(int value) {
    if (value < 0) {
        return QApplication::palette().color(QPalette::Highlight);  // a system colour
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int settingFromColor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

void setTextColor(QLabel* label, const QColor& color) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

QColor textColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

QColor chartColour(const chart::TGraphM& graph, int curve) {
    switch (curve) {
        case ColourTarget::kBackground:
            return graph.Color();
        case ColourTarget::kGrid:
            return graph.ColorGrid();
        default:
            return graph.Curves()[std::size_t(curve)].ColorGraph();
    }
}

void applyColour(chart::TGraphM& graph, QWidget& backPanel, const ColourTarget& target,
                 const QColor& colour) {
    switch (target.curve) {
        case ColourTarget::kBackground: {
            QPalette p = backPanel.palette();
            p.setColor(QPalette::Window, colour);
            backPanel.setPalette(p);
            graph.setColor(colour);
            break;
        }
        case ColourTarget::kGrid:
            setTextColor(target.label, colour);
            graph.setColorGrid(colour);
            break;
        default:
            setTextColor(target.label, colour);
            graph.Curves()[std::size_t(target.curve)].setColorGraph(colour);
    }
}

void showLabelColours(const std::array<ColourTarget, 6>& targets, const chart::TGraphM& graph) {
    const QColor background = graph.Color();
    for (const ColourTarget& target : targets) {
        setTextColor(target.label,
                     target.curve == ColourTarget::kBackground
                         ? chart::inkOn(background)
                         : chart::readableOn(chartColour(graph, target.curve), background));
    }
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent, std::function<void(QLabel*)> onClick)
    : QLabel(text, parent), onClick_(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
    // Tab only: a click keeps the focus where it was (the chart's keys).
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            onClick_(this);
            return;
        default:
            QLabel::keyPressEvent(event);
    }
}

void ClickLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QStylePainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        onClick_(this);
    }
}

}  // namespace im::app
