#pragma once

#include "core/Balloons.h"
#include "core/Clock.h"
#include "journal/DailyLog.h"
#include "link/TelemetryFrame.h"

#include <functional>

namespace im::link {

// The alarm bands: T1 and T2 in tenths of a degree, the humidity band
// (T3_ keys) in percent. Signed; a value on a limit is out of band.
struct AlarmThresholds {
    int T1_HI = 390;
    int T1_LOW = 350;
    int T2_HI = 390;
    int T2_LOW = 350;
    int T3_HI = 90;
    int T3_LOW = 30;
};

// Latched by decoding, cleared only by the operator's reset.
struct AlarmFlags {
    bool t1 = false;
    bool t2 = false;
    bool hm = false;
};

// What decoding does outside itself: the window shows the values, keeps the
// journal and moves the chart; the recorder prints.
class FrameEffects {
public:
    virtual ~FrameEffects() = default;
    virtual void showPanels(const PanelTexts& texts) = 0;
    // Appends a record line to the journal; returns the number of lines.
    virtual int appendJournalLine(const QString& line) = 0;
    // Sets the window scroll bar's maximum and then its position.
    virtual void setWindowScrollBar(int newestIndex) = 0;
    virtual void PlotChartWindow(int newestIndex) = 0;
};

// Frame decoding: checks a complete frame, shows its values, latches the
// alarm flags and makes its record line; one accepted frame in n becomes a
// journal line.
class FrameDecoder {
public:
    FrameDecoder(FrameEffects& effects, core::Balloons& balloons, journal::PendingSave& pending,
                 const core::Clock& clock);

    void ParsingUartStr(const Frame& frame);

    AlarmThresholds thresholds;
    AlarmFlags alarmFlags;

    // The decimation n (0 and 1 take every frame). Changing it leaves the
    // skip counter alone.
    int decimation() const { return decimation_; }
    void setDecimation(int n) { decimation_ = n; }
    // Start-up sets the counter to n, so the first accepted frame is taken.
    int skipCounter() const { return skipCounter_; }
    void setSkipCounter(int value) { skipCounter_ = value; }

    // Minutes; not 0 means appended lines are also collected for the day file.
    int savePeriod() const { return savePeriod_; }
    void setSavePeriod(int minutes) { savePeriod_ = minutes; }

    // Told of every journal line after it was appended, with its values and
    // the moment it carries: what publishes the incubator beyond the program.
    std::function<void(const DecodedFrame&, const QDateTime&)> lineRecorded;

private:
    FrameEffects& effects_;
    core::Balloons& balloons_;
    journal::PendingSave& pending_;
    const core::Clock& clock_;
    int decimation_ = 0;
    int skipCounter_ = 0;
    int savePeriod_ = 0;
};

}  // namespace im::link
