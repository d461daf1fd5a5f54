#pragma once

#include "common/PseudoTerminal.h"
#include "journal/DailyLog.h"
#include "link/FrameDecoder.h"
#include "link/ReceivePath.h"
#include "link/TSerialPort.h"
#include "support/Fakes.h"

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

// A program's receive path on a pseudo-terminal the test plays the
// controller on, its timers ticking only when told.
struct ReceiveStack {
    tools::PseudoTerminal pty;
    link::TSerialPort port;
    RecordingBalloons balloons;
    FakeClock clock;
    journal::PendingSave pending;
    CountingEffects effects;
    link::FrameDecoder decoder{effects, balloons, pending, clock};
    FakeTimer resync, watchdog;
    link::ReceivePath receive{port, decoder, balloons, resync, watchdog};

    ReceiveStack() { port.setPort(pty.slavePath()); }
};

}  // namespace im::test
