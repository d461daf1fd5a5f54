#pragma once

#include "settings/SettingsChoice.h"

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

private:
    TForm1& form_;
};

}  // namespace im::app
