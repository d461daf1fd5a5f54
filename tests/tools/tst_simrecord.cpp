#include "journal/RecordLine.h"
#include "support/TestMain.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

using namespace im;

namespace {

// A record line as the monitor writes it (the recorder runs in the
// Russian locale here).
const QRegularExpression kRecordLine(
    QStringLiteral("^T1=\\d\\d+,\\d  T2=\\d\\d+,\\d  T3=\\d\\d+,\\d  HM=\\d{1,3}  "
                   "OUT=[1_][2_][3_][4_][5_][6_][7_][8_]  "
                   "\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d$"));

// The simulator on its own pseudo-terminal and the recorder reading it.
struct Link {
    QProcess sim;
    QProcess recorder;
    QString device;

    explicit Link(const QStringList& simArgs) {
        sim.start(QStringLiteral(IM_SIM_PATH), simArgs);
        if (!sim.waitForReadyRead(5000)) {
            qFatal("the simulator printed no device");
        }
        device = QString::fromUtf8(sim.readLine()).trimmed();
    }
    void record(const QStringList& extra = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
        recorder.setProcessEnvironment(env);
        recorder.start(QStringLiteral(IM_RECORD_PATH), QStringList{device} + extra);
        QVERIFY(recorder.waitForStarted(5000));
    }
    QStringList lines() {
        return QString::fromUtf8(recorder.readAllStandardOutput())
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    ~Link() {
        for (QProcess* p : {&recorder, &sim}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
};

void waitForLines(QProcess& p, int n, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        p.waitForReadyRead(100);
        // Count without consuming: peek at the buffered output.
        if (p.peek(1 << 20).count('\n') >= n) {
            return;
        }
    }
}

}  // namespace

class TestSimRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void liveRecordLinesAndTheDayFile() {
        QTemporaryDir logDir;
        Link link({QStringLiteral("--period"), QStringLiteral("60"), QStringLiteral("--seed"),
                   QStringLiteral("3")});
        link.record({QStringLiteral("--log-dir"), logDir.path()});
        waitForLines(link.recorder, 20, 15000);
        ::kill(static_cast<pid_t>(link.recorder.processId()), SIGTERM);
        QVERIFY(link.recorder.waitForFinished(5000));
        QCOMPARE(link.recorder.exitStatus(), QProcess::NormalExit);
        QCOMPARE(link.recorder.exitCode(), 0);

        const QStringList lines = link.lines();
        QVERIFY2(lines.size() >= 20, qPrintable(QString::number(lines.size())));
        for (const QString& line : lines) {
            QVERIFY2(kRecordLine.match(line).hasMatch(), qPrintable(line));
            // The model keeps the incubator warm, near 37.7 degrees.
            const double t1 = QLocale().toDouble(journal::get_T1(line));
            QVERIFY2(t1 > 36.5 && t1 < 40.5, qPrintable(line));
        }
        QVERIFY(QString::fromUtf8(link.recorder.readAllStandardError()).isEmpty());

        // Every printed line is in the day file, a line end before each, and
        // nothing else (the final save on SIGTERM included them all).
        const QStringList files = QDir(logDir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d\\.txt$"))
                    .match(files[0])
                    .hasMatch());
        QFile day(logDir.path() + QLatin1Char('/') + files[0]);
        QVERIFY(day.open(QIODevice::ReadOnly));
        QCOMPARE(day.readAll(),
                 QStringLiteral("\r\n").append(lines.join(QStringLiteral("\r\n"))).toUtf8());
    }

    void faultsOfTheLink() {
        // Every 4th frame has a bad checksum, every 3rd arrives in two pieces
        // and after every 12 frames the line is silent for 3.5 s.
        Link link({QStringLiteral("--period"), QStringLiteral("50"), QStringLiteral("--count"),
                   QStringLiteral("24"), QStringLiteral("--bad-checksum-every"),
                   QStringLiteral("4"), QStringLiteral("--split-every"), QStringLiteral("3"),
                   QStringLiteral("--silence-every"), QStringLiteral("12:3500")});
        link.record();
        QVERIFY(link.sim.waitForFinished(20000));
        QCOMPARE(link.sim.exitCode(), 0);
        QTest::qWait(300);
        ::kill(static_cast<pid_t>(link.recorder.processId()), SIGTERM);
        QVERIFY(link.recorder.waitForFinished(5000));

        const QStringList lines = link.lines();
        const QString errors = QString::fromUtf8(link.recorder.readAllStandardError());
        // 24 frames, 6 of them bad; a frame or two may go before the
        // recorder has opened the line. Split frames all arrive whole.
        QVERIFY2(lines.size() >= 14 && lines.size() <= 18,
                 qPrintable(QString::number(lines.size())));
        QVERIFY(
            errors.contains(QStringLiteral("Ошибка в данных! Не совпадает контрольная сумма.")));
        QVERIFY(errors.contains(QStringLiteral("Внимание! Нет данных от инкубатора.")));
        // The simulator's exit hangs up the line, and the recorder says so once.
        QCOMPARE(errors.count(QStringLiteral("Потеряна связь с портом")), 1);
    }

    void decimationTakesOneFrameInN() {
        Link link({QStringLiteral("--period"), QStringLiteral("40"), QStringLiteral("--count"),
                   QStringLiteral("40")});
        link.record({QStringLiteral("--every"), QStringLiteral("5")});
        QVERIFY(link.sim.waitForFinished(20000));
        QTest::qWait(300);
        ::kill(static_cast<pid_t>(link.recorder.processId()), SIGTERM);
        QVERIFY(link.recorder.waitForFinished(5000));
        const int n = int(link.lines().size());
        QVERIFY2(n >= 7 && n <= 8, qPrintable(QString::number(n)));
    }
};

IM_TEST_MAIN(TestSimRecord)
#include "tst_simrecord.moc"
