#include "common/PseudoTerminal.h"
#include "journal/JournalFiles.h"
#include "journal/RecordLine.h"
#include "support/Broker.h"
#include "support/Fakes.h"
#include "support/Frames.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

using namespace im;

namespace {

// A record line as the monitor writes it (the recorder runs in the
// Russian locale here).
const QRegularExpression kRecordLine(
    QStringLiteral("^T1=\\d\\d+,\\d  T2=\\d\\d+,\\d  T3=\\d\\d+,\\d  HM=\\d{1,3}  "
                   "OUT=[1_][2_][3_][4_][5_][6_][7_][8_]  "
                   "\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d$"));

// The recorder on a device: the simulator's pseudo-terminal, or one the
// test plays the controller on.
struct Link {
    QProcess sim;
    QProcess recorder;
    QString device;

    // The simulator with its options, as on a command line.
    explicit Link(const char* simArgs) {
        sim.start(QStringLiteral(IM_SIM_PATH),
                  QString::fromLatin1(simArgs).split(QLatin1Char(' ')));
        if (!sim.waitForReadyRead(5000)) {
            qFatal("the simulator printed no device");
        }
        device = QString::fromUtf8(sim.readLine()).trimmed();
    }
    explicit Link(const QString& path) : device(path) {}
    void record(const QStringList& extra = {},
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
        recorder.setProcessEnvironment(env);
        recorder.start(QStringLiteral(IM_RECORD_PATH), QStringList{device} + extra);
        QVERIFY(recorder.waitForStarted(5000));
    }
    // Ends the recorder as a service manager would, with SIGTERM.
    void stop() {
        QVERIFY(test::sendSignal(recorder, SIGTERM));
        QVERIFY(recorder.waitForFinished(5000));
        QCOMPARE(recorder.exitStatus(), QProcess::NormalExit);
        QCOMPARE(recorder.exitCode(), 0);
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

}  // namespace

class TestSimRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every value the simulator sends is decoded into a plausible incubator
    // (T1 near 37.7 degrees, T2 following it, T3 below, humidity 50 to 58 %),
    // one frame in two is taken, and with a save period of 0 every printed
    // line reaches the day file at the end, a line end before each.
    void liveRecordLinesAndTheDayFile() {
        QTemporaryDir logDir;
        Link link("--period 40 --count 40 --seed 3");
        link.record({"--every", "2", "--log-dir", logDir.path(), "--save-period", "0"});
        QVERIFY(link.sim.waitForFinished(20000));
        QTest::qWait(300);
        QVERIFY(QDir(logDir.path()).isEmpty());
        link.stop();
        // Frames sent before the recorder has opened the line are lost (a
        // slow start under load); one in three taken would give at most 14.
        const QStringList lines = link.lines();
        QVERIFY2(lines.size() >= 15 && lines.size() <= 20,
                 qPrintable(QString::number(lines.size())));
        const double low[] = {36.5, 36.0, 35.0, 45};
        const double high[] = {40.5, 40.5, 39.5, 65};
        for (const QString& line : lines) {
            QVERIFY2(kRecordLine.match(line).hasMatch(), qPrintable(line));
            const QString fields[] = {journal::get_T1(line), journal::get_T2(line),
                                      journal::get_T3(line), journal::get_HM(line)};
            for (int f = 0; f < 4; ++f) {
                const double v = QLocale().toDouble(fields[f].trimmed());
                QVERIFY2(v > low[f] && v < high[f], qPrintable(line));
            }
        }
        // The simulator's exit hangs up the line, told once; nothing else is.
        QCOMPARE(QString::fromUtf8(link.recorder.readAllStandardError()),
                 QStringLiteral("Внимание! Потеряна связь с портом: ") + link.device + '\n');
        const QStringList files = QDir(logDir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QCOMPARE(test::readFile(logDir.path() + QLatin1Char('/') + files[0]),
                 QStringLiteral("\r\n").append(lines.join(QStringLiteral("\r\n"))).toUtf8());
    }

    // With a broker, the lines the recorder prints are published as they
    // come, the settings file's bands latch its alarm flags, and a kill
    // leaves the last will. A broker setting it refuses leaves recording on.
    void publishesToABroker() {
        test::Broker broker;
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        test::Subscriber farm(broker.port());
        QVERIFY(farm.connectAndSubscribe(QStringLiteral("incubator/cellar/#")));
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("monitor.ini"));
        test::writeFile(ini, "[Alarm]\nT1_HI=300\n[Mqtt]\nName=cellar\nHost=unused\n");
        {
            Link refused("--period 50 --count 10");
            refused.record({"--settings", ini, "--mqtt", "127.0.0.1:70000"});
            QVERIFY(refused.sim.waitForFinished(10000));
            QTest::qWait(300);
            refused.stop();
            QVERIFY(!refused.lines().isEmpty());
            const QString errors = QString::fromUtf8(refused.recorder.readAllStandardError());
            QVERIFY2(errors.contains(QStringLiteral("(Port)")), qPrintable(errors));
        }
        Link link("--period 100");
        link.record({"--settings", ini, "--mqtt", "127.0.0.1:" + QString::number(broker.port())});
        const auto alarm = farm.waitFor("incubator/cellar/alarm", [](const QByteArray& p) {
            return QJsonDocument::fromJson(p)["t1"].toBool();
        });
        QVERIFY(alarm);
        const auto state = farm.waitFor("incubator/cellar/state");
        QVERIFY(state);
        QTest::qWait(300);
        const QJsonObject values = QJsonDocument::fromJson(state->payload).object();
        const QString time =
            QDateTime::fromString(values["time"].toString(), Qt::ISODate).toString("hh:mm:ss");
        const QString t1 = QLocale().toString(values["t1"].toDouble(), 'f', 1);
        const QStringList printed = link.lines();
        QVERIFY2(std::any_of(printed.begin(), printed.end(),
                             [&](const QString& line) {
                                 return line.startsWith(QStringLiteral("T1=") + t1) &&
                                        line.endsWith(time);
                             }),
                 state->payload);
        QCOMPARE(farm.last("incubator/cellar/availability")->payload, QByteArray("online"));
        farm.clear();
        QVERIFY(test::sendSignal(link.recorder, SIGKILL));
        QVERIFY(farm.waitFor(
            "incubator/cellar/availability", [](const QByteArray& p) { return p == "offline"; },
            3000));
    }

    void faultsOfTheLink() {
        // Every 4th frame has a bad checksum, every 3rd arrives in two pieces
        // and after every 12 frames the line is silent for 3.5 s.
        Link link(
            "--period 50 --count 24 --bad-checksum-every 4 --split-every 3 "
            "--silence-every 12:3500");
        link.record();
        QVERIFY(link.sim.waitForFinished(20000));
        QCOMPARE(link.sim.exitCode(), 0);
        QTest::qWait(300);
        link.stop();
        // 24 frames, 6 of them bad; a frame or two may go before the
        // recorder has opened the line. Split frames all arrive whole.
        const qsizetype n = link.lines().size();
        QVERIFY2(n >= 14 && n <= 18, qPrintable(QString::number(n)));
        const QString errors = QString::fromUtf8(link.recorder.readAllStandardError());
        QVERIFY(
            errors.contains(QStringLiteral("Ошибка в данных! Не совпадает контрольная сумма.")));
        QVERIFY(errors.contains(QStringLiteral("Внимание! Нет данных от инкубатора.")));
    }

    // A purge that fails (here every flush after the first, as on a device
    // failing a moment before the half-second tick) is reported on standard
    // error and ends only that event: the recorder goes on, losing no frame.
    // A device that goes away and comes back under the same name (a link, as
    // a stable name under /dev/serial/by-id is) is recorded again, told once.
    void aFailingDeviceAndOneThatComesBackAreRecordedOn() {
        QTemporaryDir tmp;
        const QString name = tmp.path() + QStringLiteral("/ttyINC");
        auto first = std::make_unique<tools::PseudoTerminal>();
        QVERIFY(QFile::link(first->slavePath(), name));
        Link link(name);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(IM_FAULTS_PATH));
        env.insert(QStringLiteral("IM_FAULT_TCFLUSH"), QStringLiteral("5,1"));
        link.record({}, env);
        QString errors;
        const auto told = [&link, &errors](const QString& text) {
            errors += QString::fromUtf8(link.recorder.readAllStandardError());
            return errors.contains(text);
        };
        const auto linesSoFar = [&link] { return link.recorder.peek(1 << 16).count('\n'); };
        const QByteArray frame = test::bytesOf(test::makeFrame(0, 600, 600, 362, 55));
        // Bytes that make no frame, until the resync tick half a second after
        // them purges, and fails (what comes before the open, its own purge
        // drops).
        const QString purgeFailed = QStringLiteral("PurgeComm function failed (error code: 5)");
        for (int i = 0; i < 20 && !told(purgeFailed); ++i) {
            first->send("\x01\x02\x03");
            (void)QTest::qWaitFor([&] { return told(purgeFailed); }, 1500);
        }
        for (int i = 0; i < 3; ++i) {
            first->send(frame);
            QVERIFY(QTest::qWaitFor([&] { return linesSoFar() == i + 1; }, 10000));
        }
        QCOMPARE(linesSoFar(), 3);
        first.reset();  // unplugged
        QVERIFY(QTest::qWaitFor([&] { return told(QStringLiteral("Потеряна связь")); }, 10000));
        tools::PseudoTerminal second;
        QVERIFY(QFile::remove(name) && QFile::link(second.slavePath(), name));
        QElapsedTimer back;
        back.start();
        while (linesSoFar() < 4 && back.elapsed() < 20000) {
            second.send(frame);
            link.recorder.waitForReadyRead(100);
        }
        link.stop();
        QVERIFY(link.lines().size() >= 4);
        QVERIFY(told(purgeFailed));
        QCOMPARE(errors.count(QStringLiteral("Потеряна связь с портом")), 1);
        QCOMPARE(errors.count(QStringLiteral("Связь с портом восстановлена: ") + name), 1);
    }

    // The daily files' summary: CR LF and LF files, the empty line each save
    // writes first, notes and unreadable values skipped and counted, a day
    // of nothing but notes, other files left out; means rounded half away
    // from zero in exact tenths (36.05 gives 36.1). A day file that cannot
    // be read is told and makes the exit status 1.
    void summaryOfTheDailyFiles() {
        QTemporaryDir dir;
        const auto line = [](const char* t1, const char* t2, const char* hm) {
            return QByteArray("T1=") + t1 + "  T2=" + t2 + "  T3=36,0  HM=" + hm +
                   "  OUT=_2______  01.12.26 10:00:00";
        };
        const std::pair<const char*, QByteArray> files[] = {
            {"2026-12-01.txt", "\r\n" + line("36,0", "36,5", "60") + "\r\nзаметка\r\n" +
                                   line("abc", "36,5", "60") + "\r\n" + line("36,1", "36,5", "61")},
            {"2026-12-02.txt",
             line("37,5", "37,0", "50") + "\n" + line("38,0", "37,5", "55") + "\n"},
            {"2026-12-03.txt", "\r\nзаметка\r\n"},
            {"notes.txt", line("99,0", "99,0", "99")},
            {"2026-12-04.txt.bak", line("99,0", "99,0", "99")}};
        for (const auto& [name, bytes] : files) {
            test::writeFile(dir.filePath(QString::fromLatin1(name)), bytes);
        }
        test::writeFile(dir.filePath("2026-12-05.txt"), "");
        QVERIFY(QFile(dir.filePath("2026-12-05.txt")).resize(journal::kLargestJournalFile + 1));
        QProcess summary;
        summary.start(QStringLiteral(IM_RECORD_PATH), {QStringLiteral("--summary"), dir.path()});
        QVERIFY(summary.waitForFinished(10000));
        QCOMPARE(summary.exitCode(), 1);
        QCOMPARE(summary.readAllStandardOutput(),
                 QByteArray("date\tlines\tt1_min\tt1_max\tt1_mean\tt2_min\tt2_max\tt2_mean\t"
                            "hm_min\thm_max\thm_mean\n"
                            "2026-12-01\t2\t36.0\t36.1\t36.1\t36.5\t36.5\t36.5\t60\t61\t60.5\n"
                            "2026-12-02\t2\t37.5\t38.0\t37.8\t37.0\t37.5\t37.3\t50\t55\t52.5\n"
                            "2026-12-03\t0\t\t\t\t\t\t\t\t\t\n"
                            "total\t4\t36.0\t38.0\t36.9\t36.5\t37.5\t36.9\t50\t61\t56.5\n"));
        const QByteArray errors = summary.readAllStandardError();
        QVERIFY(errors.contains("3 lines skipped"));
        QVERIFY(errors.contains("2026-12-05.txt"));
    }

    // Every program's command line: --help prints the usage on standard
    // output and ends with 0; a mistake is named, with the usage after it,
    // on standard error, and ends with 2. No display is needed for either:
    // the monitor answers --help before its toolkit starts, and judges what
    // is left once the toolkit has taken its own options.
    void commandLines_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mistake");  // none: the help is asked for
        const QString sim = QStringLiteral(IM_SIM_PATH);
        const QString record = QStringLiteral(IM_RECORD_PATH);
        const QString monitor = QStringLiteral(IM_MONITOR_PATH);
        const QStringList offscreen{"-platform", "offscreen", "-style", "Fusion"};
        QTest::newRow("sim help") << sim << QStringList{"--help"} << QString();
        QTest::newRow("sim unknown option") << sim << QStringList{"--bogus"} << "bogus";
        QTest::newRow("sim option without value") << sim << QStringList{"--period"} << "period";
        QTest::newRow("record help") << record << QStringList{"-h"} << QString();
        QTest::newRow("record unknown option")
            << record << QStringList{"--bogus", "COM1"} << "bogus";
        QTest::newRow("record without device") << record << QStringList{} << "DEVICE";
        QTest::newRow("monitor help") << monitor << QStringList{"--help"} << QString();
        QTest::newRow("monitor unknown option")
            << monitor << offscreen + QStringList{"--bogus"} << "bogus";
        QTest::newRow("monitor stray argument")
            << monitor << offscreen + QStringList{"a.txt"} << "a.txt";
    }
    void commandLines() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, mistake);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            env.remove(QString::fromLatin1(display));
        }
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QByteArray name = QFileInfo(program).fileName().toUtf8();
        const QByteArray usage = "Usage: " + name + ' ';
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray errors = process.readAllStandardError();
        if (mistake.isEmpty()) {
            QCOMPARE(process.exitCode(), 0);
            QVERIFY2(out.startsWith(usage), out);
            QCOMPARE(errors, QByteArray());
        } else {
            QCOMPARE(process.exitCode(), 2);
            QCOMPARE(out, QByteArray());
            // After what the toolkit may have said while starting.
            const qsizetype at = errors.indexOf(name + ": ");
            QVERIFY2(at == 0 || (at > 0 && errors.at(at - 1) == '\n'), errors);
            const QByteArray reason = errors.mid(at, errors.indexOf('\n', at) - at);
            QVERIFY2(reason.contains(mistake.toUtf8()), errors);
            QVERIFY2(errors.indexOf('\n' + usage, at) > at, errors);
        }
    }

    // The simulator's journal of days: a line a second from midnight to
    // midnight, its excursions past the default T1 band as often as asked,
    // and a file the recorder's summary reads whole.
    void simulatedJournalOfDays() {
        QTemporaryDir dir;
        const QDate day = QDate::currentDate().addDays(-2);
        const QString file = dir.filePath(day.toString(QStringLiteral("yyyy-MM-dd")) + ".txt");
        QProcess sim;
        sim.setStandardOutputFile(file);
        sim.start(QStringLiteral(IM_SIM_PATH), {"--journal", "2", "--excursion-every", "3600"});
        QVERIFY(sim.waitForFinished(60000) && sim.exitCode() == 0);
        const QList<QByteArray> lines = test::readFile(file).split('\n');
        QCOMPARE(lines.size(), 2 * 86400 + 1);  // the last line end adds none
        QVERIFY(lines.first().endsWith(day.toString("dd.MM.yy").toLatin1() + " 00:00:00\r"));
        QVERIFY(
            lines[86400].endsWith(day.addDays(1).toString("dd.MM.yy").toLatin1() + " 00:00:00\r"));
        QProcess summary;
        summary.start(QStringLiteral(IM_RECORD_PATH), {QStringLiteral("--summary"), dir.path()});
        QVERIFY(summary.waitForFinished(20000) && summary.exitCode() == 0);
        const QList<QByteArray> row =
            summary.readAllStandardOutput().split('\n').value(1).split('\t');
        QCOMPARE(row.value(1), QByteArray("172800"));
        QVERIFY2(row.value(3).toDouble() >= 39.0, row.value(3));  // an excursion an hour
        const int hmMin = row.value(8).toInt();
        QVERIFY(hmMin >= 45 && row.value(9).toInt() <= 65);
    }
};

IM_TEST_MAIN(TestSimRecord)
#include "tst_simrecord.moc"
