#include "link/ReceivePath.h"

#include <algorithm>

namespace im::link {

namespace {

const QString kAttention = QStringLiteral("Внимание!");

}  // namespace

ReceivePath::ReceivePath(TSerialPort& port, FrameDecoder& decoder, core::Balloons& balloons,
                         core::Timer& timerResetRxUart, core::Timer& timerSignalOffData,
                         QObject* parent)
    : QObject(parent),
      port_(port),
      decoder_(decoder),
      balloons_(balloons),
      resync_(timerResetRxUart),
      watchdog_(timerSignalOffData) {
    resync_.setInterval(kResyncMs);
    resync_.stop();
    watchdog_.setInterval(kNoDataMs);
    watchdog_.start();
    connect(&resync_, &core::Timer::timeout, this, &ReceivePath::TimerResetRxUartTimer);
    connect(&watchdog_, &core::Timer::timeout, this, &ReceivePath::TimerSignalOFFDataTimer);
    port_.OnRxChar = [this](int count) { ComPort1RxChar(count); };
    connect(&port_, &TSerialPort::connectedChanged, this, &ReceivePath::onConnectedChanged);
    connect(&port_, &TSerialPort::deviceLost, this, &ReceivePath::onDeviceLost);
}

QString ReceivePath::buttonCaption(bool open) {
    return open ? QStringLiteral("Стоп") : QStringLiteral("Старт");
}

QString ReceivePath::menuCaption(bool open) {
    return open ? QStringLiteral("Стоп    ") : QStringLiteral("Старт  ");
}

void ReceivePath::ComPort1RxChar(int count) {
    watchdog_.stop();
    resync_.stop();
    // Both timers count their full intervals from the end of this chunk,
    // also when reading fails: a stopped watchdog would never again warn
    // of a silent link.
    struct Rearm {
        ReceivePath& self;
        ~Rearm() {
            self.watchdog_.start();
            self.resync_.start();
            self.noDataFlag = false;
        }
    } rearm{*this};

    // Every waiting byte is read; only those that fit the frame are kept.
    int left = count;
    while (left > 0 && port_.Connected()) {
        const int n = port_.ReadBytes(scratch_.data(), std::min<int>(left, scratch_.size()));
        if (n <= 0) {
            break;
        }
        const int k = std::min(n, kFrameSize - position_);
        std::copy_n(scratch_.begin(), k, frame_.begin() + position_);
        position_ += k;
        left -= n;
    }
    if (position_ == kFrameSize) {
        position_ = 0;
        decoder_.ParsingUartStr(frame_);
    }
}

void ReceivePath::TimerResetRxUartTimer() {
    if (!port_.Connected()) {
        return;  // ticks again until the port is open
    }
    position_ = 0;
    // Stopped before the purge, so that a failing purge is reported once,
    // not every half second.
    resync_.stop();
    port_.PurgeQueues(true, true);
}

void ReceivePath::TimerSignalOFFDataTimer() {
    position_ = 0;
    if (!SignalOffData) {
        return;
    }
    QString text = QStringLiteral("Нет данных от инкубатора.");
    if (!port_.Connected()) {
        text += QLatin1Char('\r') + QStringLiteral("Не открыт ком порт ") + QLatin1Char('"') +
                port_.Port() + QLatin1Char('"') + QLatin1Char('.');
    }
    balloons_.ShowBalloon(kAttention, text, core::BalloonIcon::Warning, 10);
    if (SignalOffDataSound) {
        noDataFlag = true;
    }
}

void ReceivePath::SpBtnOpenComClick() {
    position_ = 0;
    try {
        if (!port_.Connected()) {
            port_.OpenPort();
            port_.SetDtrLine(true);
            port_.SetRtsLine(false);
        } else {
            port_.ClosePort();
        }
    } catch (const std::exception&) {
        balloons_.ShowBalloon(kAttention, QStringLiteral("Не могу открыть порт: ") + port_.Port(),
                              core::BalloonIcon::Warning, 50);
    }
    onConnectedChanged(port_.Connected());
}

void ReceivePath::onConnectedChanged(bool open) {
    Q_EMIT captionsChanged(buttonCaption(open), menuCaption(open));
}

void ReceivePath::onDeviceLost() {
    position_ = 0;
    balloons_.ShowBalloon(kAttention, QStringLiteral("Потеряна связь с портом: ") + port_.Port(),
                          core::BalloonIcon::Warning, 50);
}

}  // namespace im::link
