#pragma once

#include "alarms/AlarmSignalling.h"

#include <QFrame>

#include <array>
#include <functional>

class QLabel;

namespace im::app {

// A value panel: a lowered bevel holding one label. A double click on it,
// or on its label, is reported.
class ValuePanel : public QFrame {
public:
    ValuePanel(QWidget* parent, int pointSize);
    QLabel* text() const { return text_; }
    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QLabel* text_;
};

// The alarm's view on the window: the panels turn red and back, the
// taskbar button flashes. Flashing is the desktop's attention request for
// the window (shown by the taskbar while the window is not active).
class ValuePanels final : public alarms::AlarmOutputs {
public:
    using Flash = std::function<void(QWidget* window, int milliseconds)>;
    // Panels in the channels' order (humidity, T2, T1); an empty flash uses
    // the toolkit's alert.
    ValuePanels(QWidget* window, std::array<ValuePanel*, 3> panels, Flash flash);

    void setPanelRed(alarms::Channel channel, bool red) override;
    void flashTaskbar() override;

private:
    QWidget* window_;
    std::array<ValuePanel*, 3> panels_;
    Flash flash_;
};

}  // namespace im::app
