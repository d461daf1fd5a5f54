#include "app/ColourLabels.h"

#include <QApplication>
#include <QMouseEvent>

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

ClickLabel::ClickLabel(const QString& text, QWidget* parent, std::function<void(QLabel*)> onClick)
    : QLabel(text, parent), onClick_(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        onClick_(this);
    }
}

}  // namespace im::app
