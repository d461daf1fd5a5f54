#include "link/FrameDecoder.h"

#include <QCoreApplication>

#include "journal/RecordLine.h"

namespace im::link {

FrameDecoder::FrameDecoder(FrameEffects& effects, core::Balloons& balloons,
                           journal::PendingSave& pending, const core::Clock& clock)
    : effects_(effects), balloons_(balloons), pending_(pending), clock_(clock) {}

void FrameDecoder::ParsingUartStr(const Frame& frame) {
    if (frameChecksum(frame) != frame[kFrameSize - 1]) {
        balloons_.ShowBalloon(
            QCoreApplication::translate("FrameDecoder", "Ошибка в данных!"),
            QCoreApplication::translate("FrameDecoder", "Не совпадает контрольная сумма."),
            core::BalloonIcon::Warning, 20);
        return;
    }
    const DecodedFrame d = decodeFrame(frame);
    const QString outputs = outputsString(d.outputs);
    effects_.showPanels(panelTextsFor(d));

    if (d.t1 >= thresholds.T1_HI || d.t1 <= thresholds.T1_LOW) {
        alarmFlags.t1 = true;
    }
    if (d.t2 >= thresholds.T2_HI || d.t2 <= thresholds.T2_LOW) {
        alarmFlags.t2 = true;
    }
    if (d.hm >= thresholds.T3_HI || d.hm <= thresholds.T3_LOW) {
        alarmFlags.hm = true;
    }

    const QDateTime now = clock_.now();
    const QString line = journal::makeRecordLine(d.t1, d.t2, d.t3, d.hm, outputs, now);

    // Counted in 64 bits: a decimation near the 32-bit limit must not wrap.
    const qint64 skip = qint64(skipCounter_) + 1;
    if (skip < decimation_) {
        skipCounter_ = static_cast<int>(skip);
        return;
    }
    skipCounter_ = 0;
    const int count = effects_.appendJournalLine(line);
    if (savePeriod_ != 0) {
        pending_.extend(line);
    }
    if (count - 1 > 0) {
        effects_.setWindowScrollBar(count - 1);
    }
    effects_.PlotChartWindow(count - 1);
    if (lineRecorded) {
        lineRecorded(d, now);
    }
}

}  // namespace im::link
