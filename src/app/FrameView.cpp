#include "app/FrameView.h"

#include "core/ErrorReport.h"

#include <utility>

namespace im::app {

FrameView::FrameView(int refreshMs, core::Timer& timer, Targets targets)
    : targets_(std::move(targets)),
      refresh_(refreshMs, timer, [this] { core::runGuarded([this] { refresh(); }); }) {}

void FrameView::showPanels(const link::PanelTexts& texts) {
    panels_ = texts;
    refresh_.request();
}

void FrameView::journalToEnd() {
    journalToEnd_ = true;
    refresh_.request();
}

void FrameView::scrollWindowTo(int newestIndex) {
    scrollTo_ = newestIndex;
    refresh_.request();
}

void FrameView::plotChart(int newestIndex) {
    plotTo_ = newestIndex;
    refresh_.request();
}

void FrameView::refresh() {
    if (panels_) {
        targets_.showPanels(*std::exchange(panels_, std::nullopt));
    }
    if (std::exchange(journalToEnd_, false)) {
        targets_.journalToEnd();
    }
    if (scrollTo_ >= 0) {
        targets_.scrollWindowTo(std::exchange(scrollTo_, -1));
    }
    if (plotTo_ >= 0) {
        targets_.plotChart(std::exchange(plotTo_, -1));
    }
}

}  // namespace im::app
