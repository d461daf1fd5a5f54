#pragma once

#include <QString>

namespace im::settings {

class Autorun;
class SettingsFile;

// The range of one of the settings dialog's number fields.
struct Range {
    int minimum;
    int maximum;
    int clamp(int value) const;
};

inline constexpr Range kSkipDataRange{1, 120};
inline constexpr Range kSaveMinutesRange{0, 60};
inline constexpr Range kSoundSecondsRange{1, 99};

// What the settings dialog changes in the running program, besides the
// settings file and the autorun entry.
class SettingsTarget {
public:
    virtual ~SettingsTarget() = default;
    // The alarm sound file name in use now, which may not be stored yet.
    virtual QString alarmSound() const = 0;
    virtual void setSignalOffData(bool on) = 0;
    virtual void setMinimizeToTray(bool on) = 0;
    // Minutes between periodic saves; 0 stops them.
    virtual void setSavePeriod(int minutes) = 0;
    // One frame in n becomes a journal line; the skip counter keeps its place.
    virtual void setDecimation(int n) = 0;
    virtual void setAlarmEnables(bool t1, bool t2, bool humidity) = 0;
    virtual void setSignalOffDataSound(bool on) = 0;
    virtual void setAlarmSound(const QString& name) = 0;
    virtual void setSoundPeriod(int seconds) = 0;
};

// The options of the settings dialog, as the operator sees them.
struct SettingsChoice {
    bool autorun = false;
    bool startInTray = false;
    bool minimizeToTray = false;
    bool openPortAtStart = false;
    bool signalOffData = false;
    bool signalOffDataSound = false;  // never on while signalOffData is off
    int skipData = kSkipDataRange.minimum;
    int saveMinutes = 0;
    bool t1Enabled = true;
    bool t2Enabled = true;
    bool hmEnabled = true;
    QString alarmSound;
    int soundSeconds = 3;

    // From the file (its defaults when it cannot be read), numbers clamped
    // to their fields' ranges, and the sound file name in use now.
    static SettingsChoice read(const SettingsFile& settings, const Autorun& autorun,
                               const QString& currentAlarmSound);

    // Writes every key and applies every value, in an order where a failed
    // write (it throws) leaves undone only what comes after it. The sound
    // name and period are applied last, after the autorun entry.
    void apply(SettingsFile& settings, Autorun& entry, SettingsTarget& target) const;

    bool operator==(const SettingsChoice&) const = default;
};

}  // namespace im::settings
