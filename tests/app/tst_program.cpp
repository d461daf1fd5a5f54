#include "app/GuardedApplication.h"
#include "app/ProgramSetup.h"
#include "common/PseudoTerminal.h"
#include "support/Fakes.h"
#include "support/Frames.h"

#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace im;

namespace {

class Throwing : public QObject {
protected:
    bool event(QEvent*) override { throw core::Error(QStringLiteral("Не удалось: причина")); }
};

}  // namespace

// The program as a whole: its set-up, its error guard and its end by a signal.
class TestProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The toolkit's own texts follow the locale (the tests run in the Russian
    // one), and window titles are exactly the program's: no application
    // name is appended to them.
    void setUpAndGuard() {
        QVERIFY(app::setUpProgram(*qApp));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Завершение работы"),
                        QStringLiteral("Сохранить статистику?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text() + box.button(QMessageBox::Cancel)->text(),
                 QStringLiteral("&ДаОтмена"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        // No exception reaches the event loop: the guard reports it.
        test::ScopedErrorRecorder errors;
        Throwing object;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&object, &event));
        QCOMPARE(errors.messages, QStringList{"Не удалось: причина"});
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(errors.messages.size(), 2);
    }

    // SIGTERM ends the monitor at once with status 0; the settings, the day
    // file and the unsaved journal are all on disk.
    void terminationBySignalLosesNothing() {
        QTemporaryDir dir;
        const QString exe = dir.path() + QStringLiteral("/incubator-monitor");
        QVERIFY(QFile::copy(QStringLiteral(IM_MONITOR_PATH), exe));
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        tools::PseudoTerminal pty;
        const QString ini = dir.path() + QStringLiteral("/incubator-monitor.ini");
        test::writeFile(ini, "[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                                 "\nOpenStart=1\n[LogFile]\nTime=30\n");
        QProcess monitor;  // offscreen and Russian, as this test
        // The toolkit's own options are the program's too.
        monitor.start(exe, {"-platform", "offscreen", "-style", "Fusion"});
        QVERIFY(monitor.waitForStarted(5000));
        QTest::qWait(1500);  // the window is up and the port open
        for (int i = 0; i < 3; ++i) {
            pty.send(test::bytesOf(test::makeFrame(0x02, 600, 592, 362, 50 + i)));
            QTest::qWait(600);  // a pause between frames, as a controller makes
        }
        QVERIFY(test::sendSignal(monitor, SIGTERM));
        QVERIFY(monitor.waitForFinished(10000));
        QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(monitor.exitCode(), 0);

        QVERIFY(test::readFile(ini).contains("\n[Form]\nTop="));
        const QString log = dir.path() + QStringLiteral("/log/");
        const QStringList logs = QDir(log).entryList(QDir::Files, QDir::Name);
        QCOMPARE(logs.size(), 2);
        QCOMPARE(test::readFile(log + logs[0]).count("\r\nT1=37,5  T2=37,0  T3=36,2  HM="), 3);
        QVERIFY(logs[1].startsWith(QStringLiteral("unsaved-journal-")));
        QCOMPARE(test::readFile(log + logs[1]).count("T1=37,5"), 3);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app::GuardedApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    TestProgram test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_program.moc"
