#pragma once

#include "core/Balloons.h"
#include "core/Timer.h"
#include "link/FrameDecoder.h"
#include "link/TSerialPort.h"

#include <QObject>

#include <array>

namespace im::link {

// From received bytes to frames: frames have no header, only pauses mark
// their boundaries. Bytes collect in the frame assembly buffer until nine are
// there; half a second of silence drops a partial frame; three seconds of
// silence raise the no-data warning. Also the Start/Stop command of the port.
class ReceivePath : public QObject {
    Q_OBJECT
public:
    static constexpr int kResyncMs = 500;
    static constexpr int kNoDataMs = 3000;
    static constexpr int kReopenMs = 3000;

    // The two timers are the window's TimerResetRxUart and
    // TimerSignalOFFData; the watchdog is armed from now on. With a reopen
    // timer, a device that goes away while started is tried again on its
    // ticks until it is back or the operator stops.
    ReceivePath(TSerialPort& port, FrameDecoder& decoder, core::Balloons& balloons,
                core::Timer& timerResetRxUart, core::Timer& timerSignalOffData,
                core::Timer* timerReopen = nullptr, QObject* parent = nullptr);

    void ComPort1RxChar(int count);
    void TimerResetRxUartTimer();
    void TimerSignalOFFDataTimer();
    // Start/Stop: opens a closed port (DTR on, RTS off) or closes an open
    // one; while a lost device is being waited for, it stops the waiting.
    void SpBtnOpenComClick();
    void TimerReopenTimer();
    // Started, with the device gone: it is tried again every kReopenMs.
    bool reopening() const { return reopen_ != nullptr && reopen_->isActive(); }

    // The watchdog warns the operator; with the sound switch it also sets
    // the no-data flag. Both hold from the next watchdog tick.
    bool SignalOffData = false;
    bool SignalOffDataSound = false;
    // Set by the watchdog, cleared by every received chunk and by the
    // operator's alarm reset.
    bool noDataFlag = false;

    int position() const { return position_; }
    const Frame& frameBuffer() const { return frame_; }

    // The captions of SpBtnOpenCom and NStartCom for a port state.
    static QString buttonCaption(bool open);
    static QString menuCaption(bool open);

Q_SIGNALS:
    // The Start/Stop captions, sent whenever the port opens or closes or
    // the waiting for a lost device ends: "Стоп" while started (open, or
    // waiting for the device), "Старт" otherwise.
    void captionsChanged(const QString& button, const QString& menu);
    // True after every chunk of received bytes has been decoded, false at
    // every tick of the no-data watchdog; the alarm flags may have changed
    // with either.
    void receiving(bool arriving);

private:
    void onConnectedChanged(bool open);
    void onDeviceLost();
    bool openPort();
    void showCaptions();

    TSerialPort& port_;
    FrameDecoder& decoder_;
    core::Balloons& balloons_;
    core::Timer& resync_;
    core::Timer& watchdog_;
    core::Timer* reopen_;
    Frame frame_{};
    int position_ = 0;
    std::array<char, 4096> scratch_{};
};

}  // namespace im::link
