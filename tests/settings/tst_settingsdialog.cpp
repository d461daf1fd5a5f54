#include "core/Sound.h"
#include "settings/Autorun.h"
#include "settings/TFormSettings.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>

using namespace im;
using namespace im::settings;

namespace {

// The running program as the dialog sees it, and its sound: every call is
// logged in order.
class Recorder final : public SettingsTarget, public core::Sound {
public:
    QString alarmSound() const override { return sound; }
    void setSignalOffData(bool on) override { log << QStringLiteral("signalOffData %1").arg(on); }
    void setMinimizeToTray(bool on) override { log << QStringLiteral("minimize %1").arg(on); }
    void setSavePeriod(int minutes) override { log << QStringLiteral("save %1").arg(minutes); }
    void setDecimation(int n) override { log << QStringLiteral("decimation %1").arg(n); }
    void setAlarmEnables(bool t1, bool t2, bool hm) override {
        log << QStringLiteral("enables %1%2%3").arg(t1).arg(t2).arg(hm);
    }
    void setSignalOffDataSound(bool on) override { log << "noDataSound " + QString::number(on); }
    void setAlarmSound(const QString& name) override { log << "sound " + name; }
    void setSoundPeriod(int seconds) override { log << QStringLiteral("period %1").arg(seconds); }
    void play(const QString& name) override { log << QStringLiteral("play %1").arg(name); }

    QString sound = QStringLiteral("current.wav");
    QStringList log;
};

// An Exec value read back by the Desktop Entry rules: first the string
// escapes, then the quoting of one argument.
QString unquoteExec(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == u'n'   ? QChar(u'\n')
                         : next == u't' ? QChar(u'\t')
                         : next == u'r' ? QChar(u'\r')
                         : next == u's' ? QChar(u' ')
                                        : next;
        } else {
            unescaped += value[i];
        }
    }
    if (unescaped.size() < 2 || !unescaped.startsWith(u'"') || !unescaped.endsWith(u'"')) {
        return QStringLiteral("<not one quoted argument>");
    }
    QString argument;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        QChar c = unescaped[i];
        if (c == u'\\') {
            c = unescaped[++i];
        } else if (c == u'"' || c == u'`' || c == u'$') {
            return QStringLiteral("<unescaped %1>").arg(c);
        } else if (c == u'%') {
            if (unescaped[++i] != u'%') {
                return QStringLiteral("<field code>");
            }
        }
        argument += c;
    }
    return argument;
}

struct Dialog {
    QTemporaryDir dir;
    Recorder recorder;
    test::FakeTimer* timer1 = nullptr;
    QStringList chooser;  // the file dialogs asked for
    QString chosen;       // what the file dialog answers
    QPointer<TFormSettings> form;

    QString ini = dir.path() + QStringLiteral("/incubator-monitor.ini");
    AutorunLocation where{dir.path() + QStringLiteral("/machine"),
                          dir.path() + QStringLiteral("/user")};
    Autorun autorun() const { return Autorun(where, QStringLiteral("/opt/im/monitor")); }
    void open() {
        SettingsDialogServices services;
        services.openFileName = [this](QWidget*, const QString& filter, const QString& name) {
            chooser << filter + u' ' + name;
            return chosen;
        };
        services.sound = &recorder;
        services.makeTimer = [this](QObject* parent, int ms) {
            timer1 = new test::FakeTimer(ms);
            timer1->setParent(parent);
            return timer1;
        };
        form = new TFormSettings(SettingsFile(ini), autorun(), recorder, services);
    }
    ~Dialog() { delete form; }
};

// What the controls show, one letter or number per control.
QString shown(const TFormSettings& f) {
    auto box = [](const QCheckBox* b) {
        return QString(b->isChecked() ? u'x' : u'-') + (b->isEnabled() ? "" : "d");
    };
    return box(f.ChBoxAutorun) + box(f.ChBoxStartInTrey) + box(f.ChBoxMinToTrey) +
           box(f.ChBoxOpenComStart) + box(f.ChBoxSignalOffData) + box(f.SignalOffDataSound) + ' ' +
           box(f.ChBoxT1_en) + box(f.ChBoxT2_en) + box(f.ChBoxHM_en) +
           QStringLiteral(" %1 %2 %3 ")
               .arg(f.UpDwSkipRx->value())
               .arg(f.UpDwTimeSaveFile->value())
               .arg(f.UpDown1->value()) +
           f.EditFileAlarmSound->text();
}

}  // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The entry holds the path as one quoted argument whatever characters it
    // has; only exactly that path counts as present; removing it twice is no
    // error; the entry passes the desktop's own validator.
    void autorunEntry() {
        QTemporaryDir dir;
        const AutorunLocation where{dir.path() + "/etc/xdg/autostart", dir.path() + "/home"};
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        QVERIFY2(!validator.isEmpty(), "scripts/setup installs desktop-file-utils");
        const QStringList paths{"/usr/bin/incubator-monitor", "/home/Фермер/Мои программы/monitor",
                                R"(/opt/a "b" `c` $HOME \d %f %% ;rm -rf ~)",
                                "/tmp/line\nbreak\ttab"};
        for (const QString& path : paths) {
            Autorun entry(where, path);
            QVERIFY(!entry.present());
            entry.write();
            QVERIFY(entry.present());
            QVERIFY(entry.entryPath().startsWith(where.machineDir));
            const QString text = QString::fromUtf8(test::readFile(entry.entryPath()));
            const qsizetype exec = text.indexOf("\nExec=") + 6;
            QCOMPARE(unquoteExec(text.mid(exec, text.indexOf('\n', exec) - exec)), path);
            QProcess validate;
            validate.start(validator, {entry.entryPath()});
            QVERIFY(validate.waitForFinished());
            QCOMPARE(validate.readAll() + validate.readAllStandardError(), QByteArray());
            QCOMPARE(validate.exitCode(), 0);
            QVERIFY(!Autorun(where, path.toUpper()).present());
            entry.remove();
            QVERIFY(!entry.present());
            entry.remove();
        }
        // An entry without the quotes is not ours.
        test::writeFile(dir.path() + "/etc/xdg/autostart/incubator-monitor.desktop",
                        "[Desktop Entry]\nExec=/usr/bin/incubator-monitor\n");
        QVERIFY(!Autorun(where, "/usr/bin/incubator-monitor").present());
        // A machine folder that cannot be written (here: below a file, which
        // stops root too) gives the user's own.
        test::writeFile(dir.path() + "/file", "");
        Autorun user({dir.path() + "/file/autostart", dir.path() + "/home"}, "/usr/bin/x");
        user.write();
        QCOMPARE(user.entryPath(), dir.path() + "/home/incubator-monitor.desktop");
        QVERIFY(user.present());
        // An entry that cannot be written (a folder in its place) is told.
        Autorun blocked({dir.path() + "/file/autostart", dir.path() + "/blocked"}, "/usr/bin/x");
        QVERIFY(QDir().mkpath(blocked.entryPath()));
        test::ScopedErrorRecorder errors;
        core::runGuarded([&blocked] { blocked.write(); });
        QCOMPARE(errors.messages,
                 QStringList{"Failed to set data for '" + blocked.entryPath() + "'"});
    }

    // Opening shows the file (its defaults without one) and the sound name
    // in use; numbers out of range show as the range's end; the no-data sound
    // is off and disabled while the no-data warning is.
    void openingState_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("autorun");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no file") << QByteArray() << false << "------d xxx 1 0 3 current.wav";
        QTest::newRow("every key, autorun")
            << QByteArray(
                   "[ComPort1]\nOpenStart=1\nSignalOffData=1\nSignalOffDataSound=1\n"
                   "[Form]\nMinToTrey=1\nStartInTrey=1\nSkipData=7\n[Alarm]\n"
                   "Sound=stored.wav\nTimeSound=12\nT1_enable=0\nT2_enable=1\nHM_enable=0\n"
                   "[LogFile]\nTime=15\n")
            << true << "xxxxxx -x- 7 15 12 current.wav";
        QTest::newRow("out of range")
            << QByteArray(
                   "[ComPort1]\nSignalOffDataSound=1\n[Form]\nSkipData=0\n"
                   "[Alarm]\nTimeSound=500\n[LogFile]\nTime=-4\n")
            << false << "------d xxx 1 0 99 current.wav";
        QTest::newRow("unreadable file: the defaults")
            << QByteArray("/") << false << "------d xxx 1 0 3 current.wav";
        QTest::newRow("high ends") << QByteArray(
                                          "[Form]\nSkipData=121\n[Alarm]\nTimeSound=0\n"
                                          "[LogFile]\nTime=61\n")
                                   << false << "------d xxx 120 60 1 current.wav";
    }
    void openingState() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, autorun);
        QFETCH(QString, shown);
        Dialog d;
        const bool folder = ini == "/";  // a folder in the file's place cannot be read
        if (folder) {
            QVERIFY(QDir().mkdir(d.ini));
        } else if (!ini.isEmpty()) {
            test::writeFile(d.ini, ini);
        }
        if (autorun) {
            d.autorun().write();
        }
        d.open();
        QCOMPARE(::shown(*d.form), shown);
        QVERIFY(!d.timer1->isActive());
        QCOMPARE(test::readFile(d.ini), ini.isEmpty() || folder ? QByteArray("<missing>") : ini);
    }

    // "Да" writes every key and applies every value in order, then closes;
    // a write that fails stops there and the dialog stays open, the error
    // going to the error report.
    void yesWritesAndApplies_data() {
        QTest::addColumn<bool>("settingsWritable");
        QTest::addColumn<bool>("autorunWritable");
        QTest::addColumn<int>("applied");
        QTest::newRow("all written") << true << true << 9;
        QTest::newRow("settings refused") << false << true << 0;
        QTest::newRow("autorun refused") << true << false << 7;
    }
    void yesWritesAndApplies() {
        QFETCH(bool, settingsWritable);
        QFETCH(bool, autorunWritable);
        QFETCH(int, applied);
        Dialog d;
        test::writeFile(d.ini, "[Form]\nSkipData=0\n");
        if (!settingsWritable) {
            test::writeFile(d.dir.path() + "/file", "");
            d.ini = d.dir.path() + "/file/incubator-monitor.ini";  // below a file: even root fails
        }
        d.open();
        d.form->ChBoxMinToTrey->setChecked(true);
        d.form->ChBoxSignalOffData->click();
        d.form->SignalOffDataSound->setChecked(true);
        d.form->ChBoxT2_en->setChecked(false);
        d.form->UpDwTimeSaveFile->setValue(5);
        d.form->UpDown1->setValue(8);
        d.form->ChBoxAutorun->setChecked(true);
        d.chosen = QStringLiteral("/snd/new.wav");
        d.form->SpBtnFileAlarmSound->click();
        if (!autorunWritable) {
            for (const QString& folder : {d.where.machineDir, d.where.userDir}) {
                test::writeFile(folder, "");  // a file where the folder should be
            }
        }
        test::ScopedErrorRecorder errors;
        d.form->Button1->click();
        const QStringList expected{"signalOffData 1",    "minimize 1",  "save 5",
                                   "decimation 1",       "enables 101", "noDataSound 1",
                                   "sound /snd/new.wav", "period 8"};
        QCOMPARE(d.recorder.log, expected.mid(0, applied == 9 ? 8 : applied == 7 ? 6 : 0));
        QCOMPARE(errors.messages.size(), applied == 9 ? 0 : 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(d.form.isNull(), applied == 9);
        if (settingsWritable) {
            QCOMPARE(QString::fromUtf8(test::readFile(d.ini)),
                     "[Form]\nSkipData=1\nStartInTrey=0\nMinToTrey=1\n[ComPort1]\nOpenStart=0\n"
                     "SignalOffData=1\nSignalOffDataSound=1\n[Alarm]\nTimeSound=8\nT1_enable=1\n"
                     "T2_enable=0\nHM_enable=1\n[LogFile]\nTime=5\n");
            QCOMPARE(d.autorun().present(), autorunWritable);
        } else {
            QCOMPARE(errors.messages.value(0), "Unable to write to " + d.ini);
        }
        if (!autorunWritable) {
            QCOMPARE(errors.messages.value(0), "Failed to create key " + d.where.userDir);
        }
    }

    // Unchecking the autorun box deletes the entry on "Да". "..." offers the
    // wav filter and the sound in use, keeps the field on cancel; the preview
    // plays at once and at every tick the field's name, taking a changed
    // period after the next play; the no-data boxes are tied. Closing without
    // "Да" writes and applies nothing, the chosen sound file included, and
    // stops the preview.
    void autorunRemovedPreviewAndClose() {
        Dialog d;
        d.autorun().write();
        d.open();
        d.form->ChBoxAutorun->setChecked(false);
        d.form->Button1->click();
        QVERIFY(!d.autorun().present());
        d.recorder.log.clear();
        const QByteArray before = test::readFile(d.ini);
        d.open();
        TFormSettings& f = *d.form;
        f.UpDwSkipRx->setValue(50);
        f.SpBtnFileAlarmSound->click();  // cancelled
        QCOMPARE(f.EditFileAlarmSound->text(), QStringLiteral("current.wav"));
        d.chosen = QStringLiteral("/snd/a.wav");
        f.SpBtnFileAlarmSound->click();
        QCOMPARE(d.chooser, QStringList(2, QStringLiteral("wav|*.wav current.wav")));
        QCOMPARE(f.EditFileAlarmSound->text(), QStringLiteral("/snd/a.wav"));

        f.UpDown1->setValue(5);
        f.SpBtnPlayAlarm->click();
        QVERIFY(f.SpBtnPlayAlarm->isChecked() && d.timer1->isActive());
        QCOMPARE(d.timer1->interval(), 5000);
        f.UpDown1->setValue(2);
        f.EditFileAlarmSound->setText(QStringLiteral("b.wav"));
        QCOMPARE(d.timer1->interval(), 5000);
        d.timer1->fire();
        QCOMPARE(d.timer1->interval(), 2000);
        f.SpBtnPlayAlarm->click();
        d.timer1->fire();
        QCOMPARE(d.recorder.log, (QStringList{"play /snd/a.wav", "play b.wav"}));

        f.ChBoxSignalOffData->click();
        QVERIFY(f.SignalOffDataSound->isEnabled() && !f.SignalOffDataSound->isChecked());
        f.SignalOffDataSound->click();
        f.ChBoxSignalOffData->click();
        QVERIFY(!f.SignalOffDataSound->isEnabled() && !f.SignalOffDataSound->isChecked());

        f.SpBtnPlayAlarm->click();
        f.close();
        QVERIFY(!d.timer1->isActive());
        QCOMPARE(test::readFile(d.ini), before);
        QCOMPARE(d.recorder.log, (QStringList{"play /snd/a.wav", "play b.wav", "play b.wav"}));
    }
};

IM_TEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
