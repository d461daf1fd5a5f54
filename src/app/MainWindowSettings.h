#pragma once

#include "journal/ValueDigest.h"
#include "link/FrameDecoder.h"
#include "settings/SettingsChoice.h"
#include "settings/SettingsSchema.h"

#include <QRect>

#include <array>
#include <utility>

namespace im::app {

class TForm1;

// The settings dialog's hold on the running main window.
class MainWindowSettings final : public settings::SettingsTarget {
public:
    explicit MainWindowSettings(TForm1& form) : form_(form) {}

    QString alarmSound() const override;
    void setSignalOffData(bool on) override;
    void setMinimizeToTray(bool on) override;
    void setSavePeriod(int minutes) override;
    void setDecimation(int n) override;
    void setAlarmEnables(bool t1, bool t2, bool humidity) override;
    void setSignalOffDataSound(bool on) override;
    void setAlarmSound(const QString& name) override;
    void setSoundPeriod(int seconds) override;

    // What a close writes back, every key in one replacement of the file:
    // the port's settings, the window's normal place (its client area),
    // state and scroll bars, the thresholds and the alarm sound. A file
    // that cannot be written fails as the port's settings, the first thing
    // written, would.
    void writeForClose(const QRect& normalPlace);

private:
    TForm1& form_;
};

// The six alarm thresholds and their keys, read at start and written at
// close.
using ThresholdKey = std::pair<const settings::IntKey*, int link::AlarmThresholds::*>;
inline std::array<ThresholdKey, 6> thresholdKeys() {
    namespace keys = settings::keys;
    using T = link::AlarmThresholds;
    return {{{&keys::T1_HI, &T::T1_HI},
             {&keys::T1_LOW, &T::T1_LOW},
             {&keys::T2_HI, &T::T2_HI},
             {&keys::T2_LOW, &T::T2_LOW},
             {&keys::T3_HI, &T::T3_HI},
             {&keys::T3_LOW, &T::T3_LOW}}};
}

// The bands of the alarm boxes as the daily summary and the overview judge
// values by them.
inline journal::ValueBands valueBands(const link::AlarmThresholds& t) {
    return {{t.T1_HI, t.T2_HI, t.T3_HI * 10}, {t.T1_LOW, t.T2_LOW, t.T3_LOW * 10}};
}

}  // namespace im::app
