#include "app/TForm1.h"

#include "alarms/AlarmSound.h"
#include "analysis/TFormLog.h"
#include "app/AnchorLayout.h"
#include "app/BandBoxes.h"
#include "app/ColourLabels.h"
#include "app/Controls.h"
#include "app/FrameView.h"
#include "app/JournalOpening.h"
#include "app/MainWindowSettings.h"
#include "app/NormalPlace.h"
#include "app/RemotePublishing.h"
#include "app/SaveCommands.h"
#include "app/TTrayIcon.h"
#include "app/TfAbout.h"
#include "app/TrayHost.h"
#include "core/AppLocation.h"
#include "core/Mnemonics.h"
#include "journal/JournalFiles.h"
#include "journal/RecordLine.h"
#include "journal/ViewFont.h"
#include "link/PortSettingsStorage.h"
#include "link/TPortSetupDialog.h"
#include "settings/SettingsFile.h"
#include "settings/TFormSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>
#include <cstdio>

namespace im::app {

namespace keys = settings::keys;
using settings::SettingsFile;

namespace {

// The design client area below the menu and above the status bar.
constexpr QSize kDesignArea(890, 407);
constexpr QSize kMinimumSize(557, 400);

}  // namespace

QString TForm1::productTitle() {
    return QCoreApplication::translate("TForm1", "Монитор инкубатора");
}

TForm1::TForm1(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    completeServices(services_, ownServices_, this, productTitle());
    settingsTarget_ = std::make_unique<MainWindowSettings>(*this);
    connect(&ComPort1, &link::TSerialPort::connectedChanged, this,
            [this](bool open) { services_.stayAwake->setHeld(open && keepAwake_); });
    setWindowTitle(productTitle());
    normalPlace_ = new NormalPlace(this);
    setWindowIcon(applicationIcon());
    setMinimumSize(kMinimumSize);

    // The main window's port: COM1, 4800 bit/s, 8 data bits, no parity, 2 stop bits.
    ComPort1.setBaudRate(link::BaudRate::br4800);
    ComPort1.setStopBits(link::StopBits::sb2);

    TrayIcon1 = new TTrayIcon(this, *services_.tray, *services_.notifier, *services_.clock,
                              *services_.makeTimer(this, 0), *services_.makeTimer(this, 0));
    core::Balloons& balloons = *TrayIcon1;
    timerResetRxUart_ = services_.makeTimer(this, link::ReceivePath::kResyncMs);
    timerSignalOffData_ = services_.makeTimer(this, link::ReceivePath::kNoDataMs);
    timerSaveFile_ = services_.makeTimer(this, 60000);
    timerAlarm_ = services_.makeTimer(this, alarms::AlarmSignalling::kBlinkMs);
    timerAlarmSound_ = services_.makeTimer(this, 0);
    link::FrameEffects& effects = *this;
    decoder_ = std::make_unique<link::FrameDecoder>(effects, balloons, pending, *services_.clock);
    timerReopen_ = services_.makeTimer(this, link::ReceivePath::kReopenMs);
    frameView_ = std::make_unique<FrameView>(
        services_.viewRefreshMs, *services_.makeTimer(this, services_.viewRefreshMs),
        FrameView::Targets{[this](const link::PanelTexts& t) { showPanelsNow(t); },
                           [this] { Memo1->moveToEnd(); },
                           [this](int newest) { scrollWindowTo(newest); },
                           [this](int newest) { plotChart(chartWindow_->lastLine(newest)); }});
    receive_ = std::make_unique<link::ReceivePath>(
        ComPort1, *decoder_, balloons, *timerResetRxUart_, *timerSignalOffData_, timerReopen_);
    opening_ = std::make_unique<JournalOpening>(journal, journalDigest, this);
    dailyLog_ = std::make_unique<journal::DailyLog>([] { return core::AppLocation::logDirPath(); },
                                                    *services_.clock);
    dailyLog_->tellFailuresTo(&balloons);
    buildWindow();
    buildMenu();
    chartWindow_ = std::make_unique<chart::ChartWindow>(journal, *GraphM1);
    valuePanels_ =
        std::make_unique<ValuePanels>(this, std::array{Panel3, Panel2, Panel1}, services_.flash);
    alarms_ = std::make_unique<alarms::AlarmSignalling>(
        alarms::AlarmSignalling::Flags{decoder_->alarmFlags, receive_->noDataFlag,
                                       receive_->SignalOffDataSound},
        *valuePanels_, balloons, *services_.sound, *timerAlarm_, *timerAlarmSound_);
    remote_ = std::make_unique<RemotePublishing>(*decoder_, *receive_, *alarms_, *Memo1, *this,
                                                 balloons, *services_.dialogs);
    remote_->addMenuItems(*optionsMenu_, *menuBar());
    new QShortcut(
        QKeySequence(Qt::Key_End), GraphM1, this, [this] { followNewest(); }, Qt::WidgetShortcut);
    Panel1->onDoubleClick = [this] { alarms_->Panel1DblClick(alarms::Channel::T1); };
    Panel2->onDoubleClick = [this] { alarms_->Panel1DblClick(alarms::Channel::T2); };
    Panel3->onDoubleClick = [this] { alarms_->Panel1DblClick(alarms::Channel::Humidity); };

    connect(receive_.get(), &link::ReceivePath::captionsChanged, this,
            [this](const QString& button, const QString& menu) {
                SpBtnOpenCom->setText(button);
                NStartCom->setText(menu);
            });
    connect(timerSaveFile_, &core::Timer::timeout, this,
            [this] { runGuarded([this] { TimerSaveFileTimer(); }); });

    // The tray's start-up decision comes before the creation sequence.
    runGuarded([this] {
        showMainForm_ =
            TrayIcon1->TrayIcon1Startup(SettingsFile::forApplication().read(keys::StartInTrey));
    });
    runGuarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    ComPort1.ClosePort();
}

void TForm1::runGuarded(const std::function<void()>& handler) {
    core::runGuarded(handler);
}

void TForm1::buildWindow() {
    auto* area = new QWidget(this);
    setCentralWidget(area);
    auto* layout = new AnchorLayout(area, kDesignArea);
    const int all = AnchorLeft | AnchorTop | AnchorRight | AnchorBottom;
    const int rightBottom = AnchorRight | AnchorBottom;
    const int leftRightBottom = AnchorLeft | AnchorRight | AnchorBottom;
    const int leftBottom = AnchorLeft | AnchorBottom;
    const int topRightBottom = AnchorTop | AnchorRight | AnchorBottom;

    GraphM1 = new chart::TGraphM(area);
    GraphM1->setMaxXValue(150);
    GraphM1->setMinYValue(20);
    GraphM1->setMaxYValue(45);
    GraphM1->setShowTextScale(false);
    GraphM1->setDecimalHint(1);
    GraphM1->setPrecision(1);
    for (int c = 0; c < 4; ++c) {
        GraphM1->Curves().add();
    }
    layout->add(GraphM1, {8, 8, 828, 155}, all);

    // Page size 0 (the smallest thumb) and a large change of 1 unless given.
    ScrollBarGainY = new ScrollBar(Qt::Vertical, 0, 240, 40, area);
    layout->add(ScrollBarGainY, {843, 8, 17, 161}, topRightBottom);
    ScrollBarPosY = new ScrollBar(Qt::Vertical, 0, 900, 450, area);
    layout->add(ScrollBarPosY, {865, 8, 17, 161}, topRightBottom);

    ScrollBarAllGraf = new ScrollBar(Qt::Horizontal, 0, 1, 0, area);
    ScrollBarAllGraf->setPageSize(1);
    ScrollBarAllGraf->setLargeChange(100);
    layout->add(ScrollBarAllGraf, {8, 171, 828, 17}, leftRightBottom);

    // Time labels sized for "hh:mm:ss" once, so a new time costs no layout.
    const int timeWidth = fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 4;
    LabelBeginPoint = new QLabel(QStringLiteral("00:00:00"), area);
    layout->add(LabelBeginPoint, {8, 191, timeWidth, 0}, leftBottom);
    ScrollBarXScale = new ScrollBar(Qt::Horizontal, 0, 1000, 100, area);
    layout->add(ScrollBarXScale, {132, 195, 564, 17}, leftRightBottom, 200);
    // The end time ends left of "Тчк", whose pressed frame would cover its
    // seconds in a font wider than the design's, and "Температура" left of
    // the end time.
    const int endLeft = std::min(795, 840 - timeWidth);
    Label1 = new QLabel(QCoreApplication::translate("TForm1", "Температура"), area);
    layout->add(Label1, {std::min(708, endLeft - 6 - Label1->sizeHint().width()), 197, 0, 0},
                rightBottom);
    LabelEndPoint = new QLabel(QStringLiteral("00:00:00"), area);
    layout->add(LabelEndPoint, {endLeft, 191, timeWidth, 0}, rightBottom);
    SpBtnDetails = new SpeedButton(QCoreApplication::translate("TForm1", "Тчк"), area);
    layout->add(SpBtnDetails, {844, 197, 37, 25}, rightBottom);
    LbCurrentStr = new QLabel(QString(55, QLatin1Char(' ')), area);
    layout->add(LbCurrentStr, {8, 224, 520, 17}, leftBottom);

    Memo1 = new journal::JournalView(journal, area);
    layout->add(Memo1, {8, 246, 511, 149}, leftRightBottom);

    auto band = [&](const QString& title, QRect bounds, QLineEdit** above, QLineEdit** below) {
        auto* group = new QGroupBox(title, area);
        auto* labelAbove = new QLabel(QCoreApplication::translate("TForm1", "Выше"), group);
        labelAbove->setGeometry(6, 20, 36, 17);
        *above = new QLineEdit(group);
        (*above)->setGeometry(44, 18, 45, 21);
        auto* labelBelow = new QLabel(QCoreApplication::translate("TForm1", "Ниже"), group);
        labelBelow->setGeometry(6, 46, 36, 17);
        *below = new QLineEdit(group);
        (*below)->setGeometry(44, 44, 45, 21);
        layout->add(group, bounds, rightBottom);
        return group;
    };
    GroupBox1 = band(QCoreApplication::translate("TForm1", "Т1 Тревога"), {526, 248, 97, 73},
                     &EditT1H, &EditT1L);
    GroupBox2 = band(QCoreApplication::translate("TForm1", "Т2 Тревога"), {526, 322, 97, 73},
                     &EditT2H, &EditT2L);
    GroupBox3 = band(QCoreApplication::translate("TForm1", "Влажность"), {710, 322, 97, 73},
                     &EditT3H, &EditT3L);
    bandBoxes_ = new BandBoxes(
        {EditT1H, EditT1L, EditT2H, EditT2L, EditT3H, EditT3L}, decoder_->thresholds,
        [this](const QString& text) {
            services_.dialogs->message(this, productTitle(), text, QMessageBox::NoIcon);
        },
        this);
    bandBoxes_->setTexts({QStringLiteral("39,0"), QStringLiteral("39,0"), QStringLiteral("39,0"),
                          QStringLiteral("39,0"), QStringLiteral("90"), QStringLiteral("40")});

    Panel1 = new ValuePanel(area, 10);
    Panel1Text = Panel1->text();
    layout->add(Panel1, {631, 253, 65, 68}, rightBottom);
    Panel2 = new ValuePanel(area, 0);
    Panel2Text = Panel2->text();
    layout->add(Panel2, {631, 327, 65, 68}, rightBottom);
    Panel3 = new ValuePanel(area, 0);
    LbShtHM = Panel3->text();
    LbShtHM->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->add(Panel3, {815, 327, 65, 68}, rightBottom);

    SpBtnOpenCom = new SpeedButton(link::ReceivePath::buttonCaption(false), area);
    SpBtnOpenCom->setFocusPolicy(Qt::TabFocus);  // a click still leaves the focus be
    layout->add(SpBtnOpenCom, {712, 253, 65, 25}, rightBottom);
    ComLed1 = new link::TPortLamp(area);
    ComLed1->bindTo(ComPort1);
    layout->add(ComLed1, {784, 253, 25, 25}, rightBottom);
    SpBtnSettingCom = new SpeedButton(QString(), area);
    SpBtnSettingCom->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    layout->add(SpBtnSettingCom, {808, 255, 23, 22}, rightBottom);
    SpBtnSettingCom->hide();

    Panel4 = new QFrame(area);
    Panel4->setAutoFillBackground(true);
    layout->add(Panel4, {712, 284, 168, 29}, rightBottom);
    auto colourLabel = [&](const QString& text, int left) {
        auto* label = new ClickLabel(text, Panel4, [this](QLabel* clicked) {
            runGuarded([this, clicked] { colourLabelClicked(clicked); });
        });
        label->move(left, 8);
        label->adjustSize();
        return label;
    };
    LbColorT1 = colourLabel(QStringLiteral("T1"), 8);
    LbColorT2 = colourLabel(QStringLiteral("T2"), 28);
    LbColorT3 = colourLabel(QStringLiteral("T3"), 48);
    LbColorHM = colourLabel(QStringLiteral("HM"), 68);
    LbColorFon = colourLabel(QCoreApplication::translate("TForm1", "Фон"), 92);
    LbGirdColor = colourLabel(QCoreApplication::translate("TForm1", "Сетка"), 124);
    statusBar()->setSizeGripEnabled(true);

    // Wiring of the controls to their handlers.
    connect(SpBtnOpenCom, &QToolButton::clicked, this,
            [this] { runGuarded([this] { SpBtnOpenComClick(); }); });
    connect(SpBtnSettingCom, &QToolButton::clicked, this,
            [this] { runGuarded([this] { NComPortClick(); }); });
    connect(SpBtnDetails, &QToolButton::clicked, this, [this] { SpBtnDetailsClick(); });
    connect(ScrollBarAllGraf, &QScrollBar::actionTriggered, this,
            [this] { runGuarded([this] { ScrollBarAllGrafScroll(); }); });
    connect(ScrollBarAllGraf, &QScrollBar::sliderReleased, this,
            [this] { runGuarded([this] { ScrollBarAllGrafScroll(); }); });
    connect(ScrollBarAllGraf, &QScrollBar::valueChanged, this,
            [this] { ScrollBarAllGrafChange(); });
    connect(ScrollBarXScale, &QScrollBar::valueChanged, this, [this] { ScrollBarXScaleChange(); });
    connect(ScrollBarGainY, &QScrollBar::valueChanged, this, [this] { ScrollBarGainYChange(); });
    connect(ScrollBarPosY, &QScrollBar::valueChanged, this, [this] { ScrollBarGainYChange(); });
    connect(GraphM1, &chart::TGraphM::mouseMoved, this,
            [this](QPoint at) { Label1->setText(chartWindow_->readout(at)); });
    setTabOrder(GraphM1, Memo1);
}

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    NStartCom = bar->addAction(link::ReceivePath::menuCaption(false));
    NStartCom->setVisible(false);
    connect(NStartCom, &QAction::triggered, this,
            [this] { runGuarded([this] { SpBtnOpenComClick(); }); });

    auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); };
    };
    QMenu* file = bar->addMenu(QCoreApplication::translate("TForm1", "Файл"));
    NLoad1 = file->addAction(QCoreApplication::translate("TForm1", "Открыть.."), this,
                             guarded(&TForm1::NLoad1Click));
    NSave1 = file->addAction(QCoreApplication::translate("TForm1", "Сохранить как.."), this,
                             guarded(&TForm1::NSave1Click));
    NSaveChart = file->addAction(QCoreApplication::translate("TForm1", "Сохранить график как.."),
                                 this, guarded(&TForm1::NSaveChartClick));
    file->addSeparator();
    NExit = file->addAction(QCoreApplication::translate("TForm1", "Выход"), this, &QWidget::close);

    QMenu* edit = bar->addMenu(QCoreApplication::translate("TForm1", "Правка"));
    N21 = edit->addAction(QCoreApplication::translate("TForm1", "Сброс тревоги"), this,
                          [this] { N21Click(); });
    edit->addSeparator();
    NCopyT1 = edit->addAction(QCoreApplication::translate("TForm1", "Копировать в буфер обмена Т1"),
                              this, [this] { NCopyT1Click(); });
    NCopyT2 = edit->addAction(QCoreApplication::translate("TForm1", "Копировать в буфер обмена Т2"),
                              this, [this] { NCopyT2Click(); });
    NCopyT3 = edit->addAction(QCoreApplication::translate("TForm1", "Копировать в буфер обмена Т3"),
                              this, [this] { NCopyT3Click(); });
    NCopyHM = edit->addAction(QCoreApplication::translate("TForm1", "Копировать в буфер обмена HM"),
                              this, [this] { NCopyHMClick(); });
    edit->addSeparator();
    NClear = edit->addAction(QCoreApplication::translate("TForm1", "Очистить"), this,
                             guarded(&TForm1::NClearClick));

    QMenu* analysis = bar->addMenu(QCoreApplication::translate("TForm1", "Анализ"));
    for (int i = 0; i < 7; ++i) {
        const char kind = analysis::reportKinds()[static_cast<std::size_t>(i)].letter;
        analysis->addAction(analysis::reportCaption(i), this,
                            [this, kind] { runGuarded([this, kind] { openReport(kind); }); });
    }
    analysis->addSeparator();
    N23 = analysis->addAction(QCoreApplication::translate("TForm1", "Справка"), this,
                              [this] { N23Click(); });
    NOverview = analysis->addAction(QCoreApplication::translate("TForm1", "Обзор"), this,
                                    guarded(&TForm1::NOverviewClick));

    QMenu* options = optionsMenu_ =
        bar->addMenu(QCoreApplication::translate("TForm1", "Настройки"));
    NComPort = options->addAction(QCoreApplication::translate("TForm1", "Ком порт"), this,
                                  guarded(&TForm1::NComPortClick));
    NSettings = options->addAction(QCoreApplication::translate("TForm1", "Настройки"), this,
                                   guarded(&TForm1::NSettingsClick));
    options->addSeparator();
    NFont = options->addAction(QCoreApplication::translate("TForm1", "Шрифт"), this,
                               guarded(&TForm1::NFontClick));
    options->addSeparator();
    NAbout = options->addAction(QCoreApplication::translate("TForm1", "О программе"), this,
                                [this] { NAboutClick(); });

    NLoad1->setShortcut(QKeySequence::Open);
    NSave1->setShortcut(QKeySequence::Save);
    // Not QKeySequence::Quit: some desktops' key bindings leave it empty.
    NExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    core::giveKeyboardWays(this, false);
}

void TForm1::FormCreate() {
    TrayIcon1->setIconVisible(true);
    const SettingsFile settings = SettingsFile::forApplication();
    link::LoadPortSettings(ComPort1, settings.path());

    // Left, Top, Width and Height are the client area's, the same place in
    // the normal and in the maximised state (see writeSettingsForClose).
    setGeometry(fitToScreens({settings.read(keys::Left), settings.read(keys::Top),
                              settings.read(keys::Width), settings.read(keys::Height)},
                             kMinimumSize));
    normalPlace_->set(geometry());
    TrayIcon1->MinimizeToTray = settings.read(keys::MinToTrey);
    setWindowState(settings.read(keys::InitMax) ? Qt::WindowMaximized : Qt::WindowNoState);

    auto readPosition = [&settings](const settings::IntKey& key, QScrollBar* bar) {
        bar->setValue(settings.ReadInteger(QLatin1String(key.section), QLatin1String(key.name),
                                           bar->value()));
    };
    readPosition(keys::GainY, ScrollBarGainY);
    readPosition(keys::PosY, ScrollBarPosY);
    readPosition(keys::XScale, ScrollBarXScale);

    link::AlarmThresholds stored;
    for (const auto& [key, field] : thresholdKeys()) {
        stored.*field = settings.read(*key);
    }
    bandBoxes_->setTexts(alarms::textsFor(stored));

    alarms_->alarmSound = settings.read(keys::Sound);
    alarms_->setSoundPeriod(settings.read(keys::TimeSound));
    alarms_->setEnabled(alarms::Channel::T1, settings.read(keys::T1_enable));
    alarms_->setEnabled(alarms::Channel::T2, settings.read(keys::T2_enable));
    alarms_->setEnabled(alarms::Channel::Humidity, settings.read(keys::HM_enable));
    receive_->SignalOffDataSound = settings.read(keys::SignalOffDataSound);

    for (const ColourTarget& target : colourTargets()) {
        applyColour(*GraphM1, *Panel4, target, colorFromSetting(settings.read(*target.key)));
    }
    showLabelColours(colourTargets(), *GraphM1);

    journal::applyStoredFont(*Memo1, settings, keys::FontName, keys::FontSize);

    keepAwake_ = settings.read(keys::KeepAwake);
    if (settings.read(keys::OpenStart)) {
        SpBtnOpenComClick();
    }
    receive_->SignalOffData = settings.read(keys::SignalOffData);
    // A hand-edited number beyond the dialog's field starts as its nearest end
    // (the stored default 0 records every frame, as 1 does).
    const int skip = std::clamp(settings.read(keys::SkipData), 0, settings::kSkipDataRange.maximum);
    decoder_->setDecimation(skip);
    decoder_->setSkipCounter(skip);
    setSavePeriod(settings::kSaveMinutesRange.clamp(settings.read(keys::Time)));

    chartWindow_->setWindowLengthFromScrollBar(ScrollBarXScale->value());
    GraphM1->setMaxXValue(chartWindow_->windowLength());
    ScrollBarGainYChange();
    remote_->start();
}

void TForm1::setSavePeriod(int minutes) {
    decoder_->setSavePeriod(minutes);
    if (minutes == 0) {
        timerSaveFile_->stop();
    } else {
        timerSaveFile_->setInterval(minutes * 60000);
        timerSaveFile_->start();
    }
}

void TForm1::showAtStart() {
    if (showMainForm_) {
        show();
    }
}

void TForm1::openReport(char kind) {
    outputAnalysis.setKind(kind);
    outputAnalysis.setBands([this] { return valueBands(decoder_->thresholds); });
    auto* window = new analysis::TFormLog(
        journal, outputAnalysis,
        [this](QWidget* parent, const QFont& initial) {
            return services_.dialogs->font(parent, initial, {});
        },
        this);
    showModalOverThis(window);
}

void TForm1::NOverviewClick() {
    if (!overview) {
        overview = new TFormOverview(
            journal, journalDigest, *services_.dialogs,
            {[this] { return overviewStyle(*GraphM1); },
             [this] { return valueBands(decoder_->thresholds); },
             [this](int line) { showLineOnChart(line); }, [this] { followNewest(); },
             [this] {
                 return chart::ChartWindow::lineAtPosition(
                     journal.lineCount(), ScrollBarAllGraf->maximum(), ScrollBarAllGraf->value());
             }},
            this);
        core::giveKeyboardWays(overview, true);
    }
    overview->show();
    overview->raise();
    overview->activateWindow();
}

void TForm1::showLineOnChart(int line) {
    const int count = journal.lineCount();
    const int last = std::min(line + chartWindow_->windowLength() / 2, count - 1);
    // The inverse of lineAtPosition: the position that shows `last`.
    ScrollBarAllGraf->setValue(last - (count - 1) + ScrollBarAllGraf->maximum());
    chartWindow_->hold(last);
    plotChart(last);
    if (overview) {
        overview->refresh();  // its mark follows at once
    }
}

void TForm1::followNewest() {
    chartWindow_->follow();
    const int newest = journal.lineCount() - 1;
    if (newest > 0) {
        scrollWindowTo(newest);
    }
    plotChart(newest);
    if (overview) {
        overview->refresh();
    }
}

void TForm1::NSettingsClick() {
    settings::SettingsDialogServices dialogServices;
    dialogServices.openFileName = [this](QWidget* parent, const QString& filter,
                                         const QString& fileName) {
        return services_.dialogs->openFileName(parent, filter, fileName);
    };
    dialogServices.sound = services_.sound;
    dialogServices.makeTimer = services_.makeTimer;
    auto* dialog = new settings::TFormSettings(
        SettingsFile::forApplication(),
        settings::Autorun(services_.autorun, QCoreApplication::applicationFilePath()),
        *settingsTarget_, std::move(dialogServices), this);
    showModalOverThis(dialog);
}

void TForm1::NAboutClick() {
    showModalOverThis(new TfAbout(services_.openUrl, this));
}

void TForm1::showModalOverThis(QWidget* window) {
    showModalOver(*this, window);
}

void TForm1::N23Click() {
    services_.dialogs->message(this, productTitle(),
                               analysis::outputsHelp().join(QLatin1String("\r\n")),
                               QMessageBox::NoIcon);
}

void TForm1::N21Click() {
    alarms_->N21Click();
}

void TForm1::showPanels(const link::PanelTexts& texts) {
    frameView_->showPanels(texts);
}

int TForm1::appendJournalLine(const QString& line) {
    const int count = journal.append(line);
    frameView_->journalToEnd();
    return count;
}

void TForm1::setWindowScrollBar(int newestIndex) {
    frameView_->scrollWindowTo(newestIndex);
}

void TForm1::PlotChartWindow(int newestIndex) {
    frameView_->plotChart(newestIndex);
}

void TForm1::showPanelsNow(const link::PanelTexts& texts) {
    Panel1Text->setText(texts.panel1);
    Panel2Text->setText(texts.panel2);
    LbShtHM->setText(texts.lbShtHM);
    TrayIcon1->setHint(trayHint(texts.panel1, texts.panel2, texts.lbShtHM));
}

void TForm1::scrollWindowTo(int newestIndex) {
    ScrollBarAllGraf->setRangeAndValue(ScrollBarAllGraf->minimum(), newestIndex,
                                       chartWindow_->lastLine(newestIndex));
}

void TForm1::plotChart(int newestIndex) {
    const chart::ChartWindow::EndLabels labels = chartWindow_->PlotChartWindow(newestIndex);
    LabelEndPoint->setText(labels.endTime);
    LabelEndPoint->setToolTip(labels.endDate);
    if (labels.beginTime) {
        LabelBeginPoint->setText(*labels.beginTime);
        LabelBeginPoint->setToolTip(*labels.beginDate);
    }
}

void TForm1::SpBtnOpenComClick() {
    receive_->SpBtnOpenComClick();
}

void TForm1::NComPortClick() {
    link::ShowPortDialog(ComPort1, this, services_.ports);
}

void TForm1::SpBtnDetailsClick() {
    GraphM1->setDetails(!GraphM1->Details());
}

void TForm1::TimerSaveFileTimer() {
    dailyLog_->save(pending);
}

void TForm1::ScrollBarAllGrafScroll() {
    const int count = journal.lineCount();
    int position = ScrollBarAllGraf->sliderPosition();
    if (count - 1 < position) {
        position = std::max(count - 1, 0);
        ScrollBarAllGraf->setSliderPosition(position);
    }
    const int last =
        chart::ChartWindow::lineAtPosition(count, ScrollBarAllGraf->maximum(), position);
    chartWindow_->scrolledTo(last, position >= ScrollBarAllGraf->maximum());
    if (position > 0) {
        plotChart(last);
    }
}

void TForm1::ScrollBarAllGrafChange() {
    const int count = journal.lineCount();
    const int position = ScrollBarAllGraf->value();
    const int maximum = ScrollBarAllGraf->maximum();
    if (count - 1 <= maximum) {
        ScrollBarAllGraf->setToolTip(
            chart::ChartWindow::scrollBarHint(journal.line(position), position, count));
        LbCurrentStr->setText(
            journal.line(chart::ChartWindow::lineAtPosition(count, maximum, position)));
    }
}

void TForm1::ScrollBarXScaleChange() {
    const int position = ScrollBarXScale->value();
    chartWindow_->setWindowLengthFromScrollBar(position);
    chartWindow_->applyWindowLength();
    ScrollBarAllGraf->setLargeChange(position);
}

void TForm1::ScrollBarGainYChange() {
    chartWindow_->applyYScrollBars(ScrollBarGainY->value(), ScrollBarPosY->maximum(),
                                   ScrollBarPosY->value());
}

std::array<ColourTarget, 6> TForm1::colourTargets() const {
    return {{{LbColorT1, &keys::ColorT1, 0},
             {LbColorT2, &keys::ColorT2, 1},
             {LbColorT3, &keys::ColorT3, 2},
             {LbColorHM, &keys::ColorHM, 3},
             {LbColorFon, &keys::ColorFon, ColourTarget::kBackground},
             {LbGirdColor, &keys::ColorGird, ColourTarget::kGrid}}};
}

void TForm1::colourLabelClicked(QLabel* label) {
    for (const ColourTarget& target : colourTargets()) {
        if (target.label != label) {
            continue;
        }
        const std::optional<QColor> chosen =
            services_.dialogs->color(this, chartColour(*GraphM1, target.curve));
        if (chosen) {
            applyColour(*GraphM1, *Panel4, target, *chosen);
            showLabelColours(colourTargets(), *GraphM1);
            SettingsFile::forApplication().write(*target.key, settingFromColor(*chosen));
        }
        return;
    }
}

void TForm1::NFontClick() {
    const QFont before = Memo1->font();
    const std::optional<QFont> chosen = services_.dialogs->font(
        this, Memo1->font(), [this](const QFont& f) { Memo1->setFont(journal::nameAndSizeOf(f)); });
    if (!chosen) {
        return;
    }
    if (chosen->pointSize() > journal::kLargestFontSize) {
        Memo1->setFont(before);  // not even what Apply showed
    }
    journal::refuseOversizedFont(*chosen);
    SettingsFile settings = SettingsFile::forApplication();
    journal::storeFont(settings, keys::FontName, keys::FontSize, *chosen);
    Memo1->setFont(journal::nameAndSizeOf(*chosen));
}

void TForm1::NSave1Click() {
    if (saveJournalAsked(*this, *services_.dialogs, services_.clock->now().date(), journal)) {
        journal.setModified(false);
    }
}

void TForm1::NSaveChartClick() {
    saveChartAsked(*this, *services_.dialogs, *GraphM1);
}

void TForm1::NLoad1Click() {
    const QString path = services_.dialogs->openFileName(this, QStringLiteral("txt|*.txt"));
    if (path.isEmpty()) {
        return;
    }
    opening_->open(path, productTitle(), [this] { applyLoadedJournal(); });
}

void TForm1::applyLoadedJournal() {
    chartWindow_->follow();
    Memo1->setCaret({0, 0});
    const int count = journal.lineCount();
    plotChart(count - 1);
    if (count - 1 > 0) {
        scrollWindowTo(count - 1);
    }
    chartWindow_->applyWindowLength();
}

void TForm1::NClearClick() {
    chart::TCurves& curves = GraphM1->Curves();
    curves.BeginUpdate();
    for (int c = 0; c < 4; ++c) {
        curves[c].Clear();
    }
    curves.EndUpdate();
    chartWindow_->follow();
    journal.clear();
    // No line is plotted now: the times of the last ones would be stale.
    for (QLabel* label : {LabelBeginPoint, LabelEndPoint}) {
        label->setText(QStringLiteral("00:00:00"));
        label->setToolTip({});
    }
}

void TForm1::copyColumn(QString (*field)(QStringView)) {
    try {
        const QString text = journal::columnText(journal, field);
        if (!text.isEmpty()) {
            QApplication::clipboard()->setText(text);
        }
    } catch (...) {
        // Copies fail silently.
    }
}

void TForm1::NCopyT1Click() {
    copyColumn(journal::get_T1);
}
void TForm1::NCopyT2Click() {
    copyColumn(journal::get_T2);
}
void TForm1::NCopyT3Click() {
    copyColumn(journal::get_T3);
}
void TForm1::NCopyHMClick() {
    copyColumn(journal::get_HM);
}

bool TForm1::FormCloseQuery() {
    TimerSaveFileTimer();
    if (journal.modified()) {
        switch (services_.dialogs->question(
            this, QCoreApplication::translate("TForm1", "Завершение работы"),
            QCoreApplication::translate("TForm1", "Сохранить статистику?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
            case QMessageBox::Yes:
                // A save that failed keeps the window, and the journal, open.
                if (!core::runGuarded([this] { NSave1Click(); })) {
                    return false;
                }
                break;
            case QMessageBox::No:
                break;
            default:
                return false;
        }
    }
    ComPort1.ClosePort();
    // Lines that came while the question waited for an answer.
    TimerSaveFileTimer();
    return true;
}

void TForm1::writeSettingsForClose() {
    settingsTarget_->writeForClose(normalPlace_->rect());
}

bool TForm1::FormClose() {
    return core::runGuarded([this] { writeSettingsForClose(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (terminated_) {
        event->accept();
        return;
    }
    if (!FormCloseQuery() || !FormClose()) {
        event->ignore();
        return;
    }
    TrayIcon1->setIconVisible(false);
    event->accept();
    Q_EMIT closed();
}

void TForm1::terminate() {
    if (terminated_) {
        return;
    }
    terminated_ = true;
    core::StderrErrorReporter stderrReport;
    core::runGuarded([this] { TimerSaveFileTimer(); }, stderrReport);
    if (journal.modified()) {
        core::runGuarded(
            [this] {
                const QString dir = core::AppLocation::logDirPath();
                QDir().mkpath(dir);
                const QString path = dir + QLatin1Char('/') +
                                     journal::unsavedJournalFileName(services_.clock->now());
                journal::saveJournalAs(journal, path);
                journal.setModified(false);
                std::fprintf(stderr, "incubator-monitor: unsaved journal written to %s\n",
                             path.toUtf8().constData());
            },
            stderrReport);
    }
    ComPort1.ClosePort();
    core::runGuarded([this] { writeSettingsForClose(); }, stderrReport);
    TrayIcon1->setIconVisible(false);
}

}  // namespace im::app
