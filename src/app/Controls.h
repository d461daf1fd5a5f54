#pragma once

#include "journal/QuietScrollBar.h"

#include <QToolButton>

namespace im::app {

// A scroll bar whose thumb and whose jump are two settings, as operators know
// them from other programs: the page size sets the thumb's length, the large
// change how far a click in the trough moves the position. (The toolkit's
// page step alone would do both, so a jump of 100 lines would make a thumb
// covering most of the track.)
class ScrollBar : public journal::QuietScrollBar {
public:
    ScrollBar(Qt::Orientation orientation, int minimum, int maximum, int position, QWidget* parent);

    void setPageSize(int size) { setPageStep(size); }
    int pageSize() const { return pageStep(); }
    void setLargeChange(int change) { largeChange_ = change; }
    int largeChange() const { return largeChange_; }

private:
    int largeChange_ = 1;
};

// A flat speed button: it never takes the keyboard focus (so a click on it
// does not cost the chart its focus, nor the operator the next zoom click)
// and shows its frame under the pointer, so that it can be seen to be a
// button.
class SpeedButton : public QToolButton {
public:
    SpeedButton(const QString& caption, QWidget* parent);
};

// Shows a window modal over `owner`, centred on it, without a nested event
// loop: the owner takes no input while its timers and the port go on.
void showModalOver(QWidget& owner, QWidget* window);

}  // namespace im::app
