#include "app/GuardedApplication.h"
#include "link/TelemetryFrame.h"
#include "support/Fakes.h"
#include "support/Pty.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
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

// The program as a whole: its error guard and its end by a signal.
class TestProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noExceptionReachesTheEventLoop() {
        test::ScopedErrorRecorder errors;
        Throwing object;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&object, &event));
        QCOMPARE(errors.errors.messages, QStringList{"Не удалось: причина"});
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(errors.errors.messages.size(), 2);
    }

    // SIGTERM ends the monitor at once with status 0; the settings, the day
    // file and the unsaved journal are all on disk.
    void terminationBySignalLosesNothing() {
        QTemporaryDir dir;
        const QString exe = dir.path() + QStringLiteral("/incubator-monitor");
        QVERIFY(QFile::copy(QStringLiteral(IM_MONITOR_PATH), exe));
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        test::Pty pty;
        QFile ini(dir.path() + QStringLiteral("/incubator-monitor.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[ComPort1]\nPort=" + pty.slavePath().toUtf8() +
                  "\nOpenStart=1\n[LogFile]\nTime=30\n");
        ini.close();

        QProcess monitor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
        monitor.setProcessEnvironment(env);
        monitor.start(exe, {});
        QVERIFY(monitor.waitForStarted(5000));
        QTest::qWait(1500);  // the window is up and the port open
        for (int i = 0; i < 3; ++i) {
            link::Frame f{0x02, 0x58, 0x02, 0x50, 0x02, 0x6A, 0x01, std::uint8_t(50 + i), 0};
            f[8] = link::frameChecksum(f);
            pty.send(QByteArray(reinterpret_cast<const char*>(f.data()), 9));
            QTest::qWait(600);  // a pause between frames, as a controller makes
        }
        ::kill(static_cast<pid_t>(monitor.processId()), SIGTERM);
        QVERIFY(monitor.waitForFinished(10000));
        QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(monitor.exitCode(), 0);

        const QString settings = QString::fromUtf8(test::readFile(ini.fileName()));
        QVERIFY2(settings.contains(QStringLiteral("[Form]")) &&
                     settings.contains(QStringLiteral("T1_HI=390")),
                 qPrintable(settings));
        const QStringList logs =
            QDir(dir.path() + QStringLiteral("/log")).entryList(QDir::Files, QDir::Name);
        QCOMPARE(logs.size(), 2);
        const QByteArray day = test::readFile(dir.path() + QStringLiteral("/log/") + logs[0]);
        QCOMPARE(day.count("\r\nT1=37,5  T2=37,0  T3=36,2  HM="), 3);
        QVERIFY(logs[1].startsWith(QStringLiteral("unsaved-journal-")));
        QCOMPARE(test::readFile(dir.path() + QStringLiteral("/log/") + logs[1]).count("T1=37,5"),
                 3);
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
