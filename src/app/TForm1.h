#pragma once

#include "alarms/AlarmBands.h"
#include "alarms/AlarmSignalling.h"
#include "analysis/OutputAnalysis.h"
#include "app/ColourLabels.h"
#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Services.h"
#include "app/TFormOverview.h"
#include "app/ValuePanels.h"
#include "chart/ChartWindow.h"
#include "chart/TGraphM.h"
#include "core/Balloons.h"
#include "core/Clock.h"
#include "core/Sound.h"
#include "core/Timer.h"
#include "journal/DailyLog.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"
#include "journal/RecordLine.h"
#include "journal/ValueDigest.h"
#include "link/FrameDecoder.h"
#include "link/PortLister.h"
#include "link/ReceivePath.h"
#include "link/StayAwake.h"
#include "link/TPortLamp.h"
#include "link/TSerialPort.h"
#include "settings/Autorun.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace im::app {

class BandBoxes;
class FrameView;
class JournalOpening;
class MainWindowSettings;
class NormalPlace;
class RemotePublishing;
class TTrayIcon;

// The main window: owns the port, the journal, the chart and the timers,
// restores its state from the settings file when created and writes it
// back when closed.
class TForm1 : public QMainWindow, private link::FrameEffects {
    Q_OBJECT
public:
    explicit TForm1(Services services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    static QString productTitle();

    // Shows the window unless the tray's start-up decision keeps it hidden.
    void showAtStart();

    // Commands and handlers, by their names.
    void SpBtnOpenComClick();
    void NComPortClick();
    void NLoad1Click();
    void NSave1Click();
    // The chart as it is shown, as a PNG file the operator names.
    void NSaveChartClick();
    void NClearClick();
    void NCopyT1Click();
    void NCopyT2Click();
    void NCopyT3Click();
    void NCopyHMClick();
    void NFontClick();
    void SpBtnDetailsClick();
    void TimerSaveFileTimer();
    void ScrollBarAllGrafScroll();
    void ScrollBarAllGrafChange();
    void ScrollBarXScaleChange();
    void ScrollBarGainYChange();
    void colourLabelClicked(QLabel* label);
    std::array<ColourTarget, 6> colourTargets() const;
    void N21Click();
    // The seven "Анализ" commands (N13Click to N19Click): the report kind,
    // then a new Data window that runs it.
    void openReport(char kind);
    void N23Click();
    // "Обзор": the overview window, made once and raised again.
    void NOverviewClick();
    // The chart's window moved by the window scroll bar so that the line is
    // in its middle, and held there while new lines arrive.
    void showLineOnChart(int line);
    // The chart's window back at the newest lines, following them again
    // (End on the chart, a click at the overview's right edge).
    void followNewest();
    void NSettingsClick();
    void NAboutClick();
    // Minutes between saves of the day's file (TimerSaveFile); 0 stops them.
    void setSavePeriod(int minutes);

    // The program was told to end (a signal, the end of the desktop session):
    // everything a close saves is saved, the unsaved journal goes to a file
    // of its own in the log folder, and nothing asks.
    void terminate();

    // Parts of the window, for the wiring and for tests.
    link::TSerialPort ComPort1;
    analysis::OutputAnalysis outputAnalysis;
    journal::JournalStore journal;
    // The values of its lines for the overview, kept while no overview is
    // shown: opening one, or a large file, then reads only what changed.
    journal::ValueDigest journalDigest{journal::decimalSeparator().at(0)};
    journal::PendingSave pending;
    link::FrameDecoder& decoder() { return *decoder_; }
    link::ReceivePath& receivePath() { return *receive_; }
    alarms::AlarmSignalling& alarms() { return *alarms_; }
    RemotePublishing& remote() { return *remote_; }
    BandBoxes& bandBoxes() { return *bandBoxes_; }
    TTrayIcon* TrayIcon1 = nullptr;
    chart::TGraphM* GraphM1 = nullptr;
    chart::ChartWindow& chartWindow() { return *chartWindow_; }
    journal::JournalView* Memo1 = nullptr;
    ScrollBar* ScrollBarGainY = nullptr;
    ScrollBar* ScrollBarPosY = nullptr;
    ScrollBar* ScrollBarAllGraf = nullptr;
    ScrollBar* ScrollBarXScale = nullptr;
    QLabel* LabelBeginPoint = nullptr;
    QLabel* LabelEndPoint = nullptr;
    QLabel* Label1 = nullptr;
    SpeedButton* SpBtnDetails = nullptr;
    QLabel* LbCurrentStr = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* EditT1H = nullptr;
    QLineEdit* EditT1L = nullptr;
    QLineEdit* EditT2H = nullptr;
    QLineEdit* EditT2L = nullptr;
    QLineEdit* EditT3H = nullptr;
    QLineEdit* EditT3L = nullptr;
    ValuePanel* Panel1 = nullptr;
    ValuePanel* Panel2 = nullptr;
    ValuePanel* Panel3 = nullptr;
    QLabel* Panel1Text = nullptr;
    QLabel* Panel2Text = nullptr;
    QLabel* LbShtHM = nullptr;
    SpeedButton* SpBtnOpenCom = nullptr;
    link::TPortLamp* ComLed1 = nullptr;
    SpeedButton* SpBtnSettingCom = nullptr;
    QFrame* Panel4 = nullptr;
    QLabel* LbColorT1 = nullptr;
    QLabel* LbColorT2 = nullptr;
    QLabel* LbColorT3 = nullptr;
    QLabel* LbColorHM = nullptr;
    QLabel* LbColorFon = nullptr;
    QLabel* LbGirdColor = nullptr;
    QAction* NStartCom = nullptr;
    QAction* NLoad1 = nullptr;
    QAction* NSave1 = nullptr;
    QAction* NSaveChart = nullptr;  // "Сохранить график как..": the chart as a PNG
    QAction* NExit = nullptr;
    QAction* N21 = nullptr;
    QAction* NCopyT1 = nullptr;
    QAction* NCopyT2 = nullptr;
    QAction* NCopyT3 = nullptr;
    QAction* NCopyHM = nullptr;
    QAction* NClear = nullptr;
    QAction* NComPort = nullptr;
    QAction* NFont = nullptr;
    QAction* N23 = nullptr;
    QAction* NOverview = nullptr;  // "Обзор", after "Справка"
    QPointer<TFormOverview> overview;
    QAction* NSettings = nullptr;
    QAction* NAbout = nullptr;

    core::Timer& TimerResetRxUart() { return *timerResetRxUart_; }
    core::Timer& TimerSignalOFFData() { return *timerSignalOffData_; }
    core::Timer& TimerSaveFile() { return *timerSaveFile_; }
    core::Timer& TimerAlarm() { return *timerAlarm_; }
    core::Timer& TimerAlarmSound() { return *timerAlarmSound_; }
    core::Timer& TimerReopen() { return *timerReopen_; }

Q_SIGNALS:
    // The window closed: the program ends, also when the window was hidden
    // in the tray (the toolkit ends it only with its last visible window).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Frame decoding's effects.
    void showPanels(const link::PanelTexts& texts) override;
    int appendJournalLine(const QString& line) override;
    void setWindowScrollBar(int newestIndex) override;
    void PlotChartWindow(int newestIndex) override;

    void buildWindow();
    void buildMenu();
    void FormCreate();
    bool FormCloseQuery();
    bool FormClose();
    void writeSettingsForClose();
    void copyColumn(QString (*field)(QStringView));
    void runGuarded(const std::function<void()>& handler);
    void showModalOverThis(QWidget* window);
    void applyLoadedJournal();
    void showPanelsNow(const link::PanelTexts& texts);
    void plotChart(int newestIndex);
    void scrollWindowTo(int newestIndex);

    Services services_;
    OwnedServices ownServices_;
    std::unique_ptr<MainWindowSettings> settingsTarget_;
    bool keepAwake_ = true;
    std::unique_ptr<FrameView> frameView_;
    NormalPlace* normalPlace_ = nullptr;
    core::Timer* timerResetRxUart_ = nullptr;
    core::Timer* timerSignalOffData_ = nullptr;
    core::Timer* timerSaveFile_ = nullptr;
    core::Timer* timerAlarm_ = nullptr;
    core::Timer* timerAlarmSound_ = nullptr;
    core::Timer* timerReopen_ = nullptr;
    std::unique_ptr<link::FrameDecoder> decoder_;
    std::unique_ptr<link::ReceivePath> receive_;
    std::unique_ptr<chart::ChartWindow> chartWindow_;
    std::unique_ptr<journal::DailyLog> dailyLog_;
    std::unique_ptr<JournalOpening> opening_;
    std::unique_ptr<ValuePanels> valuePanels_;
    std::unique_ptr<alarms::AlarmSignalling> alarms_;
    std::unique_ptr<RemotePublishing> remote_;  // follows what the above change
    QMenu* optionsMenu_ = nullptr;
    BandBoxes* bandBoxes_ = nullptr;
    bool showMainForm_ = true;
    bool closing_ = false;
    bool terminated_ = false;
};

}  // namespace im::app
