// The serial byte stream through the receive path: the bytes arrive on a
// real pseudo-terminal in chunks whose size the input's first byte chooses,
// are assembled into frames, decoded, added to the journal and plotted.

#include "FuzzApp.h"
#include "chart/ChartModel.h"
#include "chart/ChartWindow.h"
#include "common/PseudoTerminal.h"
#include "journal/JournalStore.h"
#include "link/FrameDecoder.h"
#include "link/ReceivePath.h"
#include "link/TSerialPort.h"
#include "support/Fakes.h"

#include <QThread>

#include <cstdint>

using namespace im;

namespace {

struct Rig : link::FrameEffects {
    journal::JournalStore journal;
    chart::ChartModel chart;
    chart::ChartWindow window{journal, chart};
    test::RecordingBalloons balloons;
    journal::PendingSave pending;
    test::FakeClock clock;
    link::FrameDecoder decoder{*this, balloons, pending, clock};
    tools::PseudoTerminal pty;
    link::TSerialPort port;
    test::FakeTimer resync;
    test::FakeTimer watchdog;
    test::FakeTimer reopen;
    link::ReceivePath path{port, decoder, balloons, resync, watchdog, &reopen};

    Rig() {
        port.setPort(pty.slavePath());
        path.SpBtnOpenComClick();
    }
    void showPanels(const link::PanelTexts&) override {}
    int appendJournalLine(const QString& line) override { return journal.append(line); }
    void setWindowScrollBar(int) override {}
    void PlotChartWindow(int newestIndex) override { window.PlotChartWindow(newestIndex); }

    // Sends a chunk and hands the receive path what has arrived of it.
    void chunk(const QByteArray& bytes) {
        pty.send(bytes);
        for (int tries = 0; tries < 1000 && port.QueuedInputCount() < bytes.size(); ++tries) {
            QThread::usleep(10);
        }
        path.ComPort1RxChar(port.QueuedInputCount());
        // What the program's event loop would deliver meanwhile (the port's
        // notifications, deferred deletions) must not pile up either.
        QCoreApplication::processEvents();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    static Rig rig;
    if (size == 0 || !rig.port.Connected()) {
        return 0;
    }
    const std::size_t step = 1 + data[0] % 32;
    for (std::size_t at = 1; at < size; at += step) {
        rig.chunk(QByteArray(reinterpret_cast<const char*>(data + at),
                             qsizetype(std::min(step, size - at))));
    }
    if (data[0] & 0x80) {
        rig.path.TimerResetRxUartTimer();  // a pause in the middle of a frame
    }
    // What a long run collects (the journal, the lines waiting for the day
    // file, the recorded balloons) is let go now and then.
    if (rig.journal.lineCount() > 20000) {
        rig.journal.clear();
        rig.pending.clear();
        rig.balloons.shown.clear();
    }
    return 0;
}
