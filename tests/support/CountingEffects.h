#pragma once

#include "link/FrameDecoder.h"

namespace im::test {

// A program's frame effects that only count the journal lines: for a
// receive path whose window does not matter.
struct CountingEffects final : link::FrameEffects {
    void showPanels(const link::PanelTexts&) override {}
    int appendJournalLine(const QString&) override { return ++lines; }
    void setWindowScrollBar(int) override {}
    void PlotChartWindow(int) override {}
    int lines = 0;
};

}  // namespace im::test
