#include "app/TForm1.h"
#include "core/AppLocation.h"
#include "journal/RecordLine.h"
#include "link/TelemetryFrame.h"
#include "settings/SettingsFile.h"
#include "support/FakeDialogs.h"
#include "support/Fakes.h"
#include "support/Pty.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

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
    test::RecordingBalloons balloons;
    QList<test::FakeTimer*> timers;
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
        s.balloons = &balloons;
        s.makeTimer = [this](QObject* parent, int ms) {
            auto* t = new test::FakeTimer(ms);
            t->setParent(parent);
            timers << t;
            return t;
        };
        s.ports = [] { return QStringList{}; };
        form = std::make_unique<app::TForm1>(s);
    }
    QString iniPath() const { return dir.path() + QStringLiteral("/incubator-monitor.ini"); }
    QString ini() const { return QString::fromUtf8(test::readFile(iniPath())); }
    settings::SettingsFile settings() const { return settings::SettingsFile(iniPath()); }
    test::FakeTimer& saveTimer() { return static_cast<test::FakeTimer&>(form->TimerSaveFile()); }
    QString dayFile() const { return dir.path() + QStringLiteral("/log/2026-12-06.txt"); }
    void append(int lines) {
        for (int i = 0; i < lines; ++i) {
            form->decoder().ParsingUartStr(frame(i));
        }
    }
    static link::Frame frame(int i) {
        const std::uint16_t raw = std::uint16_t(592 + i % 8);
        link::Frame f{
            0x02, std::uint8_t(raw & 0xFF), std::uint8_t(raw >> 8), 0x50, 0x02, 0x6A, 0x01, 55, 0};
        f[8] = link::frameChecksum(f);
        return f;
    }
};

QColor labelColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
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
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // At the design size every control stands at its design bounds.
        const QWidget* area = f.centralWidget();
        const int designHeight = 407;
        const int dy = area->height() - designHeight;
        QCOMPARE(f.GraphM1->geometry(), QRect(8, 8, 828 + area->width() - 890, 155 + dy));
        QCOMPARE(f.Memo1->geometry().topLeft(), QPoint(8, 246 + dy));
        QCOMPARE(f.SpBtnOpenCom->geometry().size(), QSize(65, 25));
        QCOMPARE(f.SpBtnOpenCom->text(), QStringLiteral("Старт"));
        QCOMPARE(f.GroupBox1->title(), QStringLiteral("Т1 Тревога"));
        QVERIFY(!f.SpBtnSettingCom->isVisible());
        QCOMPARE(f.LbCurrentStr->text(), QString(55, QLatin1Char(' ')));
        // Growing the window stretches the chart and moves the right side.
        const QRect panel = f.Panel1->geometry();
        f.resize(1000, 600);
        QTRY_COMPARE(f.Panel1->geometry().topLeft(), panel.topLeft() + QPoint(102, 127));
        QCOMPARE(f.ScrollBarXScale->width(), 564 + area->width() - 890);

        QStringList menus;
        for (QAction* a : f.menuBar()->actions()) {
            menus << a->text();
        }
        QCOMPARE(menus, (QStringList{"Старт  ", "Файл", "Правка", "Анализ", "Настройки"}));
        QVERIFY(!f.NStartCom->isVisible());
        QCOMPARE(f.NCopyT1->text(), QStringLiteral("Копировать в буфер обмена Т1"));
    }

    void creationFromNoSettingsFile() {
        Window w;
        app::TForm1& f = *w.form;
        QCOMPARE(f.pos(), QPoint(100, 100));
        QCOMPARE(f.size(), QSize(584, 583));
        QVERIFY(!f.isMaximized());
        QCOMPARE(f.EditT1H->text(), QStringLiteral("39,0"));
        QCOMPARE(f.EditT1L->text(), QStringLiteral("35,0"));
        QCOMPARE(f.EditT3H->text(), QStringLiteral("90"));
        QCOMPARE(f.EditT3L->text(), QStringLiteral("30"));
        QCOMPARE(f.decoder().thresholds.T1_LOW, 350);
        QCOMPARE(f.GraphM1->Curves()[0].ColorGraph(), QColor(0, 0, 0));
        QCOMPARE(f.GraphM1->Curves()[1].ColorGraph(), QColor(0, 0, 255));
        QCOMPARE(f.GraphM1->Curves()[2].ColorGraph(), QColor(64, 128, 128));
        QCOMPARE(f.GraphM1->Curves()[3].ColorGraph(), QColor(0, 255, 0));
        QCOMPARE(f.GraphM1->Color(), QColor(Qt::white));
        QCOMPARE(f.GraphM1->ColorGrid(), QColor(192, 192, 192));
        QCOMPARE(f.GraphM1->MinYValue(), 29.0);
        QCOMPARE(f.GraphM1->MaxYValue(), 71.0);
        QCOMPARE(f.GraphM1->MaxXValue(), 150.0);
        QVERIFY(!f.ComPort1.Connected());
        QVERIFY(!w.saveTimer().isActive());
        QCOMPARE(f.alarmSound, QStringLiteral("Windows XP - ошибка.wav"));
        QVERIFY(!QFile::exists(w.iniPath()));  // nothing is written at start
    }

    void creationFromAFullSettingsFile() {
        test::Pty pty;
        Window w("[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                 "\nBaudRate=9600\nOpenStart=1\nSignalOffData=1\nSignalOffDataSound=1\n"
                 "[Form]\nTop=50\nLeft=60\nWidth=700\nHeight=500\nSkipData=3\n"
                 "[ScrollBar]\nGainY=240\nPosY=900\nXScale=0\n"
                 "[Alarm]\nT1_HI=385\nT1_LOW=5\nT2_HI=400\nT2_LOW=300\nT3_HI=80\nT3_LOW=20\n"
                 "Sound=/usr/share/sounds/alarm.wav\n"
                 "[Color]\nT1=255\nT2=65280\nT3=16711680\nHM=8421504\nFon=12632256\nGird=0\n"
                 "[Font]\nName=DejaVu Sans Mono\nSize=11\n[LogFile]\nTime=5\n");
        app::TForm1& f = *w.form;
        QCOMPARE(f.pos(), QPoint(60, 50));
        QCOMPARE(f.size(), QSize(700, 500));
        QVERIFY(f.ComPort1.Connected());
        QCOMPARE(f.ComPort1.effectiveBitsPerSecond(), 9600);
        QCOMPARE(f.SpBtnOpenCom->text(), QStringLiteral("Стоп"));
        QCOMPARE(f.NStartCom->text(), QStringLiteral("Стоп    "));
        QVERIFY(f.receivePath().SignalOffData && f.receivePath().SignalOffDataSound);
        QCOMPARE(f.decoder().decimation(), 3);
        QCOMPARE(f.decoder().skipCounter(), 3);
        QCOMPARE(f.GraphM1->MinYValue(), 4.0);
        QCOMPARE(f.GraphM1->MaxYValue(), 6.0);
        QCOMPARE(f.GraphM1->MaxXValue(), 50.0);
        QCOMPARE(f.EditT1H->text(), QStringLiteral("38,5"));
        QCOMPARE(f.EditT1L->text(), QStringLiteral("00,5"));
        const link::AlarmThresholds& t = f.decoder().thresholds;
        QCOMPARE((QList<int>{t.T1_HI, t.T1_LOW, t.T2_HI, t.T2_LOW, t.T3_HI, t.T3_LOW}),
                 (QList<int>{385, 5, 400, 300, 80, 20}));
        QCOMPARE(f.alarmSound, QStringLiteral("/usr/share/sounds/alarm.wav"));
        QCOMPARE(labelColour(f.LbColorT1), QColor(255, 0, 0));
        QCOMPARE(f.GraphM1->Curves()[0].ColorGraph(), QColor(255, 0, 0));
        QCOMPARE(f.GraphM1->Curves()[2].ColorGraph(), QColor(0, 0, 255));
        QCOMPARE(f.GraphM1->Color(), QColor(192, 192, 192));
        QCOMPARE(f.Panel4->palette().color(QPalette::Window), QColor(192, 192, 192));
        QCOMPARE(f.GraphM1->ColorGrid(), QColor(0, 0, 0));
        QCOMPARE(f.Memo1->font().family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(f.Memo1->font().pointSize(), 11);
        QVERIFY(w.saveTimer().isActive());
        QCOMPARE(w.saveTimer().interval(), 5 * 60000);

        // A frame through the real line: panels, journal, chart.
        const link::Frame frame = Window::frame(0);
        pty.send(QByteArray(reinterpret_cast<const char*>(frame.data()), 9));
        QTRY_COMPARE(f.journal.lineCount(), 1);
        QCOMPARE(f.Panel1Text->text(), QStringLiteral("37°C"));
        QCOMPARE(
            f.journal.line(0),
            QStringLiteral("T1=37,0  T2=37,0  T3=36,2  HM=55  OUT=_2______  06.12.26 12:00:00"));
        QCOMPARE(f.GraphM1->Curves()[0].pointCount(), std::size_t(1));
        QCOMPARE(f.LabelEndPoint->text(), QStringLiteral("12:00:00"));
        QCOMPARE(f.pending.text(), QStringLiteral("\r\n") + f.journal.line(0));
    }

    void smallStoredSizesGiveTheMinimum() {
        Window w("[Form]\nWidth=300\nHeight=100\nInitMax=1\n");
        QCOMPARE(w.form->size(), QSize(557, 400));
        QVERIFY(w.form->windowState() & Qt::WindowMaximized);
    }

    void closeWithoutChangesAsksNothingAndWritesTheKeysInOrder() {
        Window w;
        w.form->show();
        QVERIFY(w.form->close());
        QVERIFY(w.dialogs.asked.isEmpty());
        QCOMPARE(w.ini(), QStringLiteral(
                              "[ComPort1]\nPort=COM1\nBaudRate=4800\nStopBits=2\nDataBits=8\n"
                              "Parity=None\nFlowControl=None\n[Form]\nTop=100\nLeft=100\n"
                              "Width=584\nHeight=583\nInitMax=0\n[ScrollBar]\nGainY=40\nPosY=450\n"
                              "XScale=100\n[Alarm]\nT1_HI=390\nT1_LOW=350\nT2_HI=390\nT2_LOW=350\n"
                              "T3_HI=90\nT3_LOW=30\nSound=Windows XP - ошибка.wav\n"));
        // The periodic save ran: the day file exists, empty.
        QCOMPARE(test::readFile(w.dayFile()), QByteArray());
        w.form.reset();
    }

    void closeQuestionCancelNoAndYes() {
        test::Pty pty;
        Window w("[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                 "\nOpenStart=1\n[LogFile]\nTime=1\n");
        w.form->show();
        w.append(3);
        QVERIFY(w.form->journal.modified());

        w.dialogs.answers.push_back(QMessageBox::Cancel);
        QVERIFY(!w.form->close());
        QCOMPARE(w.dialogs.asked.last(),
                 QStringLiteral("question Завершение работы: Сохранить статистику?"));
        QVERIFY(w.form->isVisible());
        QVERIFY(w.form->ComPort1.Connected());
        QCOMPARE(w.form->journal.lineCount(), 3);
        QVERIFY(!QFile::exists(w.iniPath()) || !w.ini().contains(QStringLiteral("[Form]")));
        // The periodic save ran all the same.
        QCOMPARE(test::readFile(w.dayFile()).count("\r\nT1="), 3);

        // Yes saves as, then closes.
        const QString saved = w.dir.path() + QStringLiteral("/saved.txt");
        w.dialogs.answers.push_back(QMessageBox::Yes);
        w.dialogs.fileNames.push_back(saved);
        QVERIFY(w.form->close());
        QCOMPARE(test::readFile(saved), w.form->journal.toBytes());
        QVERIFY(!w.form->ComPort1.Connected());
        QVERIFY(w.ini().contains(QStringLiteral("T1_HI=390")));
        w.form.reset();
    }

    void failedSettingsWriteKeepsTheWindowOpen() {
        Window w;
        test::ScopedErrorRecorder errors;
        w.form->show();
        {
            test::FileSizeLimit full(0);
            QVERIFY(!w.form->close());
        }
        QCOMPARE(errors.errors.messages, QStringList{"Failed to store settings"});
        QVERIFY(w.form->isVisible());
        QVERIFY(w.form->close());
        w.form.reset();
    }

    void maximisedCloseKeepsTheNormalSize() {
        Window w("[Form]\nWidth=640\nHeight=480\n");
        w.form->showMaximized();
        QTRY_VERIFY(w.form->isMaximized());
        QVERIFY(w.form->close());
        const settings::SettingsFile s = w.settings();
        QCOMPARE(s.read(settings::keys::InitMax), true);
        QCOMPARE(s.read(settings::keys::Width), 640);
        QCOMPARE(s.read(settings::keys::Height), 480);
        w.form.reset();
    }

    void terminationSavesEverythingWithoutAsking() {
        Window w("[LogFile]\nTime=1\n");
        w.append(2);
        w.form->terminate();
        QVERIFY(w.dialogs.asked.isEmpty());
        QVERIFY(w.ini().contains(QStringLiteral("[ScrollBar]")));
        QCOMPARE(test::readFile(w.dayFile()).count("\r\nT1="), 2);
        const QString unsaved =
            w.dir.path() + QStringLiteral("/log/unsaved-journal-2026-12-06_12-00-00.txt");
        QCOMPARE(test::readFile(unsaved), w.form->journal.toBytes());
        QVERIFY(w.form->close());  // no question after termination
        QVERIFY(w.dialogs.asked.isEmpty());
        w.form.reset();
    }

    void saveAs() {
        Window w;
        w.append(2);
        const QString path = w.dir.path() + QStringLiteral("/existing.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("old");
        f.close();

        w.dialogs.fileNames.push_back(path);
        w.dialogs.answers.push_back(QMessageBox::No);
        w.form->NSave1Click();
        QCOMPARE(w.dialogs.asked,
                 (QStringList{"save *.txt|*.txt 2026-12-06.txt txt",
                              "question Совпадение имен.: Такой файл есть.  Продолжить?"}));
        QCOMPARE(test::readFile(path), QByteArray("old"));
        QVERIFY(w.form->journal.modified());

        w.dialogs.fileNames.push_back(path);
        w.dialogs.answers.push_back(QMessageBox::Yes);
        w.form->NSave1Click();
        QCOMPARE(test::readFile(path), w.form->journal.toBytes());
        QVERIFY(test::readFile(path).endsWith("\r\n"));
        QVERIFY(!w.form->journal.modified());
    }

    void openReplacesOnlyWhenTheFileReads() {
        Window w;
        w.append(2);
        test::ScopedErrorRecorder errors;
        w.dialogs.fileNames.push_back(w.dir.path() + QStringLiteral("/missing.txt"));
        // Called through the guard as the menu does.
        core::runGuarded([&] { w.form->NLoad1Click(); });
        QCOMPARE(errors.errors.messages.size(), 1);
        QVERIFY(errors.errors.messages[0].startsWith(QStringLiteral("Cannot open file")));
        QCOMPARE(w.form->journal.lineCount(), 2);
        QVERIFY(w.form->journal.modified());

        // A day file: an empty line 0, the newest line at the chart's right.
        const QString day = w.dir.path() + QStringLiteral("/day.txt");
        QFile f(day);
        f.open(QIODevice::WriteOnly);
        f.write(("\r\n" + recordLine(1) + "\r\n" + recordLine(2)).toUtf8());
        f.close();
        w.dialogs.fileNames.push_back(day);
        w.form->NLoad1Click();
        QCOMPARE(w.form->journal.lineCount(), 3);
        QCOMPARE(w.form->journal.line(0), QString());
        QVERIFY(!w.form->journal.modified());
        QCOMPARE(w.form->LabelEndPoint->text(), QStringLiteral("10:00:02"));
        QCOMPARE(w.form->GraphM1->Curves()[0].XValues(), (std::vector<double>{148, 149}));
        QCOMPARE(w.form->ScrollBarAllGraf->value(), 2);
        QCOMPARE(w.form->GraphM1->Scale(), 101);
        // Opening leaves the pending buffer alone; new frames come after.
        w.append(1);
        QCOMPARE(w.form->journal.lineCount(), 4);
        QCOMPARE(w.form->journal.toBytes().count("\r\n"), 3);
    }

    void clearEmptiesJournalAndCurves() {
        Window w;
        w.append(5);
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), 4);
        w.form->NClearClick();
        QCOMPARE(w.form->journal.lineCount(), 0);
        QVERIFY(!w.form->journal.modified());
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(w.form->GraphM1->Curves()[c].pointCount(), std::size_t(0));
        }
        w.append(1);
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), 4);  // kept until two lines again
        w.append(1);
        QCOMPARE(w.form->ScrollBarAllGraf->maximum(), 1);
    }

    void copyColumns() {
        Window w;
        QApplication::clipboard()->setText(QStringLiteral("before"));
        w.form->NCopyT1Click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        w.form->journal.append(recordLine(1, 5));
        w.form->journal.append(recordLine(2, 100));
        w.form->NCopyHMClick();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("5 \r\n10\r\n"));
        w.form->NCopyT1Click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("37,1\r\n37,2\r\n"));
    }

    void windowScrollBar() {
        Window w;
        w.append(100);
        QScrollBar* bar = w.form->ScrollBarAllGraf;
        QCOMPARE(bar->maximum(), 99);
        QCOMPARE(bar->value(), 99);
        QVERIFY(bar->toolTip().endsWith(QStringLiteral("\r\nстрока 99, всего 100")));
        QCOMPARE(w.form->LbCurrentStr->text(), w.form->journal.line(99));

        // Scrolling back plots the window that ends at the position.
        bar->setSliderPosition(40);
        w.form->ScrollBarAllGrafScroll();
        QCOMPARE(w.form->LabelEndPoint->text(), QStringLiteral("12:00:00"));
        QCOMPARE(w.form->GraphM1->Curves()[0].XValues().back(), 149.0);
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), std::size_t(41));
        // A new line moves the window back to the newest.
        w.append(1);
        QCOMPARE(bar->value(), 100);
        QCOMPARE(w.form->GraphM1->Curves()[0].pointCount(), std::size_t(101));

        w.form->ScrollBarXScale->setValue(0);
        QCOMPARE(w.form->GraphM1->MaxXValue(), 50.0);
        QCOMPARE(bar->pageStep(), 0);
    }

    void colourLabelsWriteAtOnce() {
        Window w;
        w.dialogs.colors.push_back(QColor(10, 20, 30));
        w.form->colourLabelClicked(w.form->LbColorT2);
        QCOMPARE(w.dialogs.asked, QStringList{"color #0000ff"});
        QCOMPARE(w.form->GraphM1->Curves()[1].ColorGraph(), QColor(10, 20, 30));
        QCOMPARE(labelColour(w.form->LbColorT2), QColor(10, 20, 30));
        QCOMPARE(w.settings().read(settings::keys::ColorT2), 10 | (20 << 8) | (30 << 16));

        w.dialogs.colors.push_back(QColor(255, 255, 0));
        w.form->colourLabelClicked(w.form->LbColorFon);
        QCOMPARE(w.form->GraphM1->Color(), QColor(255, 255, 0));
        QCOMPARE(w.settings().read(settings::keys::ColorFon), 0x00FFFF);

        w.form->colourLabelClicked(w.form->LbGirdColor);  // cancelled
        QCOMPARE(w.form->GraphM1->ColorGrid(), QColor(192, 192, 192));
        QVERIFY(!w.ini().contains(QStringLiteral("Gird")));
    }

    void fontApplyThenCancelAndOk() {
        Window w;
        QFont applied(QStringLiteral("DejaVu Serif"), 14);
        w.dialogs.applied = {applied};
        w.form->NFontClick();  // Apply, then Cancel
        QCOMPARE(w.form->Memo1->font().family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(!QFile::exists(w.iniPath()));

        w.dialogs.applied.clear();
        w.dialogs.chosenFont = QFont(QStringLiteral("DejaVu Sans Mono"), 9, QFont::Bold);
        w.form->NFontClick();
        QCOMPARE(w.form->Memo1->font().family(), QStringLiteral("DejaVu Sans Mono"));
        QVERIFY(!w.form->Memo1->font().bold());  // only name and size are taken
        QCOMPARE(w.settings().read(settings::keys::FontName), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(w.settings().read(settings::keys::FontSize), 9);
    }
};

IM_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
