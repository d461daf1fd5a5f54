#pragma once

#include "core/Coalescer.h"
#include "link/FrameDecoder.h"

#include <functional>
#include <optional>

namespace im::app {

// What frames change in the main window (panels, journal end, window scroll
// bar, chart), shown at most once per refresh interval: a burst of frames
// costs one repaint, and the last state asked for is the one shown.
class FrameView {
public:
    struct Targets {
        std::function<void(const link::PanelTexts&)> showPanels;
        std::function<void()> journalToEnd;
        std::function<void(int newestIndex)> scrollWindowTo;
        std::function<void(int newestIndex)> plotChart;
    };
    FrameView(int refreshMs, core::Timer& timer, Targets targets);

    void showPanels(const link::PanelTexts& texts);
    void journalToEnd();
    void scrollWindowTo(int newestIndex);
    void plotChart(int newestIndex);

private:
    void refresh();

    Targets targets_;
    core::Coalescer refresh_;
    std::optional<link::PanelTexts> panels_;
    bool journalToEnd_ = false;
    int scrollTo_ = -1;
    int plotTo_ = -1;
};

}  // namespace im::app
