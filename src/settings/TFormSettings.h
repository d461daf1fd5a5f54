#pragma once

#include "settings/Autorun.h"
#include "settings/SettingsChoice.h"
#include "settings/SettingsFile.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace im::core {
class Sound;
class Timer;
}  // namespace im::core

namespace im::settings {

// What the dialog uses of the world outside it.
struct SettingsDialogServices {
    // The file-open dialog: filter "description|pattern", the proposed file
    // name; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& filter, const QString& fileName)>
        openFileName;
    core::Sound* sound = nullptr;
    std::function<core::Timer*(QObject* parent, int milliseconds)> makeTimer;
};

// The settings dialog ("Настойки"): shows the options from the settings file
// and the autorun entry when created; "Да" writes them and applies them to
// the running program. Closing it any other way changes nothing. It deletes
// itself when closed.
class TFormSettings : public QDialog {
    Q_OBJECT
public:
    TFormSettings(SettingsFile settings, Autorun autorun, SettingsTarget& target,
                  SettingsDialogServices services, QWidget* parent = nullptr);

    // The options as the controls show them now.
    SettingsChoice choice() const;

    // Handlers, by their names. Button1Click throws when a write fails; the
    // dialog then stays open.
    void Button1Click();
    void SpBtnFileAlarmSoundClick();
    void SpBtnPlayAlarmClick();
    void Timer1Timer();
    void ChBoxSignalOffDataClick();

    QCheckBox* ChBoxAutorun = nullptr;
    QCheckBox* ChBoxStartInTrey = nullptr;
    QCheckBox* ChBoxMinToTrey = nullptr;
    QCheckBox* ChBoxOpenComStart = nullptr;
    QCheckBox* ChBoxSignalOffData = nullptr;
    QCheckBox* SignalOffDataSound = nullptr;
    // Each number field is one control with its up-down arrows (Edit1 with
    // UpDwSkipRx, Edit2 with UpDwTimeSaveFile, EditTimSound with UpDown1).
    QSpinBox* UpDwSkipRx = nullptr;
    QLabel* LbPropuskRx = nullptr;
    QSpinBox* UpDwTimeSaveFile = nullptr;
    QLabel* Label3 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* ChBoxT1_en = nullptr;
    QCheckBox* ChBoxT2_en = nullptr;
    QCheckBox* ChBoxHM_en = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* EditFileAlarmSound = nullptr;
    QToolButton* SpBtnFileAlarmSound = nullptr;
    QToolButton* SpBtnPlayAlarm = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QPushButton* Button1 = nullptr;
    core::Timer& Timer1() { return *timer1_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void fitToFont();
    void FormCreate();
    void showChoice(const SettingsChoice& choice);
    void playPreview();

    SettingsFile settings_;
    Autorun autorun_;
    SettingsTarget& target_;
    SettingsDialogServices services_;
    core::Timer* timer1_ = nullptr;
};

}  // namespace im::settings
