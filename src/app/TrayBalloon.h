#pragma once

#include <QIcon>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace im::app {

// The balloon beside an icon in an X11 (XEmbed) tray: a picture, a bold
// title and a text in a framed window above or below the icon. It is one
// window, made once: showing it again changes its words and restarts its
// time, where the toolkit's balloon makes a new window every time, and an
// alarm's balloon comes back at every blink for as long as the alarm
// lasts. It can also be taken down at once, as an alarm's reset does.
class TrayBalloon : public QWidget {
    Q_OBJECT
public:
    TrayBalloon();

    // Shows it beside the icon's place on the screen (an empty one: in the
    // screen's corner) for that long.
    void showBeside(const QRect& icon, const QString& title, const QString& text,
                    const QIcon& picture, int milliseconds);

Q_SIGNALS:
    // A press on the balloon, which takes it down.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* picture_;
    QLabel* title_;
    QLabel* text_;
    QTimer timeout_;
};

}  // namespace im::app
