#include "journal/DailyLog.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace im;
using namespace im::journal;

class TestDailyLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pendingTextPutsTheLineEndBeforeEachLine() {
        PendingSave pending;
        pending.extend(QStringLiteral("line1"));
        pending.extend(QStringLiteral("line2"));
        pending.extend(QStringLiteral("line3"));
        QCOMPARE(pending.text(), QStringLiteral("\r\nline1\r\nline2\r\nline3"));
    }

    void twoSavesMakeTheDayFile() {
        QTemporaryDir tmp;
        test::FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        const QString logDir = tmp.path() + QStringLiteral("/log");
        DailyLog log([&] { return logDir; }, clock);
        PendingSave pending;
        pending.extend(QStringLiteral("a1"));
        pending.extend(QStringLiteral("a2"));
        pending.extend(QStringLiteral("a3"));
        QVERIFY(log.save(pending));
        QVERIFY(pending.isEmpty());
        const QString file = logDir + QStringLiteral("/2026-12-06.txt");
        QCOMPARE(test::readFile(file), QByteArray("\r\na1\r\na2\r\na3"));

        pending.extend(QStringLiteral("b1"));
        pending.extend(QStringLiteral("b2"));
        QVERIFY(log.save(pending));
        QCOMPARE(test::readFile(file), QByteArray("\r\na1\r\na2\r\na3\r\nb1\r\nb2"));
    }

    void nothingPendingStillCreatesFolderAndEmptyFile() {
        QTemporaryDir tmp;
        test::FakeClock clock(QDateTime(QDate(2026, 3, 9), QTime(8, 0)));
        const QString logDir = tmp.path() + QStringLiteral("/log");
        DailyLog log([&] { return logDir; }, clock);
        PendingSave pending;
        QVERIFY(log.save(pending));
        QCOMPARE(test::readFile(logDir + QStringLiteral("/2026-03-09.txt")), QByteArray());
    }

    void linesCollectedBeforeMidnightGoToTheNewDay() {
        QTemporaryDir tmp;
        test::FakeClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 30)));
        DailyLog log([&] { return tmp.path(); }, clock);
        PendingSave pending;
        pending.extend(QStringLiteral("late"));
        clock.advanceSeconds(60);
        QVERIFY(log.save(pending));
        QVERIFY(!QFile::exists(tmp.path() + QStringLiteral("/2026-12-31.txt")));
        QCOMPARE(test::readFile(tmp.path() + QStringLiteral("/2027-01-01.txt")),
                 QByteArray("\r\nlate"));
    }

    // A day file that cannot be written loses nothing: the lines wait and
    // go out whole with the first save that works.
    void failedSaveKeepsEveryLineForTheNextTry() {
        QTemporaryDir tmp;
        test::FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        DailyLog log([&] { return tmp.path(); }, clock);
        const QString file = tmp.path() + QStringLiteral("/2026-12-06.txt");
        // Stands for a file that refuses writing, also for root.
        QVERIFY(QDir().mkdir(file));
        PendingSave pending;
        pending.extend(QStringLiteral("one"));
        QVERIFY(!log.save(pending));
        pending.extend(QStringLiteral("two"));
        QVERIFY(!log.save(pending));
        QCOMPARE(pending.text(), QStringLiteral("\r\none\r\ntwo"));

        QVERIFY(QDir().rmdir(file));
        QVERIFY(log.save(pending));
        QCOMPARE(test::readFile(file), QByteArray("\r\none\r\ntwo"));
    }

    // A disk that fills up in the middle of an append: the part that made
    // it is taken back, so the retry does not leave a broken line.
    void appendCutShortLeavesNoFragment() {
        QTemporaryDir tmp;
        test::FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        DailyLog log([&] { return tmp.path(); }, clock);
        const QString file = tmp.path() + QStringLiteral("/2026-12-06.txt");
        PendingSave pending;
        pending.extend(QStringLiteral("first line"));
        QVERIFY(log.save(pending));
        const qint64 before = QFileInfo(file).size();

        pending.extend(
            QStringLiteral("T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27"));
        {
            test::FileSizeLimit full(before + 20);
            QVERIFY(!log.save(pending));
        }
        QCOMPARE(QFileInfo(file).size(), before);
        QVERIFY(log.save(pending));
        QCOMPARE(test::readFile(file),
                 QByteArray("\r\nfirst line\r\nT1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  "
                            "05.12.26 14:03:27"));
    }
};

IM_TEST_MAIN(TestDailyLog)
#include "tst_dailylog.moc"
