#include "settings/TFormSettings.h"

#include "core/ErrorReport.h"
#include "core/Sound.h"
#include "core/Timer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace im::settings {

namespace {

QCheckBox* checkBox(const char* caption, QWidget* parent, int left, int top, int width) {
    auto* box = new QCheckBox(QCoreApplication::translate("TFormSettings", caption), parent);
    box->setGeometry(left, top, width, 17);
    return box;
}

QLabel* label(const char* caption, QWidget* parent, int left, int top) {
    auto* text = new QLabel(QCoreApplication::translate("TFormSettings", caption), parent);
    text->move(left, top);
    text->adjustSize();
    return text;
}

// A number field with its up-down arrows beside it.
QSpinBox* numberField(QWidget* parent, int left, int top, int width, Range range) {
    auto* field = new QSpinBox(parent);
    field->setRange(range.minimum, range.maximum);
    field->setGeometry(left, top, width + 17, 21);
    return field;
}

QToolButton* flatButton(QWidget* parent, int left, int top) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, top, 23, 22);
    return button;
}

}  // namespace

TFormSettings::TFormSettings(SettingsFile settings, Autorun autorun, SettingsTarget& target,
                             SettingsDialogServices services, QWidget* parent)
    : QDialog(parent),
      settings_(std::move(settings)),
      autorun_(std::move(autorun)),
      target_(target),
      services_(std::move(services)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("TFormSettings", "Настойки"));
    buildControls();
    timer1_ = services_.makeTimer(this, 1000);
    timer1_->stop();
    connect(timer1_, &core::Timer::timeout, this,
            [this] { core::runGuarded([this] { Timer1Timer(); }); });
    FormCreate();
}

void TFormSettings::buildControls() {
    ChBoxAutorun =
        checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Автозапуск программы"), this, 12, 12, 173);
    ChBoxStartInTrey = checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Скрывать в трей при запуске"),
                                this, 12, 32, 189);
    ChBoxMinToTrey =
        checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Сворачивать в трей"), this, 12, 52, 177);
    ChBoxOpenComStart = checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Открывать порт при запуске"),
                                 this, 12, 72, 177);
    ChBoxSignalOffData = checkBox(
        QT_TRANSLATE_NOOP("TFormSettings", "Сигнализировать при отсутствии данных от инкубатора"),
        this, 12, 92, 310);
    SignalOffDataSound = checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Подавать звуковой сигнал"),
                                  this, 32, 112, 177);
    connect(ChBoxSignalOffData, &QCheckBox::clicked, this, [this] { ChBoxSignalOffDataClick(); });

    UpDwSkipRx = numberField(this, 12, 140, 30, kSkipDataRange);
    LbPropuskRx =
        label(QT_TRANSLATE_NOOP("TFormSettings", "Через сколько секунд выводить данные на график"),
              this, 64, 144);
    UpDwTimeSaveFile = numberField(this, 12, 168, 30, kSaveMinutesRange);
    Label3 = label(QT_TRANSLATE_NOOP("TFormSettings", "Через сколько минут сохранять статистику"),
                   this, 64, 172);
    Label3->setToolTip(QCoreApplication::translate("TFormSettings", "0 - не сохранять"));

    GroupBox2 =
        new QGroupBox(QCoreApplication::translate("TFormSettings", "Разрешить тревогу от"), this);
    GroupBox2->setGeometry(12, 196, 309, 41);
    ChBoxT1_en = checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Т1"), GroupBox2, 8, 16, 65);
    ChBoxT2_en = checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Т2"), GroupBox2, 80, 16, 65);
    ChBoxHM_en = checkBox(QT_TRANSLATE_NOOP("TFormSettings", "Влажности"), GroupBox2, 152, 16, 97);

    GroupBox1 = new QGroupBox(QCoreApplication::translate("TFormSettings", "Звук тревоги"), this);
    GroupBox1->setGeometry(12, 244, 309, 77);
    EditFileAlarmSound = new QLineEdit(GroupBox1);
    EditFileAlarmSound->setGeometry(9, 20, 228, 21);
    SpBtnFileAlarmSound = flatButton(GroupBox1, 246, 19);
    SpBtnFileAlarmSound->setText(QStringLiteral("..."));
    connect(SpBtnFileAlarmSound, &QToolButton::clicked, this,
            [this] { core::runGuarded([this] { SpBtnFileAlarmSoundClick(); }); });
    SpBtnPlayAlarm = flatButton(GroupBox1, 274, 19);
    SpBtnPlayAlarm->setCheckable(true);
    SpBtnPlayAlarm->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    connect(SpBtnPlayAlarm, &QToolButton::clicked, this,
            [this] { core::runGuarded([this] { SpBtnPlayAlarmClick(); }); });
    const QLabel* repeat =
        label(QT_TRANSLATE_NOOP("TFormSettings", "Повтор звука через"), GroupBox1, 8, 52);
    UpDown1 = numberField(GroupBox1, std::max(116, repeat->geometry().right() + 6), 48, 25,
                          kSoundSecondsRange);
    label(QT_TRANSLATE_NOOP("TFormSettings", "сек."), GroupBox1, UpDown1->geometry().right() + 6,
          52);

    Button1 = new QPushButton(QCoreApplication::translate("TFormSettings", "Да"), this);
    Button1->setGeometry(128, 340, 75, 25);
    connect(Button1, &QPushButton::clicked, this,
            [this] { core::runGuarded([this] { Button1Click(); }); });
    fitToFont();
}

void TFormSettings::fitToFont() {
    // The design bounds, widened where this desktop's font needs more room:
    // no caption is cut, the frames reach as far as the widest line.
    int right = 331 - 10;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QCheckBox*>(child) || qobject_cast<QLabel*>(child)) {
            child->resize(std::max(child->width(), child->sizeHint().width()), child->height());
        }
        right = std::max(right, child->geometry().right());
    }
    for (QGroupBox* group : {GroupBox1, GroupBox2}) {
        for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            right = std::max(right, group->x() + child->geometry().right() + 8);
        }
    }
    for (QGroupBox* group : {GroupBox1, GroupBox2}) {
        group->resize(right - group->x() + 1, group->height());
    }
    setFixedSize(right + 11, 377);
    Button1->move((width() - Button1->width()) / 2, Button1->y());
}

void TFormSettings::FormCreate() {
    showChoice(SettingsChoice::read(settings_, autorun_, target_.alarmSound()));
    LbPropuskRx->setToolTip(
        QCoreApplication::translate("TFormSettings",
                                    "Через сколько секунд выводить данные на график и "
                                    "статистику.\n"
                                    "Работает по принципу: сколько раз пропустить "
                                    "принятые данные\n"
                                    "при построении графика."));
}

void TFormSettings::showChoice(const SettingsChoice& choice) {
    ChBoxAutorun->setChecked(choice.autorun);
    ChBoxOpenComStart->setChecked(choice.openPortAtStart);
    ChBoxSignalOffData->setChecked(choice.signalOffData);
    SignalOffDataSound->setChecked(choice.signalOffDataSound);
    SignalOffDataSound->setEnabled(choice.signalOffData);
    ChBoxMinToTrey->setChecked(choice.minimizeToTray);
    ChBoxStartInTrey->setChecked(choice.startInTray);
    ChBoxT1_en->setChecked(choice.t1Enabled);
    ChBoxT2_en->setChecked(choice.t2Enabled);
    ChBoxHM_en->setChecked(choice.hmEnabled);
    UpDown1->setValue(choice.soundSeconds);
    UpDwSkipRx->setValue(choice.skipData);
    UpDwTimeSaveFile->setValue(choice.saveMinutes);
    EditFileAlarmSound->setText(choice.alarmSound);
}

SettingsChoice TFormSettings::choice() const {
    SettingsChoice choice;
    choice.autorun = ChBoxAutorun->isChecked();
    choice.startInTray = ChBoxStartInTrey->isChecked();
    choice.minimizeToTray = ChBoxMinToTrey->isChecked();
    choice.openPortAtStart = ChBoxOpenComStart->isChecked();
    choice.signalOffData = ChBoxSignalOffData->isChecked();
    choice.signalOffDataSound = SignalOffDataSound->isChecked();
    choice.skipData = UpDwSkipRx->value();
    choice.saveMinutes = UpDwTimeSaveFile->value();
    choice.t1Enabled = ChBoxT1_en->isChecked();
    choice.t2Enabled = ChBoxT2_en->isChecked();
    choice.hmEnabled = ChBoxHM_en->isChecked();
    choice.alarmSound = EditFileAlarmSound->text();
    choice.soundSeconds = UpDown1->value();
    return choice;
}

void TFormSettings::Button1Click() {
    choice().apply(settings_, autorun_, target_);
    close();
}

void TFormSettings::SpBtnFileAlarmSoundClick() {
    const QString path =
        services_.openFileName(this, QStringLiteral("wav|*.wav"), target_.alarmSound());
    if (!path.isEmpty()) {
        EditFileAlarmSound->setText(path);
    }
}

void TFormSettings::SpBtnPlayAlarmClick() {
    if (SpBtnPlayAlarm->isChecked()) {
        timer1_->setInterval(UpDown1->value() * 1000);
        timer1_->start();
        playPreview();
    } else {
        timer1_->stop();
    }
}

void TFormSettings::Timer1Timer() {
    playPreview();
}

void TFormSettings::playPreview() {
    services_.sound->play(EditFileAlarmSound->text());
    // A period changed while the preview runs counts from the next play.
    timer1_->setInterval(UpDown1->value() * 1000);
}

void TFormSettings::ChBoxSignalOffDataClick() {
    SignalOffDataSound->setChecked(false);
    SignalOffDataSound->setEnabled(ChBoxSignalOffData->isChecked());
}

void TFormSettings::closeEvent(QCloseEvent* event) {
    timer1_->stop();
    SpBtnPlayAlarm->setChecked(false);
    QDialog::closeEvent(event);
}

}  // namespace im::settings
