#include "app/ValuePanels.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

namespace im::app {

ValuePanel::ValuePanel(QWidget* parent, int pointSize) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    text_ = new QLabel(this);
    text_->setAlignment(Qt::AlignCenter);
    text_->setWordWrap(true);
    if (pointSize > 0) {
        QFont f = text_->font();
        f.setPointSize(pointSize);
        text_->setFont(f);
    }
    text_->setGeometry(2, 2, 61, 64);
    // A double click on the label reaches the panel: the label takes no
    // mouse events of its own.
}

void ValuePanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onDoubleClick) {
        onDoubleClick();
        return;
    }
    QFrame::mouseDoubleClickEvent(event);
}

ValuePanels::ValuePanels(QWidget* window, std::array<ValuePanel*, 3> panels, Flash flash)
    : window_(window), panels_(panels), flash_(std::move(flash)) {
    if (!flash_) {
        flash_ = [](QWidget* w, int ms) { QApplication::alert(w, ms); };
    }
}

void ValuePanels::setPanelRed(alarms::Channel channel, bool red) {
    ValuePanel* panel = panels_[static_cast<std::size_t>(channel)];
    // The normal colour is the buttons' face, the alarm colour pure red.
    const QColor colour = red ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Button);
    if (panel->palette().color(QPalette::Window) == colour) {
        return;
    }
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

void ValuePanels::flashTaskbar() {
    // As long as one blink phase: the button flashes with the panel.
    flash_(window_, alarms::AlarmSignalling::kBlinkMs);
}

}  // namespace im::app
