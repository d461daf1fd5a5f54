#include "analysis/TFormLog.h"
#include "app/BandBoxes.h"
#include "app/MqttDialog.h"
#include "app/NormalPlace.h"
#include "app/ProgramSetup.h"
#include "app/RemotePublishing.h"
#include "app/TForm1.h"
#include "app/TTrayIcon.h"
#include "app/TfAbout.h"
#include "app/WebDialog.h"
#include "common/PseudoTerminal.h"
#include "core/AppLocation.h"
#include "journal/JournalFiles.h"
#include "journal/JournalLoader.h"
#include "journal/RecordLine.h"
#include "settings/SettingsFile.h"
#include "settings/TFormSettings.h"
#include "support/Broker.h"
#include "support/FakeDialogs.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"
#include "support/Faults.h"
#include "support/Frames.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyleOptionSlider>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace im;

namespace {

QString recordLine(int i, int hm = 55) {
    return journal::makeRecordLine(370 + i % 10, 365, 362, hm, QStringLiteral("_2______"),
                                   QDateTime(QDate(2026, 12, 5), QTime(10, 0)).addSecs(i));
}

// The main window in a folder of its own, with every seam faked.
struct Window {
    QTemporaryDir dir;
    test::FakeDialogs dialogs;
    test::FakeClock clock{QDateTime(QDate(2026, 12, 6), QTime(12, 0))};
    test::FakeTrayHost tray;
    test::FakeNotifier notifier;
    test::RecordingSound sound;
    int flashes = 0;
    QList<QUrl> opened;
    int refreshMs = 0;
    link::StayAwake awake{QDBusConnection(QStringLiteral("none")),
                          QDBusConnection(QStringLiteral("none")), QString()};
    std::unique_ptr<app::TForm1> form;

    explicit Window(const QByteArray& ini = {}) {
        core::AppLocation::setExecutablePathForTesting(dir.path() +
                                                       QStringLiteral("/incubator-monitor"));
        if (!ini.isEmpty()) {
            test::writeFile(iniPath(), ini);
        }
        create();
    }
    ~Window() {
        if (form) {
            form->journal.setModified(false);
            form->close();
        }
        core::AppLocation::setExecutablePathForTesting({});
    }
    void create() {
        app::Services s;
        s.clock = &clock;
        s.dialogs = &dialogs;
        s.tray = &tray;
        s.notifier = &notifier;
        s.sound = &sound;
        s.flash = [this](QWidget*, int) { ++flashes; };
        s.autorun = {dir.path() + QStringLiteral("/etc"), dir.path() + QStringLiteral("/home")};
        s.openUrl = [this](const QUrl& url) { opened << url; };
        s.stayAwake = &awake;
        s.viewRefreshMs = refreshMs;
        form = std::make_unique<app::TForm1>(s);
    }
    QString iniPath() const { return dir.path() + QStringLiteral("/incubator-monitor.ini"); }
    QString ini() const { return QString::fromUtf8(test::readFile(iniPath())); }
    settings::SettingsFile settings() const { return settings::SettingsFile(iniPath()); }
    QString dayFile() const { return dir.path() + QStringLiteral("/log/2026-12-06.txt"); }
    void append(int lines) {
        for (int i = 0; i < lines; ++i) {
            form->decoder().ParsingUartStr(frame(i));
        }
    }
    static link::Frame frame(int i) { return test::makeFrame(0x02, 592 + i % 8, 592, 362, 55); }
    void show() { showExposed(*form); }
};

// The texts of menu entries as shown, without their access keys' marks; "-"
// for a separator.
QStringList texts(const QList<QAction*>& actions) {
    QStringList t;
    for (QAction* a : actions) {
        t << (a->isSeparator() ? QStringLiteral("-")
                               : a->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))));
    }
    return t;
}

// The one window of a kind open over the main window, when it is modal.
template <typename Dialog>
Dialog* modalChild(QWidget& parent) {
    const QList<Dialog*> found = parent.findChildren<Dialog*>();
    return found.size() == 1 && found[0]->isModal() && found[0]->isVisible() ? found[0] : nullptr;
}

QColor labelColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// What the creation sequence set up, in a few words.
QString describe(app::TForm1& f) {
    const QRect g = f.geometry();
    QStringList s{
        QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()) +
        (f.windowState() & Qt::WindowMaximized ? " max" : "")};
    for (QLineEdit* e : {f.EditT1H, f.EditT1L, f.EditT2H, f.EditT2L, f.EditT3H, f.EditT3L}) {
        s << e->text();
    }
    const link::AlarmThresholds& t = f.decoder().thresholds;
    for (int v : {t.T1_HI, t.T1_LOW, t.T2_HI, t.T2_LOW, t.T3_HI, t.T3_LOW}) {
        s << QString::number(v);
    }
    for (int c = 0; c < 4; ++c) {
        s << f.GraphM1->Curves()[c].ColorGraph().name();
    }
    s << f.GraphM1->Color().name() << f.GraphM1->ColorGrid().name()
      << f.Panel4->palette().color(QPalette::Window).name() << labelColour(f.LbColorT1).name();
    for (double v : {f.GraphM1->MinYValue(), f.GraphM1->MaxYValue(), f.GraphM1->MaxXValue()}) {
        s << QString::number(v);
    }
    s << QString::number(f.ComPort1.effectiveBitsPerSecond()) << f.SpBtnOpenCom->text()
      << f.NStartCom->text().trimmed() << QString::number(f.decoder().decimation())
      << QString::number(f.decoder().skipCounter())
      << QString::number(f.TimerSaveFile().isActive() ? f.TimerSaveFile().interval() : 0)
      << QString::number(f.receivePath().SignalOffData)
      << QString::number(f.receivePath().SignalOffDataSound) << f.alarms().alarmSound
      << QString::number(f.TimerAlarmSound().isActive() ? f.TimerAlarmSound().interval() : 0)
      << QString::number(f.alarms().enabled(alarms::Channel::T1) * 100 +
                         f.alarms().enabled(alarms::Channel::T2) * 10 +
                         f.alarms().enabled(alarms::Channel::Humidity))
      << QString::number(f.TrayIcon1->MinimizeToTray) << f.Memo1->font().family()
      << QString::number(f.Memo1->font().pointSize());
    return s.join(QLatin1Char('|'));
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutAndMenus() {
        Window w;
        app::TForm1& f = *w.form;
        QCOMPARE(f.minimumSize(), QSize(557, 400));
        f.resize(898, 473);
        w.show();
        // At the design size every control stands at its design bounds.
        const QWidget* area = f.centralWidget();
        const int dy = area->height() - 407;
        QCOMPARE(f.GraphM1->geometry(), QRect(8, 8, 828 + area->width() - 890, 155 + dy));
        QCOMPARE(f.Memo1->geometry().topLeft(), QPoint(8, 246 + dy));
        QCOMPARE(f.SpBtnOpenCom->geometry().size(), QSize(65, 25));
        QVERIFY(!f.SpBtnSettingCom->isVisible() && !f.NStartCom->isVisible());
        // Growing the window stretches the chart and moves the right side.
        const QRect panel = f.Panel1->geometry();
        f.resize(1000, 600);
        QTRY_COMPARE(f.Panel1->geometry().topLeft(), panel.topLeft() + QPoint(102, 127));
        QCOMPARE(f.ScrollBarXScale->width(), 564 + area->width() - 890);
    }

    // Every menu and item has its own access key, in both languages; the
    // usual shortcuts open, save and quit; F10 opens the first menu and
    // Alt with a menu's key its own; Tab reaches the start button and the
    // colour labels, and Space on a label is its click; Escape closes the
    // Data window and the overview.
    void keyboard() {
        Window w;
        app::TForm1& f = *w.form;
        const std::function<void(const QList<QAction*>&)> distinctKeys =
            [&distinctKeys](const QList<QAction*>& actions) {
                QString keys;
                for (QAction* a : actions) {
                    if (a->isSeparator() || !a->isVisible()) {
                        continue;
                    }
                    const QKeySequence key = QKeySequence::mnemonic(a->text());
                    QVERIFY2(!key.isEmpty(), qPrintable(a->text()));
                    QVERIFY2(!keys.contains(key.toString()), qPrintable(a->text()));
                    keys += key.toString() + u' ';
                    if (a->menu()) {
                        distinctKeys(a->menu()->actions());
                    }
                }
            };
        distinctKeys(f.menuBar()->actions());
        w.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));

        QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.dialogs.asked.value(0).left(5) + w.dialogs.asked.value(1).left(5), "open save ");
        const QKeyCombination edit = QKeySequence::mnemonic(f.menuBar()->actions()[2]->text())[0];
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), edit.key(),
                            QString(QChar(edit.key())).toLower(), edit.keyboardModifiers());
        QTRY_COMPARE(QApplication::activePopupWidget(), f.menuBar()->actions()[2]->menu());
        QApplication::activePopupWidget()->close();
        QTest::keyClick(&f, Qt::Key_F10);
        QTRY_COMPARE(QApplication::activePopupWidget(), f.menuBar()->actions()[1]->menu());
        QApplication::activePopupWidget()->close();

        f.EditT3L->setFocus();
        QWidget* const chain[] = {f.SpBtnOpenCom, f.LbColorT1,  f.LbColorT2,  f.LbColorT3,
                                  f.LbColorHM,    f.LbColorFon, f.LbGirdColor};
        for (QWidget* next : chain) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(f.LbColorHM, Qt::Key_Space);
        QVERIFY(w.dialogs.asked.last().startsWith("color "));

        f.openReport('L');
        analysis::TFormLog* report = modalChild<analysis::TFormLog>(f);
        QVERIFY(report);
        // The offscreen platform does not tell the widgets which window is
        // active when a modal one opens.
        QApplication::setActiveWindow(report);
        QApplication::clipboard()->clear();
        QTest::keyClick(report, Qt::Key_C, Qt::ControlModifier);  // "Копировать все"
        QVERIFY(!report->report.line(0).isEmpty() &&
                QApplication::clipboard()->text().startsWith(report->report.line(0)));
        QTest::keyClick(report, Qt::Key_Escape);
        QTRY_VERIFY(!report->isVisible());
        f.NOverview->trigger();
        QApplication::setActiveWindow(f.overview);
        QTest::keyClick(f.overview, Qt::Key_Escape);
        QTRY_VERIFY(!f.overview->isVisible());

        f.journal.setModified(false);
        QApplication::setActiveWindow(&f);
        QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!f.isVisible());
    }

    // The interface in English from the catalogue built in, or from one
    // beside the executable, which replaces it (so the Russian menus show
    // where it has no translation); the journal's record lines are the same
    // in every language.
    void languages() {
        Window w;
        w.append(3);
        const QByteArray russianLines = w.form->journal.toBytes();
        test::writeFile(w.dir.filePath("mine.ts"),
                        "<TS version=\"2.1\" language=\"en\"><context><name>TForm1</name>"
                        "<message><source>Файл</source><translation>My file</translation>"
                        "</message></context></TS>");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const struct {
            bool beside;
            QStringList menus;
        } cases[] = {{false, {"Start  ", "File", "Edit", "Analysis", "Settings"}},
                     {true, {"Старт  ", "My file", "Правка", "Анализ", "Настройки"}}};
        for (const auto& c : cases) {
            if (c.beside) {
                QCOMPARE(QProcess::execute(QStringLiteral(IM_LRELEASE_PATH),
                                           {"-silent", w.dir.filePath("mine.ts"), "-qm",
                                            w.dir.filePath("incubator-monitor_en.qm")}),
                         0);
            }
            QTranslator catalogue;
            QVERIFY(app::loadProgramCatalogue(catalogue, english, w.dir.path()));
            QCoreApplication::installTranslator(&catalogue);
            w.form.reset();
            w.create();
            QCOMPARE(texts(w.form->menuBar()->actions()), c.menus);
            w.append(3);
            QCOMPARE(w.form->journal.toBytes(), russianLines);
            QCoreApplication::removeTranslator(&catalogue);
        }
        QTranslator none;
        QVERIFY(!app::loadProgramCatalogue(none, QLocale(QLocale::German), w.dir.path()));

        // The catalogues built in: every Russian text has its English
        // translation, every text written in English its Russian one.
        const QRegularExpression cyrillic(QStringLiteral("[А-яЁё]"));
        for (const auto& [language, russianSources] :
             {std::pair{QLocale::English, true}, std::pair{QLocale::Russian, false}}) {
            QTranslator built;
            QVERIFY(app::loadProgramCatalogue(built, QLocale(language), w.dir.filePath("none")));
            QFile ts(QStringLiteral(IM_TRANSLATIONS_DIR "/incubator-monitor_%1.ts")
                         .arg(language == QLocale::English ? "en" : "ru"));
            QVERIFY(ts.open(QIODevice::ReadOnly));
            QXmlStreamReader xml(&ts);
            QString context;
            int checked = 0;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement) {
                    continue;
                }
                if (xml.name() == QLatin1String("name")) {
                    context = xml.readElementText();
                } else if (xml.name() == QLatin1String("source")) {
                    const QString source = xml.readElementText();
                    if (source.contains(cyrillic) == russianSources) {
                        ++checked;
                        QVERIFY2(!built.translate(context.toUtf8(), source.toUtf8()).isEmpty(),
                                 qPrintable(context + ": " + source));
                    }
                }
            }
            QVERIFY(checked > 30);
        }
    }

    void creation_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("state");
        // A first start opens the whole layout, here on the offscreen
        // platform's 800-pixel-wide screen.
        QTest::newRow("no settings file")
            << QByteArray()
            << "0,100 800x620|39,0|35,0|39,0|35,0|90|30|390|350|390|350|90|30|#000000|#0000ff|"
               "#408080|#00ff00|#ffffff|#c0c0c0|#ffffff|#000000|29|71|150|4800|Старт|Старт|0|0|0|"
               "0|0|Windows XP - ошибка.wav|3000|111|0|" +
                   QFont().family() + "|" + QString::number(QFont().pointSize());
        QTest::newRow("every key")
            << QByteArray(
                   "[ComPort1]\nPort=PTY\nBaudRate=9600\nOpenStart=1\nSignalOffData=1\n"
                   "SignalOffDataSound=1\n[Form]\nTop=50\nLeft=60\nWidth=700\nHeight=500\n"
                   "SkipData=3\nMinToTrey=1\n[ScrollBar]\nGainY=240\nPosY=900\nXScale=0\n[Alarm]\n"
                   "T1_HI=385\nT1_LOW=5\nT2_HI=400\nT2_LOW=300\nT3_HI=80\nT3_LOW=20\n"
                   "Sound=/usr/share/sounds/alarm.wav\nTimeSound=0\nT1_enable=0\n"
                   "HM_enable=0\n[Color]\nT1=255\nT2=65280\n"
                   "T3=16711680\nHM=8421504\nFon=12632256\nGird=0\n[Font]\n"
                   "Name=DejaVu Sans Mono\nSize=11\n[LogFile]\nTime=5\n")
            << "60,50 700x500|38,5|00,5|40,0|30,0|80|20|385|5|400|300|80|20|#ff0000|#00ff00|"
               "#0000ff|#808080|#c0c0c0|#000000|#c0c0c0|#ff0000|4|6|50|9600|Стоп|Стоп|3|3|300000|"
               "1|1|/usr/share/sounds/alarm.wav|0|10|1|DejaVu Sans Mono|11";
        QTest::newRow("absurd numbers")
            << QByteArray(
                   "[Form]\nSkipData=2147483647\n[ScrollBar]\nGainY=-99999\nPosY=99999999\n"
                   "XScale=-1\n[Alarm]\nT1_HI=2147483647\nT1_LOW=-2147483648\nT2_HI=-1\n"
                   "T3_HI=2147483647\nT3_LOW=-2147483648\nTimeSound=-7\n[Color]\nT1=-1\n"
                   "T2=2147483647\nFon=-2147483648\n[Font]\nSize=100000\n[LogFile]\n"
                   "Time=2147483647\n[alarm]\nT1_HI=5\nno equals sign\n[Form]\nSkipData=3\n")
            // Boxes show what is stored; bars, recording, saving and the font are
            // clamped; a section's second copy is never read.
            // The T1 label's colour, the background's too, is shown in white.
            << "0,100 800x620|214748364,7|-214748364,8|-00,1|35,0|2147483647|-2147483648|"
               "2147483647|-2147483648|-1|350|2147483647|-2147483648|#308cc6|#ffffff|#408080|"
               "#00ff00|#308cc6|#c0c0c0|#308cc6|#ffffff|-20|30|50|4800|Старт|Старт|120|120|"
               "3600000|0|0|Windows XP - ошибка.wav|0|111|0|" +
                   QFont().family() + "|72";
        QTest::newRow("too small, maximised")
            << QByteArray("[Form]\nWidth=300\nHeight=100\nInitMax=1\n") << "100,100 557x400 max|";
    }
    void creation() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, state);
        tools::PseudoTerminal pty;
        Window w(ini.replace("PTY", pty.slavePath().toUtf8()));
        const QString described = describe(*w.form);
        QCOMPARE(described.left(state.size()), state);
        QCOMPARE(QFile::exists(w.iniPath()), !ini.isEmpty());  // nothing is written at start
        QVERIFY(ini.isEmpty() || w.ini().toUtf8() == ini);
        // What a close writes back starts the same window again.
        QVERIFY(w.form->close());
        w.create();
        QCOMPARE(describe(*w.form), described);
    }

    // A settings file that cannot be written keeps the window open; then an
    // unchanged journal closes without a question and the keys are written
    // in order.
    void closeWithoutChangesAsksNothingAndWritesTheKeysInOrder() {
        Window w;
        w.show();
        {
            test::ScopedErrorRecorder errors;
            test::FileSizeLimit full(0);
            QVERIFY(!w.form->close());
            QCOMPARE(errors.messages, QStringList{"Failed to store settings"});
        }
        QVERIFY(w.form->isVisible());
        // Every key in one replacement of the file.
        test::countRenamesOnto("incubator-monitor.ini");
        QVERIFY(w.form->close());
        QCOMPARE(test::renamesCounted(), 1);
        QVERIFY(w.dialogs.asked.isEmpty());
        const QRect g = w.form->geometry();
        QCOMPARE(w.ini(), QStringLiteral(
                              "[ComPort1]\nPort=COM1\nBaudRate=4800\nStopBits=2\nDataBits=8\n"
                              "Parity=None\nFlowControl=None\n[Form]\nTop=%1\nLeft=%2\n"
                              "Width=%3\nHeight=%4\nInitMax=0\n[ScrollBar]\nGainY=40\nPosY=450\n"
                              "XScale=100\n[Alarm]\nT1_HI=390\nT1_LOW=350\nT2_HI=390\nT2_LOW=350\n"
                              "T3_HI=90\nT3_LOW=30\nSound=Windows XP - ошибка.wav\n")
                              .arg(g.y())
                              .arg(g.x())
                              .arg(g.width())
                              .arg(g.height()));
        QCOMPARE(test::readFile(w.dayFile()), QByteArray());  // the periodic save ran
        w.form.reset();
    }

    // A place from the file fits the screens there are now: cut to the
    // screen it is mostly on, moved back where it stood off, never below the
    // minimum; any int is taken, and a window given absurd numbers opens on
    // the screen.
    void placeFitsTheScreens() {
        const QSize minimum(557, 400);
        const QList<QRect> two{{0, 0, 1280, 1000}, {1280, 0, 1024, 768}};
        const struct {
            app::Place wanted;
            QList<QRect> screens;
            QRect fitted;
        } cases[] = {
            {{100, 100, 584, 583}, two, {100, 100, 584, 583}},
            {{1400, 50, 600, 400}, two, {1400, 50, 600, 400}},
            {{1400, 50, 600, 900}, two, {1400, 0, 600, 768}},
            {{1100, 900, 584, 583}, two, {696, 417, 584, 583}},
            {{3000, 100, 584, 583}, two, {696, 100, 584, 583}},
            {{0, 0, 5000, 5000}, two, {0, 0, 1280, 1000}},
            {{100, 100, -5, 0}, two, {100, 100, 557, 400}},
            {{INT_MIN, INT_MAX, INT_MAX, INT_MAX}, two, {0, 0, 1280, 1000}},
            {{0, 0, 584, 583}, {{0, 0, 400, 300}}, {0, 0, 557, 400}},
        };
        for (const auto& c : cases) {
            QCOMPARE(app::fitToScreens(c.wanted, minimum, c.screens), c.fitted);
        }
        Window w(
            "[Form]\nLeft=-2147483648\nTop=2147483647\nWidth=2147483647\n"
            "Height=2147483647\n");
        w.form->show();
        const QRect screen = w.form->screen()->availableGeometry();
        QVERIFY(screen.contains(w.form->geometry().topLeft()));
        QVERIFY(screen.size().expandedTo(w.form->size()) == screen.size());
    }

    // Closed normal or maximised, the window opens again where it was, with
    // its normal size: one kind of position is stored for both. Maximised
    // just before the close, a while before it, or as a window manager does
    // it (the screen's place first, the state a moment later).
    void placeSurvivesAClose() {
        for (const char how : {'n', 'm', 'M', 'w'}) {
            const bool maximised = how != 'n';
            Window w("[Form]\nLeft=200\nTop=150\nWidth=640\nHeight=480\n");
            w.show();
            const QRect normal = w.form->geometry();
            if (how == 'w') {
                w.form->setGeometry(w.form->screen()->availableGeometry());
                QTest::qWait(50);
            }
            if (maximised) {
                w.form->showMaximized();
                QTRY_VERIFY(w.form->isMaximized());
                QTRY_VERIFY(w.form->width() != 640);
            }
            if (how == 'M') {
                QTest::qWait(600);  // longer than a place takes to count
            }
            QVERIFY(w.form->close());
            QCOMPARE(w.settings().read(settings::keys::Width), 640);
            w.create();
            w.form->showNormal();
            QTRY_COMPARE(w.form->geometry(), normal);
            QCOMPARE(w.settings().read(settings::keys::InitMax), maximised);
        }
    }

    void closeQuestionCancelAndYes() {
        tools::PseudoTerminal pty;
        Window w("[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                 "\nOpenStart=1\n[LogFile]\nTime=1\n");
        w.show();
        w.append(3);
        w.dialogs.answers.push_back(QMessageBox::Cancel);
        QVERIFY(!w.form->close());
        QCOMPARE(w.dialogs.asked.last(),
                 QStringLiteral("question Завершение работы: Сохранить статистику?"));
        QVERIFY(w.form->isVisible() && w.form->ComPort1.Connected());
        QCOMPARE(w.form->journal.lineCount(), 3);
        QVERIFY(!w.ini().contains(QStringLiteral("[Form]")));
        QCOMPARE(test::readFile(w.dayFile()).count("\r\nT1="), 3);  // the save ran all the same

        // Lines that come while the question waits reach the day file too.
        const QString saved = w.dir.path() + QStringLiteral("/saved.txt");
        w.dialogs.answers.push_back(QMessageBox::Yes);
        w.dialogs.fileNames.push_back(saved);
        w.dialogs.whileAsking = [&w] { w.append(2); };
        QVERIFY(w.form->close());
        QCOMPARE(test::readFile(saved), w.form->journal.toBytes());
        QVERIFY(!w.form->ComPort1.Connected());
        QVERIFY(w.ini().contains(QStringLiteral("T1_HI=390")));
        QCOMPARE(test::readFile(w.dayFile()).count("\r\nT1="), 5);
        w.form.reset();
    }

    void terminationSavesEverythingWithoutAsking() {
        Window w("[LogFile]\nTime=1\n");
        w.append(2);
        // The settings and the day file on termination: tst_program's
        // terminationBySignalLosesNothing. Here the journal's exact bytes.
        w.form->terminate();
        QCOMPARE(test::readFile(w.dir.path() +
                                QStringLiteral("/log/unsaved-journal-2026-12-06_12-00-00.txt")),
                 w.form->journal.toBytes());
        QVERIFY(w.form->close());  // no question after termination
        QVERIFY(w.dialogs.asked.isEmpty());
        w.form.reset();
    }

    void saveAsAndOpen() {
        Window w;
        w.append(2);
        const QString path = w.dir.path() + QStringLiteral("/existing.txt");
        test::writeFile(path, "old");
        w.dialogs.fileNames = {path, path};
        w.dialogs.answers = {QMessageBox::No, QMessageBox::Yes};
        w.form->NSave1Click();
        QCOMPARE(w.dialogs.asked,
                 (QStringList{"save *.txt|*.txt 2026-12-06.txt txt",
                              "question Совпадение имен.: Такой файл есть.  Продолжить?"}));
        QCOMPARE(test::readFile(path), QByteArray("old"));
        QVERIFY(w.form->journal.modified());
        w.form->NSave1Click();
        QCOMPARE(test::readFile(path), w.form->journal.toBytes());
        QVERIFY(!w.form->journal.modified());

        // A file that cannot be read leaves the journal as it was.
        w.append(1);
        test::ScopedErrorRecorder errors;
        w.dialogs.fileNames.push_back(w.dir.path() + QStringLiteral("/missing.txt"));
        core::runGuarded([&] { w.form->NLoad1Click(); });
        QVERIFY(errors.messages.value(0).startsWith(QStringLiteral("Cannot open file")));
        QCOMPARE(w.form->journal.lineCount(), 3);
        // A day file: an empty line 0, the newest line at the chart's right,
        // new frames after it, the pending buffer untouched.
        const QString day = w.dir.path() + QStringLiteral("/day.txt");
        test::writeFile(day, ("\r\n" + recordLine(1) + "\r\n" + recordLine(2)).toUtf8());
        w.dialogs.fileNames.push_back(day);
        w.form->NLoad1Click();
        QCOMPARE(w.form->journal.lineCount(), 3);
        QVERIFY(!w.form->journal.modified());
        QCOMPARE(w.form->LabelEndPoint->text(), QStringLiteral("10:00:02"));
        QCOMPARE(w.form->GraphM1->Curves()[0].XValues(), (std::vector<double>{148, 149}));
        QCOMPARE(w.form->ScrollBarAllGraf->value(), 2);
        QCOMPARE(w.form->GraphM1->Scale(), 101);
        w.append(1);
        QCOMPARE(w.form->journal.toBytes().count("\r\n"), 3);
    }

    // "Сохранить график как.." (after the journal's file commands) writes the
    // chart as shown, at its size; an existing file is replaced only when
    // the operator agrees, and a file that cannot be written is told.
    void chartPicture() {
        Window w;
        w.append(20);
        w.show();
        QCOMPARE(
            texts(w.form->menuBar()->actions().at(1)->menu()->actions()),
            (QStringList{"Открыть..", "Сохранить как..", "Сохранить график как..", "-", "Выход"}));
        const QString path = w.dir.filePath("chart.png");
        test::writeFile(path, "old");
        w.dialogs.fileNames = {path, path};
        w.dialogs.answers = {QMessageBox::No, QMessageBox::Yes};
        w.form->NSaveChart->trigger();
        QCOMPARE(test::readFile(path), QByteArray("old"));
        w.form->NSaveChart->trigger();
        const QImage picture(path);
        QCOMPARE(picture.size(), w.form->GraphM1->size() * w.form->devicePixelRatio());
        QCOMPARE(picture, w.form->GraphM1->grab().toImage().convertToFormat(picture.format()));
        test::ScopedErrorRecorder errors;
        w.dialogs.fileNames = {w.dir.filePath("no/such/folder/chart.png")};
        w.form->NSaveChart->trigger();
        QVERIFY(errors.messages.value(0).startsWith(QStringLiteral("Cannot create file")));
    }

    // "Обзор" comes last in "Анализ", opens one window that follows the
    // journal and the bands, saves its picture, and a click on it moves the
    // chart's window so that the clicked line is in its middle.
    void overviewWindow() {
        Window w;
        w.append(3000);
        w.show();
        QMenu* analysis = w.form->menuBar()->actions().at(3)->menu();
        QCOMPARE(analysis->actions().last(), w.form->NOverview);
        QCOMPARE(analysis->actions().at(analysis->actions().size() - 2), w.form->N23);
        w.form->NOverview->trigger();
        QPointer<app::TFormOverview> overview = w.form->overview;
        QVERIFY(overview && overview->isVisible());
        w.form->NOverview->trigger();
        QCOMPARE(w.form->overview, overview);
        QCOMPARE(overview->overview().digest().lineCount(), 3000);
        w.append(10);
        overview->refresh();
        QCOMPARE(overview->overview().digest().lineCount(), 3010);

        QWidget* view = overview->view();
        QVERIFY(QTest::qWaitForWindowExposed(overview));
        const QImage before = view->grab().toImage();
        w.form->EditT1H->setText(QStringLiteral("37,1"));  // every T1 now above its band
        w.form->bandBoxes().EditT1HExit(0);
        overview->refresh();
        QVERIFY(view->grab().toImage() != before);
        // The humidity in the chart's humidity colour, not T3's.
        const QRect humidity =
            overview->overview().layout(view->size(), view->fontMetrics().height()).humidity;
        const QImage shown = view->grab().toImage().copy(humidity);
        int inColour[2] = {};
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                for (int c : {0, 1}) {
                    inColour[c] +=
                        shown.pixelColor(x, y) == w.form->GraphM1->Curves()[3 - c].ColorGraph();
                }
            }
        }
        QVERIFY(inColour[0] >= humidity.width() / 2 && inColour[1] == 0);
        // An edit that keeps the line count repaints the picture.
        test::EventCounter paints(view, QEvent::Paint);
        QTest::qWait(100);  // the repaint the band asked for
        paints.count = 0;
        w.form->journal.replace({1500, 3}, {1500, 7}, QStringLiteral("45,0"));
        overview->refresh();
        QTRY_VERIFY(paints.count > 0);

        const QPoint at(view->width() / 3, view->height() / 3);
        const int line =
            overview->overview().lineAt(at, view->size(), view->fontMetrics().height());
        QVERIFY(line > 0 && line < 2000);
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        const int end = w.form->ScrollBarAllGraf->value();
        QCOMPARE(end - line, w.form->GraphM1->MaxXValue() / 2);
        QCOMPARE(w.form->LbCurrentStr->text(), w.form->journal.line(end));
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), std::size_t(150));

        const QString path = w.dir.filePath("overview.png");
        w.dialogs.fileNames = {path};
        overview->NSaveChart->trigger();
        QCOMPARE(QImage(path), view->grab().toImage().convertToFormat(QImage(path).format()));
        overview->close();
        QTRY_VERIFY(!overview);
    }

    // A click on the overview holds the chart at that moment while lines
    // keep coming, also when the window scroll bar moves it elsewhere; the
    // end of the scroll bar, End on the chart or a click at the overview's
    // right edge take it back to the newest lines, which it follows again.
    void overviewClickHoldsTheChart_data() {
        QTest::addColumn<QString>("back");
        QTest::newRow("scroll bar to its end") << "bar";
        QTest::newRow("End on the chart") << "End";
        QTest::newRow("the overview's right edge") << "edge";
    }
    void overviewClickHoldsTheChart() {
        QFETCH(QString, back);
        Window w;
        w.append(3000);
        w.show();
        w.form->NOverview->trigger();
        QWidget* view = w.form->overview->view();
        QVERIFY(QTest::qWaitForWindowExposed(w.form->overview));
        app::ScrollBar* bar = w.form->ScrollBarAllGraf;
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 3, view->height() / 3));
        const int held = bar->value();
        const QString end = w.form->LabelEndPoint->text();
        QVERIFY(held < 2000);
        w.append(30);
        QCOMPARE(w.form->journal.lineCount(), 3030);
        QCOMPARE(bar->maximum(), 3029);
        QCOMPARE(bar->value(), held);
        QCOMPARE(w.form->LabelEndPoint->text(), end);
        bar->setSliderDown(true);
        bar->setSliderPosition(held - 500);
        bar->setSliderDown(false);
        w.append(5);
        QCOMPARE(bar->value(), held - 500);
        QCOMPARE(w.form->LabelEndPoint->text(), w.form->journal.line(held - 500).right(8));

        if (back == "bar") {
            bar->setSliderDown(true);
            bar->setSliderPosition(bar->maximum());
            bar->setSliderDown(false);
        } else if (back == "End") {
            w.form->activateWindow();
            w.form->GraphM1->setFocus();
            QTRY_VERIFY(w.form->GraphM1->hasFocus());
            QTest::keyClick(w.form->GraphM1, Qt::Key_End);
        } else {
            QTest::mouseClick(view, Qt::LeftButton, {},
                              QPoint(view->width() - 3, view->height() / 3));
        }
        QCOMPARE(bar->value(), 3034);
        QCOMPARE(w.form->LabelEndPoint->text(), w.form->journal.line(3034).right(8));
        w.append(1);
        QCOMPARE(bar->value(), 3035);
        QCOMPARE(w.form->LabelEndPoint->text(), w.form->journal.line(3035).right(8));
    }

    // A file of a few hundred megabytes is read on another thread behind a
    // progress bar: frames go on arriving meanwhile; the read replaces the
    // journal when done, or leaves it as it was when cancelled or refused.
    void largeFilesOpenBehindAProgressBar() {
        Window w;
        w.show();
        const QString big = w.dir.path() + QStringLiteral("/big.txt");
        QByteArray bytes;
        while (bytes.size() < (30 << 20)) {
            bytes += "\r\n" + recordLine(bytes.size()).toUtf8();
        }
        test::writeFile(big, bytes);
        const int lines = int(bytes.count("\r\n")) + 1;  // an empty line 0, as day files
        auto progress = [&] { return w.form->findChild<QProgressDialog*>(); };

        w.dialogs.fileNames = {big, big};
        w.form->NLoad1Click();
        QVERIFY(progress() && progress()->isVisible());
        w.append(1);  // the window still answers the controller
        QTRY_VERIFY_WITH_TIMEOUT(!progress(), 20000);
        QCOMPARE(w.form->journal.lineCount(), lines);
        QCOMPARE(w.form->ScrollBarAllGraf->value(), lines - 1);

        w.form->NClearClick();
        w.append(2);
        w.form->NLoad1Click();
        QTest::mouseClick(progress()->findChild<QPushButton*>(), Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(!progress());
        QCOMPARE(w.form->journal.lineCount(), 2);
        // Cancelled as the read ends, before the window has taken its lines.
        auto* loader = w.form->findChild<journal::JournalLoader*>();
        w.dialogs.fileNames = {big};
        w.form->NLoad1Click();
        QElapsedTimer reading;
        reading.start();
        while (loader->progress() < 1 && reading.elapsed() < 20000) {
            QThread::msleep(10);
        }
        QThread::msleep(300);  // the halves are joined and digested after the read
        progress()->findChild<QPushButton*>()->click();
        QTest::qWait(50);
        QVERIFY(!progress());
        QCOMPARE(w.form->journal.lineCount(), 2);

        test::ScopedErrorRecorder errors;
        QVERIFY(QFile(big).resize(journal::kLargestJournalFile + 1));
        w.dialogs.fileNames = {big};
        w.form->NLoad1Click();
        QTRY_VERIFY(!progress());
        QVERIFY(errors.messages.value(0).endsWith(QStringLiteral("at most 1024 MB.")));
        QCOMPARE(w.form->journal.lineCount(), 2);
    }

    void clearAndCopyColumns() {
        Window w;
        QApplication::clipboard()->setText(QStringLiteral("before"));
        w.form->NCopyT1Click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        w.form->journal.append(recordLine(1, 5));
        w.form->journal.append(QString());
        w.form->journal.append(recordLine(2, 100));
        w.form->NCopyHMClick();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("5 \r\n\r\n10\r\n"));
        w.form->NCopyT1Click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("37,1\r\n\r\n37,2\r\n"));

        w.append(5);
        QCOMPARE(w.form->Panel1Text->text() + w.form->LabelEndPoint->text(),
                 QStringLiteral("37,2°C12:00:00"));
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), 7);
        w.form->NClearClick();
        QVERIFY(w.form->journal.lineCount() == 0 && !w.form->journal.modified());
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(w.form->GraphM1->Curves()[c].pointCount(), std::size_t(0));
        }
        w.append(1);
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), 7);  // kept until two lines again
        w.append(1);
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), 1);
    }

    // The window scroll bar: a thumb of one line, a jump of the window
    // length's scroll bar position per click in its trough; the window
    // length bar jumps by one. The speed buttons.
    void chartControls() {
        Window w;
        w.show();
        w.append(100);
        app::ScrollBar* bar = w.form->ScrollBarAllGraf;
        QCOMPARE(bar->value(), 99);
        QVERIFY(bar->toolTip().endsWith(QStringLiteral("\r\nстрока 99, всего 100")));
        QCOMPARE(w.form->LbCurrentStr->text(), w.form->journal.line(99));
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = Qt::Horizontal;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.pageStep = bar->pageStep();
        const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                         QStyle::SC_ScrollBarSlider, bar);
        QVERIFY2(thumb.width() < bar->width() / 10, qPrintable(QString::number(thumb.width())));

        // A click in the trough jumps by a hundred lines.
        w.append(200);
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
        QCOMPARE(bar->value(), 100);
        // Scrolling to the very start plots nothing; scrolling back plots
        // the window that ends at the position.
        const std::size_t plotted = w.form->GraphM1->Curves()[0].pointCount();
        bar->setSliderPosition(0);
        w.form->ScrollBarAllGrafScroll();
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), plotted);
        bar->setSliderPosition(40);
        w.form->ScrollBarAllGrafScroll();
        QCOMPARE(w.form->LabelEndPoint->text(), QStringLiteral("12:00:00"));
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), std::size_t(41));
        QCOMPARE(w.form->GraphM1->Curves()[0].XValues().back(), 149.0);
        w.append(1);  // a new line moves the window back to the newest
        QCOMPARE(bar->value(), 300);
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), std::size_t(150));

        app::ScrollBar* length = w.form->ScrollBarXScale;
        QTest::mouseClick(length, Qt::LeftButton, {}, QPoint(length->width() - 30, 8));
        QCOMPARE(length->value(), 101);
        QCOMPARE(bar->largeChange(), 101);
        length->setValue(0);
        QCOMPARE(w.form->GraphM1->MaxXValue(), 50.0);
        QCOMPARE(bar->largeChange(), 0);

        // The flat speed buttons never take the focus: a click on "Тчк"
        // leaves it with the chart, whose next click zooms.
        w.form->GraphM1->setFocus();
        QTRY_VERIFY(w.form->GraphM1->hasFocus());
        QTest::mouseClick(w.form->SpBtnDetails, Qt::LeftButton);
        QVERIFY(w.form->GraphM1->Details());
        QVERIFY(w.form->GraphM1->hasFocus());
        QTest::mouseClick(w.form->SpBtnOpenCom, Qt::LeftButton);
        QVERIFY(w.form->GraphM1->hasFocus());
        QTest::mouseClick(w.form->GraphM1, Qt::LeftButton, {}, w.form->GraphM1->rect().center());
        QCOMPARE(w.form->GraphM1->Scale(), 201);
        QVERIFY(w.form->SpBtnDetails->autoRaise() && w.form->SpBtnOpenCom->autoRaise());
    }

    // The band boxes as the operator uses them: Enter goes round them in
    // order, and typing is filtered (Delete and the editing shortcuts work,
    // other chords type nothing). A typed value sets its threshold only when
    // the box is left for another control (Enter, Tab, a click; not when the
    // window or a popup takes the focus): completed, or refused after a
    // message naming the box, which gets back its last value. A number that
    // cannot be read is an error, keeps its text and sets nothing.
    void bandBoxes() {
        Window w;
        w.show();
        app::TForm1& f = *w.form;
        f.EditT3L->setFocus();
        QTRY_VERIFY(f.EditT3L->hasFocus());
        const QList<QLineEdit*> boxes{f.EditT1H, f.EditT1L, f.EditT2H,
                                      f.EditT2L, f.EditT3H, f.EditT3L};
        for (QLineEdit* next : boxes) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        using T = link::AlarmThresholds;
        const QString range = QStringLiteral("message Монитор инкубатора: ");
        const struct {
            QLineEdit* box;
            int T::*threshold;
            const char* typed;  // over the selection; capitalised words name keys
            const char* shown;
            char leave;  // Enter, Tab, Click on the next box; the Window or a Popup takes focus
            const char* left;
            QString message;
            int value;
        } cases[] = {
            {f.EditT1H, &T::T1_HI, "60", "60", 'E', "39,0",
             range + "Т1 Тревога, Выше\nНе в диапазоне (0..50.0)  \"60,0\"", 390},
            {f.EditT1H, &T::T1_HI, "3", "3", 'P', "3", "", 390},
            {f.EditT1H, &T::T1_HI, "3", "3", 'W', "3", "", 390},
            {f.EditT1H, &T::T1_HI, "3", "3", 'E', "3,0", "", 30},
            {f.EditT1H, &T::T1_HI, "39,", "39,", 'T', "39,", "'3,' is not a valid integer value",
             30},
            {f.EditT1L, &T::T1_LOW, "39.5 Home Del", "9,5", 'C', "9,5", "", 95},
            {f.EditT2H, &T::T2_HI, "3 Alt+5 Ctrl+5 8", "38", 'T', "38,0", "", 380},
            {f.EditT2L, &T::T2_LOW, "5 Ctrl+A Ctrl+C 1 Ctrl+V", "15", 'E', "15,0", "", 150},
            {f.EditT2L, &T::T2_LOW, "50.1x", "50,1", 'C', "15,0",
             range + "Т2 Тревога, Ниже\nНе в диапазоне (0..50.0)  \"50,1\"", 150},
            {f.EditT3H, &T::T3_HI, "85", "85", 'T', "85", "", 85},
            {f.EditT3H, &T::T3_HI, "1.-00", "100", 'E', "85",
             range + "Влажность, Выше\nНе в диапазоне (0..99)  \"100\"", 85},
            {f.EditT3L, &T::T3_LOW, "25", "25", 'C', "25", "", 25},
        };
        test::ScopedErrorRecorder errors;
        for (const auto& c : cases) {
            c.box->setFocus();
            c.box->selectAll();
            const int before = f.decoder().thresholds.*c.threshold;
            for (const QString& token : QString::fromUtf8(c.typed).split(' ')) {
                if (!token[0].isUpper()) {
                    QTest::keyClicks(c.box, token);
                    continue;
                }
                const QKeyCombination key = QKeySequence(token)[0];
                if (key.key() == Qt::Key_Delete) {  // as X11 sends it, with its control character
                    QTest::sendKeyEvent(QTest::Click, c.box, key.key(), QStringLiteral("\x7f"),
                                        key.keyboardModifiers());
                } else {
                    QTest::keyClick(c.box, key.key(), key.keyboardModifiers());
                }
            }
            QCOMPARE(c.box->text(), QString::fromUtf8(c.shown));
            QCOMPARE(f.decoder().thresholds.*c.threshold, before);
            w.dialogs.asked.clear();
            errors.messages.clear();
            if (c.leave == 'P' || c.leave == 'W') {
                QFocusEvent out(QEvent::FocusOut, c.leave == 'P' ? Qt::PopupFocusReason
                                                                 : Qt::ActiveWindowFocusReason);
                QApplication::sendEvent(c.box, &out);
            } else if (c.leave == 'C') {
                QTest::mouseClick(boxes[(boxes.indexOf(c.box) + 1) % 6], Qt::LeftButton);
            } else {
                QTest::keyClick(c.box, c.leave == 'E' ? Qt::Key_Return : Qt::Key_Tab);
            }
            QCoreApplication::processEvents();
            QCOMPARE(c.box->text(), QString::fromUtf8(c.left));
            QCOMPARE(w.dialogs.asked.join("") + errors.messages.join(""), c.message);
            QCOMPARE(f.decoder().thresholds.*c.threshold, c.value);
        }
    }

    // Out-of-band frames latch their channels; the running alarm timer
    // blinks their panels (also with the window hidden), shows balloons
    // through the tray and flashes the taskbar; the sound plays; double
    // clicks and "Сброс тревоги" reset. The tooltip follows the values.
    void alarmsOnTheWindow() {
        Window w;
        w.show();
        app::TForm1& f = *w.form;
        f.decoder().ParsingUartStr(test::makeFrame(0, 640, 592, 362, 95));
        QCOMPARE(w.tray.toolTip, QStringLiteral("T1=40°C\nT2=37°C\nT3=36,2°C\n95%"));
        QVERIFY(w.tray.visible);
        f.hide();
        auto red = [](QFrame* panel) {
            return panel->palette().color(QPalette::Window) == QColor(255, 0, 0);
        };
        QTRY_VERIFY(red(f.Panel1) && red(f.Panel3));
        QVERIFY(!red(f.Panel2));
        // Of a blink's balloons the last is on screen, and drawn once.
        QCOMPARE(w.tray.shown.size(), 1);
        QCOMPARE(w.tray.shown.value(0).title, QStringLiteral("Температура T1"));
        QCOMPARE(w.flashes, 1);
        f.alarms().TimerAlarmSoundTimer();
        QCOMPARE(w.sound.played, QStringList{"Windows XP - ошибка.wav"});

        w.show();
        const link::AlarmFlags& flags = f.decoder().alarmFlags;
        QTest::mouseDClick(f.LbShtHM, Qt::LeftButton);
        QVERIFY(!flags.hm && flags.t1);
        QTest::mouseDClick(f.Panel1, Qt::LeftButton);
        QVERIFY(!flags.t1);
        f.decoder().ParsingUartStr(test::makeFrame(0, 592, 640, 362, 95));
        f.receivePath().noDataFlag = true;
        f.N21->trigger();
        QVERIFY(!flags.t2 && !flags.hm && !f.receivePath().noDataFlag);

        // "Выход" of the tray menu asks the close question too.
        w.dialogs.answers.push_back(QMessageBox::Cancel);
        f.TrayIcon1->N7->trigger();
        QCOMPARE(w.dialogs.asked.last(),
                 QStringLiteral("question Завершение работы: Сохранить статистику?"));
    }

    // Starting in the tray keeps the window hidden, but only with a tray.
    void startInTheTray() {
        for (const bool present : {true, false}) {
            Window w("[Form]\nStartInTrey=1\n");
            w.tray.present = present;
            w.create();
            w.form->showAtStart();
            QCOMPARE(w.form->isVisible(), !present);
        }
    }

    // A chosen colour is written at once; a cancelled dialog changes nothing.
    void coloursAndFont() {
        Window w;
        w.dialogs.colors = {QColor(10, 20, 30), QColor(255, 255, 0)};
        w.form->colourLabelClicked(w.form->LbColorT2);
        QCOMPARE(w.dialogs.asked, QStringList{"color #0000ff"});
        QCOMPARE(w.form->GraphM1->Curves()[1].ColorGraph(), QColor(10, 20, 30));
        QCOMPARE(labelColour(w.form->LbColorT2), QColor(10, 20, 30));
        QCOMPARE(w.settings().read(settings::keys::ColorT2), 10 | (20 << 8) | (30 << 16));
        w.form->colourLabelClicked(w.form->LbColorFon);
        QCOMPARE(w.form->GraphM1->Color(), QColor(255, 255, 0));
        QCOMPARE(w.settings().read(settings::keys::ColorFon), 0x00FFFF);
        w.form->colourLabelClicked(w.form->LbGirdColor);  // cancelled
        QCOMPARE(w.form->GraphM1->ColorGrid(), QColor(192, 192, 192));
        QVERIFY(!w.ini().contains(QStringLiteral("Gird")));
        // The font: Apply changes the view only, OK also the file.
        w.dialogs.applied = {QFont(QStringLiteral("DejaVu Serif"), 14)};
        w.form->NFontClick();  // Apply, then Cancel
        QCOMPARE(w.form->Memo1->font().family(), QStringLiteral("DejaVu Serif"));
        w.dialogs.applied.clear();
        w.dialogs.chosenFont = QFont(QStringLiteral("DejaVu Sans Mono"), 9, QFont::Bold);
        w.form->NFontClick();
        QCOMPARE(w.form->Memo1->font().family(), QStringLiteral("DejaVu Sans Mono"));
        QVERIFY(!w.form->Memo1->font().bold());  // only name and size are taken
        QCOMPARE(w.settings().read(settings::keys::FontName), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(w.settings().read(settings::keys::FontSize), 9);
        // A size above 72 is refused, Applied or not, and changes nothing.
        w.dialogs.applied = {QFont(QStringLiteral("DejaVu Serif"), 100)};
        w.dialogs.chosenFont = QFont(QStringLiteral("DejaVu Serif"), 100);
        QVERIFY_THROWS_EXCEPTION(core::Error, w.form->NFontClick());
        QCOMPARE(w.form->Memo1->font().pointSize(), 9);
        QCOMPARE(w.settings().read(settings::keys::FontSize), 9);
    }

    // Frames that come faster than the window refresh are all in the journal
    // at once, and on the window together with the refresh that follows: one
    // repaint for the burst.
    void fastFramesAreShownTogether() {
        Window w;
        w.refreshMs = 300;
        w.create();
        w.show();
        w.append(1);  // the first line also settles the journal's width
        QTest::qWait(400);
        test::EventCounter repaints(w.form.get(), QEvent::UpdateRequest);
        const int maximum = w.form->ScrollBarAllGraf->maximum();
        w.append(3);
        QCOMPARE(w.form->journal.lineCount(), 4);
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), maximum);
        QVERIFY(w.form->GraphM1->Curves()[0].pointCount() < 4);
        QTRY_COMPARE(w.form->ScrollBarAllGraf->maximum(), 3);
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), std::size_t(4));
        QTest::qWait(100);
        QCOMPARE(repaints.count, 1);
    }

    // The machine is kept awake while the port is open, unless KeepAwake=0.
    void keptAwakeWhileOpen() {
        for (const bool keep : {true, false}) {
            tools::PseudoTerminal pty;
            Window w("[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                     (keep ? "\nOpenStart=1\n" : "\nOpenStart=1\nKeepAwake=0\n"));
            QVERIFY(w.form->ComPort1.Connected());
            QCOMPARE(w.awake.held(), keep);
            w.form->SpBtnOpenComClick();
            QVERIFY(!w.awake.held());
        }
    }

    // Every menu command is there and enabled. The report, settings and
    // about windows open modally over the window; the settings dialog's "Да"
    // reaches the running window at once (the skip counter keeps its place);
    // the help lists the outputs.
    void everyCommand() {
        Window w("[Form]\nSkipData=4\n");
        w.show();
        app::TForm1& f = *w.form;
        QStringList disabled;
        for (QAction* top : f.menuBar()->actions()) {
            for (QAction* a : top->menu() ? top->menu()->actions() : QList<QAction*>{top}) {
                if (!a->isSeparator() && a->isVisible() && !a->isEnabled()) {
                    disabled << a->text();
                }
            }
        }
        QCOMPARE(disabled.join(u'|'), QString());

        f.N23->trigger();
        QCOMPARE(w.dialogs.asked.size(), 1);
        QCOMPARE(w.dialogs.asked[0].count(u'\n'), 7);
        QVERIFY(w.dialogs.asked[0].startsWith(
            "message Монитор инкубатора: 1 - Звуковая сигнализация\r\n2 - Включение вывода"));
        QVERIFY(w.dialogs.asked[0].contains("\r\n5 - Движение\r\n6 - Реверс\r\n7 - "));

        w.append(6);
        f.openReport('L');
        analysis::TFormLog* report = modalChild<analysis::TFormLog>(f);
        QVERIFY(report && report->report.lineCount() > 0);
        report->close();

        w.append(1);  // the skip counter moves on
        const int skip = f.decoder().skipCounter();
        f.NSettings->trigger();
        auto* settings = modalChild<settings::TFormSettings>(f);
        QVERIFY(settings);
        settings->UpDwSkipRx->setValue(9);
        settings->UpDwTimeSaveFile->setValue(5);
        settings->UpDown1->setValue(7);
        settings->ChBoxMinToTrey->setChecked(true);
        settings->ChBoxHM_en->setChecked(false);
        settings->ChBoxSignalOffData->click();
        settings->Button1->click();
        QCOMPARE(f.decoder().decimation(), 9);
        QCOMPARE(f.decoder().skipCounter(), skip);
        QVERIFY(f.TimerSaveFile().isActive() && f.decoder().savePeriod() == 5);
        QCOMPARE(f.TimerSaveFile().interval(), 5 * 60000);
        QCOMPARE(f.TimerAlarmSound().interval(), 7000);
        QVERIFY(f.TrayIcon1->MinimizeToTray && f.receivePath().SignalOffData);
        QVERIFY(!f.alarms().enabled(alarms::Channel::Humidity));
        QVERIFY(!QFile::exists(w.dir.path() + "/etc/incubator-monitor.desktop"));
        // Each alarm box reaches its own channel, one unticked at a time; a
        // save period of 0 stops the saves.
        const alarms::Channel channels[] = {alarms::Channel::T1, alarms::Channel::T2,
                                            alarms::Channel::Humidity};
        for (int off = 0; off < 3; ++off) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            f.NSettings->trigger();
            settings = modalChild<settings::TFormSettings>(f);
            QVERIFY(settings);
            QCheckBox* const boxes[] = {settings->ChBoxT1_en, settings->ChBoxT2_en,
                                        settings->ChBoxHM_en};
            for (int c = 0; c < 3; ++c) {
                boxes[c]->setChecked(c != off);
            }
            settings->UpDwTimeSaveFile->setValue(0);
            settings->Button1->click();
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(f.alarms().enabled(channels[c]), c != off);
            }
            QVERIFY(!f.TimerSaveFile().isActive() && f.decoder().savePeriod() == 0);
        }

        f.NAbout->trigger();
        app::TfAbout* about = modalChild<app::TfAbout>(f);
        QVERIFY(about);
        about->Label4Click(about->Label3);
        QCOMPARE(w.opened, QList<QUrl>{QUrl(about->Label3->text())});
    }

    // "MQTT…", the last of the settings: "Проверить" shows a real
    // connection's outcome while the window goes on; unsound settings are
    // explained and kept out; sound ones are stored (privately, with a
    // password) and published at once, and the next start publishes too.
    void mqttSettings() {
        test::Broker broker;
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        test::Subscriber farm(broker.port());
        QVERIFY(farm.connectAndSubscribe(QStringLiteral("farm/#")));
        Window w;
        w.show();
        const QList<QAction*> options = w.form->menuBar()->actions().last()->menu()->actions();
        QCOMPARE(options.mid(options.size() - 2),
                 (QList<QAction*>{w.form->remote().mqttAction, w.form->remote().webAction}));
        w.form->remote().mqttAction->trigger();
        auto* dialog = modalChild<app::MqttDialog>(*w.form);
        QVERIFY(dialog);
        dialog->hostEdit->setText(QStringLiteral("127.0.0.1"));
        dialog->portBox->setValue(broker.port());
        dialog->checkButton->click();
        QTRY_VERIFY2(dialog->checkResult().contains(QStringLiteral("установлено")),
                     qPrintable(dialog->checkResult()));
        QVERIFY(farm.messages().empty());  // a check publishes nothing

        dialog->enabledBox->setChecked(true);
        dialog->topicEdit->setText(QStringLiteral("farm/+"));
        dialog->accept();
        QVERIFY(w.dialogs.asked.value(0).contains(QStringLiteral("(Topic)")));
        QVERIFY(dialog->isVisible());
        dialog->topicEdit->setText(QStringLiteral("farm/one"));
        dialog->passwordEdit->setText(QStringLiteral("pw"));
        dialog->accept();
        QTRY_VERIFY(!modalChild<app::MqttDialog>(*w.form));
        QVERIFY(farm.waitFor("farm/one/availability"));
        QTRY_VERIFY(w.form->statusBar()->currentMessage().contains(QStringLiteral("установлено")));
        QCOMPARE(QFileInfo(w.iniPath()).permissions() &
                     (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
        QVERIFY(w.ini().contains(QStringLiteral("[Mqtt]\nEnabled=1\nHost=127.0.0.1\n")));

        w.append(1);
        QVERIFY(farm.waitFor("farm/one/state"));
        w.form->journal.setModified(false);
        QVERIFY(w.form->close());
        w.form.reset();  // the program's end
        QVERIFY(farm.waitFor("farm/one/availability",
                             [](const QByteArray& p) { return p == "offline"; }));
        farm.clear();
        w.create();
        QVERIFY(farm.waitFor("farm/one/availability",
                             [](const QByteArray& p) { return p == "online"; }));
    }

    // "Веб-страница…": switching the page on makes its key at once, shows
    // the address with it and its code; OK stores the settings and the page
    // answers, on the network only with the key.
    void webPageSettings() {
        Window w;
        w.show();
        w.form->remote().webAction->trigger();
        auto* dialog = modalChild<app::WebDialog>(*w.form);
        QVERIFY(dialog);
        QVERIFY(dialog->codeLabel->pixmap().isNull());
        dialog->enabledBox->setChecked(true);
        dialog->listenEdit->setText(QStringLiteral("0.0.0.0"));
        QTcpServer probe;  // a port nobody uses
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        dialog->portBox->setValue(probe.serverPort());
        probe.close();
        const remote::WebSettings chosen = dialog->settings();
        QCOMPARE(chosen.token.size(), 32);
        QVERIFY(dialog->addressLabel->text().endsWith(QStringLiteral("/?t=") + chosen.token));
        const QImage code = app::qrCode(dialog->addressLabel->text());
        QVERIFY(!code.isNull());
        QCOMPARE(dialog->codeLabel->pixmap().size(), code.size() * 5);
        dialog->newKeyButton->click();
        QVERIFY(dialog->settings().token != chosen.token);
        QSignalSpy listening(&w.form->remote().web(), &remote::WebPublisher::listening);
        dialog->accept();
        QVERIFY(listening.wait(5000));
        const remote::WebSettings stored = remote::WebSettings::read(w.settings());
        QCOMPARE(stored, dialog->settings());
        QCOMPARE(QFileInfo(w.iniPath()).permissions() &
                     (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());  // the key is a secret
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, quint16(stored.port));
        QVERIFY(client.waitForConnected(2000));
        client.write("GET /api/state HTTP/1.1\r\nHost: x\r\n\r\n");
        QTRY_VERIFY(client.bytesAvailable() > 0 || !client.waitForReadyRead(100));
        QVERIFY(client.readAll().startsWith("HTTP/1.1 401"));
    }
};

IM_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
