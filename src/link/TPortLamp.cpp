#include "link/TPortLamp.h"

#include "link/TSerialPort.h"

#include <QPainter>
#include <QRadialGradient>

namespace im::link {

TPortLamp::TPortLamp(QWidget* parent) : QWidget(parent) {
    resize(25, 25);
}

void TPortLamp::bindTo(TSerialPort& port) {
    setLit(port.Connected());
    connect(&port, &TSerialPort::connectedChanged, this, &TPortLamp::setLit);
}

void TPortLamp::setLit(bool lit) {
    if (lit_ != lit) {
        lit_ = lit;
        update();
    }
}

void TPortLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 4;
    const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QRadialGradient glow(lamp.center() - QPointF(side / 6.0, side / 6.0), side / 1.6);
    if (lit_) {
        glow.setColorAt(0, QColor(200, 255, 200));
        glow.setColorAt(1, QColor(0, 190, 0));
    } else {
        glow.setColorAt(0, QColor(120, 150, 120));
        glow.setColorAt(1, QColor(20, 60, 20));
    }
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(glow);
    p.drawEllipse(lamp);
}

}  // namespace im::link
