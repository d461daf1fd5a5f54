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

using namespace im;
using namespace im::settings;

class TestSettingsFile : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString ini() const { return tmp.path() + QStringLiteral("/incubator-monitor.ini"); }

private Q_SLOTS:
    void init() { QFile::remove(ini()); }

    void integerReadingRules_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << "390" << 390;
        QTest::newRow("negative") << "-5" << -5;
        QTest::newRow("0x hex") << "0x1F" << 31;
        QTest::newRow("0X hex") << "0X1f" << 31;
        QTest::newRow("dollar hex") << "$1F" << 31;
        QTest::newRow("eight hex digits carry the sign") << "$FFFFFFFF" << -1;
        QTest::newRow("nine hex digits are too many") << "$1FFFFFFFF" << 777;
        QTest::newRow("0x alone is not hex") << "0x" << 777;
        QTest::newRow("letters only") << "abc" << 777;
        QTest::newRow("number with trailing letters") << "12ab" << 777;
        QTest::newRow("too large") << "2147483648" << 777;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
        QTest::newRow("empty") << "" << 777;
        QTest::newRow("spaces around are the file's, not the value's") << "  42  " << 42;
    }
    void integerReadingRules() {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        test::writeFile(ini(), "[Alarm]\nT1_HI=" + stored.toUtf8() + "\n");
        QCOMPARE(
            SettingsFile(ini()).ReadInteger(QStringLiteral("Alarm"), QStringLiteral("T1_HI"), 777),
            expected);
    }

    void booleansAndStrings() {
        test::writeFile(
            ini(),
            "[Form]\nInitMax=2\nMinToTrey=0\nStartInTrey=junk\n[Alarm]\nSound=/x/y.wav\n"
            "Long=" +
                QByteArray(3000, 'z') + "\n");
        const SettingsFile f(ini());
        QCOMPARE(f.read(keys::InitMax), true);
        QCOMPARE(f.read(keys::MinToTrey), false);
        QCOMPARE(f.read(keys::StartInTrey), keys::StartInTrey.defaultValue);
        QCOMPARE(f.read(keys::T1_enable), true);  // missing: default true
        QCOMPARE(f.read(keys::Sound), QStringLiteral("/x/y.wav"));
        QCOMPARE(f.ReadString(QStringLiteral("Alarm"), QStringLiteral("Long"), {}).size(), 2047);
    }

    void missingFileGivesEveryDefault() {
        const SettingsFile f(ini());
        QCOMPARE(f.read(keys::Top), 100);
        QCOMPARE(f.read(keys::Width), 584);
        QCOMPARE(f.read(keys::T1_HI), 390);
        QCOMPARE(f.read(keys::ColorT3), 8421440);
        QCOMPARE(f.read(keys::Sound), QStringLiteral("Windows XP - ошибка.wav"));
        QVERIFY(!QFile::exists(ini()));
    }

    void namesIgnoreCaseAndTheFirstSectionWins() {
        test::writeFile(
            ini(), "; comment=1\n[form]\n  top = 7 \nLEFT=8\n[Other]\nTop=99\n[FORM]\nTop=55\n");
        const SettingsFile f(ini());
        QCOMPARE(f.read(keys::Top), 7);
        QCOMPARE(f.read(keys::Left), 8);
        QCOMPARE(f.ReadInteger(QStringLiteral("Other"), QStringLiteral("top"), 0), 99);
        QCOMPARE(f.ReadInteger(QStringLiteral("nosuch"), QStringLiteral("top"), -1), -1);
    }

    void writesKeepPlacesAndAppendNewKeysToTheirSection() {
        test::writeFile(ini(), "[Form]\nTop=1\nLeft=2\n\n[Alarm]\nT1_HI=3\n");
        SettingsFile f(ini());
        f.WriteInteger(QStringLiteral("form"), QStringLiteral("top"), 10);
        f.write(keys::Width, 600);
        f.write(keys::InitMax, true);
        f.write(keys::ColorT1, 255);
        QCOMPARE(test::readFile(ini()),
                 QByteArray("[Form]\ntop=10\nLeft=2\nWidth=600\nInitMax=1\n\n[Alarm]\nT1_HI=3\n"
                            "[Color]\nT1=255\n"));
        QCOMPARE(f.read(keys::Width), 600);
    }

    void firstWriteCreatesTheFile() {
        SettingsFile f(ini());
        f.write(keys::Sound, QStringLiteral("Windows XP - ошибка.wav"));
        QCOMPARE(test::readFile(ini()), QByteArray("[Alarm]\nSound=Windows XP - ошибка.wav\n"));
        QCOMPARE(f.read(keys::Sound), QStringLiteral("Windows XP - ошибка.wav"));
    }

    void windowsFilesKeepTheirLineEndsAndCodePage() {
        // "ошибка" in Windows-1251.
        test::writeFile(ini(), "[Alarm]\r\nSound=\xEE\xF8\xE8\xE1\xEA\xE0.wav\r\nT1_HI=380\r\n");
        SettingsFile f(ini());
        QCOMPARE(f.read(keys::Sound), QStringLiteral("ошибка.wav"));
        QCOMPARE(f.read(keys::T1_HI), 380);
        f.write(keys::T1_LOW, 340);
        QCOMPARE(test::readFile(ini()),
                 QByteArray("[Alarm]\r\nSound=ошибка.wav\r\nT1_HI=380\r\nT1_LOW=340\r\n"));
    }

    void lineBreaksInAValueCannotForgeKeys() {
        SettingsFile f(ini());
        f.write(keys::Sound, QStringLiteral("a.wav\n[Form]\nTop=-32000"));
        QCOMPARE(f.read(keys::Top), 100);
        QCOMPARE(f.read(keys::Sound), QStringLiteral("a.wav [Form] Top=-32000"));
    }

    void refusedWriteLeavesTheOldFileWhole() {
        test::writeFile(ini(), "[Form]\nTop=1\n");
        SettingsFile f(ini());
        {
            test::FileSizeLimit diskFull(0);
            try {
                f.write(keys::Left, 5);
                QFAIL("the write should have been refused");
            } catch (const SettingsWriteError& e) {
                QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + ini());
            }
        }
        QCOMPARE(test::readFile(ini()), QByteArray("[Form]\nTop=1\n"));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files), QStringList{"incubator-monitor.ini"});
    }

    void unreadableFileIsAnErrorNotDefaults() {
        QVERIFY(QDir().mkdir(ini()));  // a folder where the file should be
        const SettingsFile f(ini());
        QVERIFY_THROWS_EXCEPTION(SettingsReadError, f.read(keys::Top));
        QVERIFY(QDir().rmdir(ini()));
    }

    // Killed at any moment while writing, the program leaves a file that
    // reads whole: every key there, every line complete.
    void killDuringWritesNeverLeavesAHalfFile() {
        QRandomGenerator rng(7);
        const QRegularExpression wellFormed(QStringLiteral("^(\\[[AB]\\]|K\\d+=\\d+)$"));
        for (int attempt = 0; attempt < 8; ++attempt) {
            QProcess hammer;
            hammer.start(QStringLiteral(IM_HAMMER_PATH), {ini()});
            QVERIFY(hammer.waitForReadyRead(10000));  // one full round is written
            QTest::qWait(static_cast<int>(rng.bounded(5, 60)));
            ::kill(static_cast<pid_t>(hammer.processId()), SIGKILL);
            QVERIFY(hammer.waitForFinished(5000));

            const QStringList lines = QString::fromUtf8(test::readFile(ini()))
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 42);
            for (const QString& line : lines) {
                QVERIFY2(wellFormed.match(line).hasMatch(), qPrintable(line));
            }
            const SettingsFile f(ini());
            for (int k = 0; k < 20; ++k) {
                QVERIFY(f.ReadInteger(QStringLiteral("B"), QStringLiteral("K%1").arg(k), -1) >= 0);
            }
            // Temporary files of the killed write may be left; remove them so
            // the next round starts clean.
            for (const QString& name : QDir(tmp.path()).entryList(QDir::Files)) {
                if (name != QStringLiteral("incubator-monitor.ini")) {
                    QFile::remove(tmp.path() + QLatin1Char('/') + name);
                }
            }
        }
    }

    void iniPathFollowsTheExecutable_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("ini");
        QTest::newRow("no extension") << "/opt/im/incubator-monitor"
                                      << "/opt/im/incubator-monitor.ini";
        QTest::newRow("extension replaced") << "/opt/im/monitor.exe"
                                            << "/opt/im/monitor.ini";
        QTest::newRow("last dot only") << "/opt/im/monitor.old.exe"
                                       << "/opt/im/monitor.old.ini";
        QTest::newRow("dot in a folder name") << "/opt/im.d/monitor"
                                              << "/opt/im.d/monitor.ini";
    }
    void iniPathFollowsTheExecutable() {
        QFETCH(QString, executable);
        QFETCH(QString, ini);
        QCOMPARE(core::AppLocation::iniPathBeside(executable), ini);
    }

    void locationBesideAWritableExecutable() {
        core::AppLocation::setExecutablePathForTesting(tmp.path() +
                                                       QStringLiteral("/incubator-monitor"));
        QCOMPARE(core::AppLocation::settingsFilePath(), ini());
        QCOMPARE(core::AppLocation::logDirPath(), tmp.path() + QStringLiteral("/log"));
        core::AppLocation::setExecutablePathForTesting({});
    }

    void locationFallsBackToXdgFoldersWhenTheExecutableFolderIsReadOnly() {
        qputenv("XDG_CONFIG_HOME", tmp.path().toUtf8() + "/cfg");
        qputenv("XDG_DATA_HOME", tmp.path().toUtf8() + "/data");
        const QString installed = QStringLiteral("/usr/bin/incubator-monitor");
        QCOMPARE(core::AppLocation::settingsFilePathFor(installed, false),
                 tmp.path() + QStringLiteral("/cfg/incubator-monitor/incubator-monitor.ini"));
        QCOMPARE(core::AppLocation::logDirPathFor(installed, false),
                 tmp.path() + QStringLiteral("/data/incubator-monitor/log"));
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(
            core::AppLocation::settingsFilePathFor(installed, false),
            QDir::homePath() + QStringLiteral("/.config/incubator-monitor/incubator-monitor.ini"));
        // The first write creates the folder of a fallback location.
        SettingsFile f(tmp.path() + QStringLiteral("/cfg/incubator-monitor/incubator-monitor.ini"));
        f.write(keys::Top, 5);
        QCOMPARE(f.read(keys::Top), 5);
    }
};

IM_TEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
