#include "core/AppLocation.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

using namespace im;
using namespace im::settings;

class TestSettingsFile : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString ini() const { return tmp.path() + QStringLiteral("/incubator-monitor.ini"); }

private Q_SLOTS:
    void init() { QFile::remove(ini()); }

    // Decimal, or hexadecimal after "0x", "0X" or "$" (eight digits carry
    // the sign); anything else, too large a number included, is the default.
    void integerReadingRules() {
        const QStringList stored{"390",       "-5",         "0x1F",        "0X1f",  "$1F",
                                 "$FFFFFFFF", "$1FFFFFFFF", "0x",          "abc",   "12ab",
                                 "",          "2147483648", "-2147483648", "  42  "};
        QList<int> read;
        for (const QString& text : stored) {
            test::writeFile(ini(), "[Alarm]\nT1_HI=" + text.toUtf8() + "\n");
            read << SettingsFile(ini()).ReadInteger(QStringLiteral("alarm"),
                                                    QStringLiteral("t1_hi"), 777);
        }
        QCOMPARE(read, (QList<int>{390, -5, 31, 31, 31, -1, 777, 777, 777, 777, 777, 777,
                                   std::numeric_limits<int>::min(), 42}));
    }

    // Names match without regard to case, the first section of a name wins,
    // a key missing from its section is never taken from another one, and
    // lines that are no key, or a value of megabytes, change nothing.
    void readingNamesBooleansAndStrings() {
        test::writeFile(ini(),
                        "; comment=1\n[form]\nno equals sign\n  top = 7 \nInitMax=2\nMinToTrey=0\n"
                        "StartInTrey=junk\n[Other]\nTop=99\nWidth=1\n[FORM]\nTop=55\n"
                        "[Alarm]\nBig=" +
                            QByteArray(10 << 20, '9') +
                            "\nSound=/x/y.wav\nLong=" + QByteArray(3000, 'z') + "\n");
        const SettingsFile f(ini());
        for (const IntKey* key : keys::intKeys) {
            if (key->section == keys::T1_HI.section) {  // read past the value
                QCOMPARE(f.read(*key), key->defaultValue);
            }
        }
        QCOMPARE(f.read(keys::Top), 7);
        QCOMPARE(f.read(keys::Width), keys::Width.defaultValue);  // not [Other]'s 1
        QCOMPARE(f.ReadInteger(QStringLiteral("OTHER"), QStringLiteral("top"), 0), 99);
        QCOMPARE(f.ReadInteger(QStringLiteral("nosuch"), QStringLiteral("top"), -1), -1);
        QCOMPARE(f.read(keys::InitMax), true);
        QCOMPARE(f.read(keys::MinToTrey), false);
        QCOMPARE(f.read(keys::StartInTrey), keys::StartInTrey.defaultValue);
        QCOMPARE(f.read(keys::T1_enable), true);
        QCOMPARE(f.read(keys::Sound), QStringLiteral("/x/y.wav"));
        QCOMPARE(f.ReadString(QStringLiteral("Alarm"), QStringLiteral("Long"), {}).size(), 2047);
    }

    // An existing key keeps its place, a new one goes to the end of its
    // section (before blank lines), a new section to the end; line ends and
    // the Windows code page of an old file are read, line breaks in a value
    // cannot forge keys. Gathered in a batch, the writes reach the file only
    // at its commit, and reads see them before.
    void writes() {
        const char* const cases[][2] = {
            {"", "[Form]\nTop=10\n[Alarm]\nSound=a.wav [Form] Top=-32000\n"},
            {"[Form]\ntop=1\nLeft=2\n\n[Alarm]\nT1_HI=3\n",
             "[Form]\nTop=10\nLeft=2\n\n[Alarm]\nT1_HI=3\nSound=a.wav [Form] Top=-32000\n"},
            {"[Form]\nLeft=2\n\n[Alarm]\n",
             "[Form]\nLeft=2\nTop=10\n\n[Alarm]\nSound=a.wav [Form] Top=-32000\n"},
            // "ошибка" in Windows-1251, in a file with CR LF line ends
            {"[Alarm]\r\nSound=\xEE\xF8\xE8\xE1\xEA\xE0.wav\r\n",
             "[Alarm]\r\nSound=a.wav [Form] Top=-32000\r\n[Form]\r\nTop=10\r\n"}};
        for (const bool batch : {false, true}) {
            for (const auto& [before, after] : cases) {
                QFile::remove(ini());
                SettingsFile f(ini());
                if (*before) {
                    test::writeFile(ini(), before);
                }
                if (QByteArray(before).contains('\xEE')) {
                    QCOMPARE(f.read(keys::Sound), QStringLiteral("ошибка.wav"));
                }
                if (batch) {
                    f.beginBatch();
                }
                f.write(keys::Top, 10);
                f.write(keys::Sound, QStringLiteral("a.wav\n[Form]\nTop=-32000"));
                if (batch) {
                    QCOMPARE(test::readFile(ini()), *before ? QByteArray(before) : "<missing>");
                    QCOMPARE(f.read(keys::Top), 10);
                    f.commit();
                }
                QCOMPARE(test::readFile(ini()), QByteArray(after));
            }
        }
        // A commit the disk refuses is an error, and ends the batch.
        SettingsFile f(ini());
        f.beginBatch();
        f.write(keys::Top, 20);
        {
            test::FileSizeLimit full(0);
            QVERIFY_THROWS_EXCEPTION(SettingsWriteError, f.commit());
        }
        QCOMPARE(f.read(keys::Top), 10);
    }

    void unreadableFileIsAnErrorNotDefaults() {
        QVERIFY(QDir().mkdir(ini()));  // a folder where the file should be
        QVERIFY_THROWS_EXCEPTION(SettingsReadError, SettingsFile(ini()).read(keys::Top));
        QVERIFY(QDir().rmdir(ini()));
    }

    // Killed at any moment while writing, the program leaves a file that
    // reads whole; the temporary file of the killed write goes with the
    // next write.
    void killDuringWritesNeverLeavesAHalfFile() {
        QRandomGenerator rng(7);
        const QRegularExpression wellFormed(QStringLiteral("^(\\[[AB]\\]|K\\d+=\\d+)$"));
        for (int attempt = 0; attempt < 8; ++attempt) {
            QProcess hammer;
            hammer.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--hammer"), ini()});
            QVERIFY(hammer.waitForReadyRead(10000));  // one full round is written
            QTest::qWait(static_cast<int>(rng.bounded(5, 60)));
            QVERIFY(test::sendSignal(hammer, SIGKILL));
            QVERIFY(hammer.waitForFinished(5000));

            const QStringList lines = QString::fromUtf8(test::readFile(ini()))
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 42);
            for (const QString& line : lines) {
                QVERIFY2(wellFormed.match(line).hasMatch(), qPrintable(line));
            }
            SettingsFile(ini()).WriteInteger(QStringLiteral("A"), QStringLiteral("K0"), 1);
            QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"incubator-monitor.ini"});
        }
    }

    // The executable's path with its extension (after the last dot of the
    // file name) replaced by ".ini".
    void iniPathFollowsTheExecutable() {
        QStringList paths;
        for (const char* exe : {"/opt/im/incubator-monitor", "/opt/im/monitor.exe",
                                "/opt/im/monitor.old.exe", "/opt/im.d/monitor"}) {
            paths << core::AppLocation::iniPathBeside(QString::fromLatin1(exe));
        }
        QCOMPARE(paths, (QStringList{"/opt/im/incubator-monitor.ini", "/opt/im/monitor.ini",
                                     "/opt/im/monitor.old.ini", "/opt/im.d/monitor.ini"}));
    }

    // Beside a writable executable that is not installed, otherwise in the
    // user's XDG folders, which the first write creates.
    void locations() {
        core::AppLocation::setExecutablePathForTesting(tmp.path() +
                                                       QStringLiteral("/incubator-monitor"));
        QCOMPARE(core::AppLocation::settingsFilePath(), ini());
        QCOMPARE(core::AppLocation::logDirPath(), tmp.path() + QStringLiteral("/log"));
        core::AppLocation::setExecutablePathForTesting({});
        // An installed program keeps nothing beside itself, even run by root.
        for (const char* dir : {"/usr/bin", "/usr/local/bin/", "/bin", IM_INSTALL_BINDIR}) {
            QVERIFY2(core::AppLocation::isInstalledFolder(QString::fromUtf8(dir)), dir);
        }
        QVERIFY(!core::AppLocation::isInstalledFolder(tmp.path()));
        QVERIFY(!core::AppLocation::isInstalledFolder(QStringLiteral("/usrdata/bin")));

        qputenv("XDG_CONFIG_HOME", tmp.path().toUtf8() + "/cfg");
        qputenv("XDG_DATA_HOME", tmp.path().toUtf8() + "/data");
        const QString installed = QStringLiteral("/usr/bin/incubator-monitor");
        const QString config = core::AppLocation::settingsFilePathFor(installed, false);
        QCOMPARE(config,
                 tmp.path() + QStringLiteral("/cfg/incubator-monitor/incubator-monitor.ini"));
        QCOMPARE(core::AppLocation::logDirPathFor(installed, false),
                 tmp.path() + QStringLiteral("/data/incubator-monitor/log"));
        SettingsFile f(config);
        f.write(keys::Top, 5);
        QCOMPARE(f.read(keys::Top), 5);
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(
            core::AppLocation::settingsFilePathFor(installed, false),
            QDir::homePath() + QStringLiteral("/.config/incubator-monitor/incubator-monitor.ini"));
    }
};

// The writer that killDuringWritesNeverLeavesAHalfFile kills: without end,
// each round sets all keys K0..K19 of sections A and B to its number.
int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--hammer") {
        SettingsFile file(QString::fromLocal8Bit(argv[2]));
        for (int round = 0;; ++round) {
            for (int k = 0; k < 40; ++k) {
                file.WriteInteger(k < 20 ? QStringLiteral("A") : QStringLiteral("B"),
                                  QStringLiteral("K%1").arg(k % 20), round);
            }
            std::puts(round == 0 ? "ready" : "");
            std::fflush(stdout);
        }
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    TestSettingsFile test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsfile.moc"
