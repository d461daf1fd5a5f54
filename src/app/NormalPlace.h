#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QTimer>

class QWidget;

namespace im::app {

// A place read from the settings file, made to fit the screens there are
// now (a monitor may have been unplugged, the file edited by hand): no
// larger than the screen it is mostly on (or the first), never smaller than
// the minimum, and moved so that all of it can be seen.
// The numbers are taken as they come, any int: a QRect could not hold them.
struct Place {
    int left, top, width, height;
};
QRect fitToScreens(Place wanted, const QSize& minimum, const QList<QRect>& screens);
// The same for the screens of this desktop (their areas free of panels).
QRect fitToScreens(Place wanted, const QSize& minimum);

// Where a top-level window stands in the normal (neither maximised nor
// minimised) state: its client area, for the settings file. A place counts
// once the window has kept it a moment, so that the steps a window manager
// goes through while it maximises the window are never taken for it.
class NormalPlace : public QObject {
public:
    explicit NormalPlace(QWidget* window);

    // The window's place now when it is normal, else its last normal one.
    QRect rect() const;
    // The place the window was given (before it was first shown).
    void set(const QRect& rect) { rect_ = rect; }
    // Whether the desktop tells programs where their windows are: a Wayland
    // compositor places them itself and reports every window at 0, 0.
    static bool positionKnown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isNormal() const;

    QWidget* window_;
    QRect rect_;
    QTimer settle_;
};

}  // namespace im::app
