#include "app/TrayBalloon.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace im::app {

TrayBalloon::TrayBalloon() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    picture_ = new QLabel(this);
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    text_ = new QLabel(this);
    text_->setTextFormat(Qt::PlainText);
    title_->setTextFormat(Qt::PlainText);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setHorizontalSpacing(8);
    layout->addWidget(picture_, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title_, 0, 1);
    layout->addWidget(text_, 1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, &QWidget::hide);
}

void TrayBalloon::showBeside(const QRect& icon, const QString& title, const QString& text,
                             const QIcon& picture, int milliseconds) {
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize) * 2;
    picture_->setPixmap(picture.pixmap(side, side));
    picture_->setVisible(!picture.isNull());
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
    text_->setText(text);
    adjustSize();
    QScreen* screen = icon.isEmpty() ? nullptr : QGuiApplication::screenAt(icon.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QPoint at;
    if (icon.isEmpty()) {
        at = room.bottomRight() - QPoint(width() - 1, height() - 1);
    } else {
        // Above an icon in the lower half of the screen, below one in the
        // upper half, centred on it as far as the screen allows.
        const int y =
            icon.center().y() > room.center().y() ? icon.top() - height() - 2 : icon.bottom() + 3;
        at = QPoint(icon.center().x() - width() / 2, y);
    }
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width() + 1)));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height() + 1)));
    move(at);
    show();
    raise();
    timeout_.start(std::max(milliseconds, 1));
}

void TrayBalloon::mousePressEvent(QMouseEvent* event) {
    event->accept();
    hide();
    timeout_.stop();
    Q_EMIT clicked();
}

void TrayBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace im::app
