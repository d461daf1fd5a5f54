#pragma once

#include <QColor>
#include <QLabel>

#include <functional>

namespace im::app {

// Colours are stored as the controller's old programs stored them: red in the
// low byte, blue in the third; a negative value names the system's
// highlight colour.
QColor colorFromSetting(int value);
int settingFromColor(const QColor& c);

void setTextColor(QLabel* label, const QColor& color);
QColor textColor(const QLabel* label);

// A label that reports clicks (the colour labels under the chart).
class ClickLabel : public QLabel {
public:
    ClickLabel(const QString& text, QWidget* parent, std::function<void(QLabel*)> onClick);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void(QLabel*)> onClick_;
};

}  // namespace im::app
