#include "app/TTrayIcon.h"

#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QStatusBar>

namespace im::app {

QIcon applicationIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 120, 30));
        p.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
        QPainterPath egg;
        const QRectF body(side * 0.28, side * 0.18, side * 0.44, side * 0.64);
        egg.addEllipse(body);
        p.setBrush(QColor(255, 248, 225));
        p.setPen(QPen(QColor(120, 60, 10), std::max(1.0, side / 24.0)));
        p.drawPath(egg);
        icon.addPixmap(pixmap);
    }
    return icon;
}

TTrayIcon::TTrayIcon(QMainWindow* window) : QObject(window), window_(window) {
    icon_.setIcon(applicationIcon());
}

void TTrayIcon::setIconVisible(bool visible) {
    icon_.setVisible(visible && QSystemTrayIcon::isSystemTrayAvailable());
}

void TTrayIcon::ShowBalloon(const QString& title, const QString& text, core::BalloonIcon kind,
                            int timeoutSeconds) {
    const QString shownTitle = title.left(63);
    QString shownText = text.left(255);
    shownText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (icon_.isVisible() && QSystemTrayIcon::supportsMessages()) {
        QSystemTrayIcon::MessageIcon qtIcon = QSystemTrayIcon::NoIcon;
        switch (kind) {
            case core::BalloonIcon::Info:
                qtIcon = QSystemTrayIcon::Information;
                break;
            case core::BalloonIcon::Warning:
                qtIcon = QSystemTrayIcon::Warning;
                break;
            case core::BalloonIcon::Error:
                qtIcon = QSystemTrayIcon::Critical;
                break;
            case core::BalloonIcon::None:
                break;
        }
        icon_.showMessage(shownTitle, shownText, qtIcon, timeoutSeconds * 1000);
        return;
    }
    QString line = shownTitle + QStringLiteral(" ") + shownText;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    window_->statusBar()->showMessage(line, timeoutSeconds * 1000);
}

}  // namespace im::app
