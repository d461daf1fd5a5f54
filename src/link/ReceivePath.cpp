#include "link/ReceivePath.h"

#include <QCoreApplication>

#include <algorithm>

namespace im::link {

namespace {

// Looked up when shown: the catalogue is installed after static start-up.
QString attention() {
    return QCoreApplication::translate("ReceivePath", "Внимание!");
}

}  // namespace

ReceivePath::ReceivePath(TSerialPort& port, FrameDecoder& decoder, core::Balloons& balloons,
                         core::Timer& timerResetRxUart, core::Timer& timerSignalOffData,
                         core::Timer* timerReopen, QObject* parent)
    : QObject(parent),
      port_(port),
      decoder_(decoder),
      balloons_(balloons),
      resync_(timerResetRxUart),
      watchdog_(timerSignalOffData),
      reopen_(timerReopen) {
    resync_.setInterval(kResyncMs);
    resync_.stop();
    watchdog_.setInterval(kNoDataMs);
    watchdog_.start();
    connect(&resync_, &core::Timer::timeout, this, &ReceivePath::TimerResetRxUartTimer);
    connect(&watchdog_, &core::Timer::timeout, this, &ReceivePath::TimerSignalOFFDataTimer);
    if (reopen_ != nullptr) {
        reopen_->setInterval(kReopenMs);
        reopen_->stop();
        connect(reopen_, &core::Timer::timeout, this, &ReceivePath::TimerReopenTimer);
    }
    port_.OnRxChar = [this](int count) { ComPort1RxChar(count); };
    connect(&port_, &TSerialPort::connectedChanged, this, &ReceivePath::onConnectedChanged);
    connect(&port_, &TSerialPort::deviceLost, this, &ReceivePath::onDeviceLost);
}

QString ReceivePath::buttonCaption(bool open) {
    return open ? QCoreApplication::translate("ReceivePath", "Стоп")
                : QCoreApplication::translate("ReceivePath", "Старт");
}

QString ReceivePath::menuCaption(bool open) {
    return open ? QCoreApplication::translate("ReceivePath", "Стоп    ")
                : QCoreApplication::translate("ReceivePath", "Старт  ");
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
            Q_EMIT self.receiving(true);
        }
    } rearm{*this};

    // Every waiting byte is read. The bytes after a completed frame begin
    // the next one: frames that queued up while the window was busy (two in
    // one chunk, or a frame and the start of the next) are all decoded and
    // the stream stays in step.
    int left = count;
    while (left > 0 && port_.Connected()) {
        const int n = port_.ReadBytes(scratch_.data(), std::min<int>(left, scratch_.size()));
        if (n <= 0) {
            break;
        }
        left -= n;
        for (int i = 0; i < n;) {
            const int k = std::min(n - i, kFrameSize - position_);
            std::copy_n(scratch_.begin() + i, k, frame_.begin() + position_);
            position_ += k;
            i += k;
            if (position_ == kFrameSize) {
                position_ = 0;
                decoder_.ParsingUartStr(frame_);
            }
        }
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
        Q_EMIT receiving(false);
        return;
    }
    QString text = QCoreApplication::translate("ReceivePath", "Нет данных от инкубатора.");
    if (!port_.Connected()) {
        text += QLatin1Char('\r') +
                QCoreApplication::translate("ReceivePath", "Не открыт ком порт ") +
                QLatin1Char('"') + port_.Port() + QLatin1Char('"') + QLatin1Char('.');
    }
    balloons_.ShowBalloon(attention(), text, core::BalloonIcon::Warning, 10);
    if (SignalOffDataSound) {
        noDataFlag = true;
    }
    Q_EMIT receiving(false);
}

void ReceivePath::SpBtnOpenComClick() {
    position_ = 0;
    if (reopening()) {
        reopen_->stop();  // the operator's Stop ends the waiting
    } else if (!port_.Connected()) {
        if (!openPort()) {
            balloons_.ShowBalloon(
                attention(),
                QCoreApplication::translate("ReceivePath", "Не могу открыть порт: ") + port_.Port(),
                core::BalloonIcon::Warning, 50);
        }
    } else {
        try {
            port_.ClosePort();
        } catch (const std::exception&) {
            // closing leaves the port closed in any case
        }
    }
    showCaptions();
}

bool ReceivePath::openPort() {
    try {
        port_.OpenPort();
        port_.SetDtrLine(true);
        port_.SetRtsLine(false);
        return true;
    } catch (const std::exception&) {
        if (port_.Connected()) {
            port_.ClosePort();
        }
        return false;
    }
}

void ReceivePath::TimerReopenTimer() {
    if (port_.Connected()) {
        reopen_->stop();
        return;
    }
    position_ = 0;
    if (openPort()) {
        reopen_->stop();
        balloons_.ShowBalloon(
            attention(),
            QCoreApplication::translate("ReceivePath", "Связь с портом восстановлена: ") +
                port_.Port(),
            core::BalloonIcon::Info, 10);
        showCaptions();
    }
}

void ReceivePath::showCaptions() {
    const bool started = port_.Connected() || reopening();
    Q_EMIT captionsChanged(buttonCaption(started), menuCaption(started));
}

void ReceivePath::onConnectedChanged(bool) {
    showCaptions();
}

void ReceivePath::onDeviceLost() {
    position_ = 0;
    if (reopen_ != nullptr) {
        reopen_->start();
    }
    balloons_.ShowBalloon(
        attention(),
        QCoreApplication::translate("ReceivePath", "Потеряна связь с портом: ") + port_.Port(),
        core::BalloonIcon::Warning, 50);
    showCaptions();
}

}  // namespace im::link
