#pragma once

#include <QObject>
#include <QRect>
#include <QTimer>

class QWidget;

namespace im::app {

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isNormal() const;

    QWidget* window_;
    QRect rect_;
    QTimer settle_;
};

}  // namespace im::app
