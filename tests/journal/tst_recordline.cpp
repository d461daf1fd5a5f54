#include "journal/RecordLine.h"
#include "support/TestMain.h"

#include <QRandomGenerator>

using namespace im::journal;

class TestRecordLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tenthsPattern_data() {
        QTest::addColumn<qint64>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("typical") << qint64(375) << "37,5";
        QTest::newRow("two integer digits") << qint64(50) << "05,0";
        QTest::newRow("zero") << qint64(0) << "00,0";
        QTest::newRow("hundred and more") << qint64(1005) << "100,5";
        QTest::newRow("largest from a frame") << qint64(40950) << "4095,0";
        QTest::newRow("negative band limit") << qint64(-5) << "-00,5";
        QTest::newRow("negative whole") << qint64(-125) << "-12,5";
    }
    void tenthsPattern() {
        QFETCH(qint64, tenths);
        QFETCH(QString, text);
        QCOMPARE(formatTenths(tenths), text);
    }

    void typicalLineIsBuiltAndTakenApart() {
        const QString line = makeRecordLine(375, 374, 362, 55, QStringLiteral("1_3_____"),
                                            QDateTime(QDate(2026, 12, 5), QTime(14, 3, 27)));
        QCOMPARE(line, QStringLiteral(
                           "T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27"));
        QCOMPARE(line.size(), 65);
        QCOMPARE(get_T1(line), QStringLiteral("37,5"));
        QCOMPARE(get_T2(line), QStringLiteral("37,4"));
        QCOMPARE(get_T3(line), QStringLiteral("36,2"));
        QCOMPARE(get_HM(line), QStringLiteral("55"));
        QCOMPARE(get_outs(line), QStringLiteral("1_3_____"));
        QCOMPARE(get_date(line), QStringLiteral("05.12.26"));
        QCOMPARE(get_time(line), QStringLiteral("14:03:27"));
    }

    void dateAndTimeHaveLeadingZerosAndTwoDigitYear() {
        const QString line = makeRecordLine(0, 0, 0, 0, QStringLiteral("________"),
                                            QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5)));
        QVERIFY(line.endsWith(QStringLiteral("  02.01.31 03:04:05")));
        QCOMPARE(get_T1(line), QStringLiteral("00,0"));
        QCOMPARE(get_HM(line), QStringLiteral("0 "));
    }

    // Whatever frame decoding writes, the readers give back the same texts.
    void everyWrittenLineReadsBack() {
        QRandomGenerator rng(42);
        for (int i = 0; i < 2000; ++i) {
            const int t1 = rng.bounded(1000);
            const int t2 = rng.bounded(1000);
            const int t3 = rng.bounded(1000);
            const int hm = rng.bounded(100);
            QString outs(8, QLatin1Char('_'));
            for (int b = 0; b < 8; ++b) {
                if (rng.bounded(2)) {
                    outs[b] = QLatin1Char(char('1' + b));
                }
            }
            const QDateTime at =
                QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(rng.bounded(365 * 86400));
            const QString line = makeRecordLine(t1, t2, t3, hm, outs, at);
            QCOMPARE(get_T1(line), formatTenths(t1));
            QCOMPARE(get_T2(line), formatTenths(t2));
            QCOMPARE(get_T3(line), formatTenths(t3));
            QCOMPARE(get_HM(line).trimmed(), QString::number(hm));
            QCOMPARE(get_outs(line), outs);
            QCOMPARE(get_date(line), at.toString(QStringLiteral("dd.MM.yy")));
            QCOMPARE(get_time(line), at.toString(QStringLiteral("HH:mm:ss")));
        }
    }

    void oddLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");  // T1 T2 T3 HM outs date time
        QTest::newRow("empty") << QString() << QStringList(7, QString());
        QTest::newRow("spaces only") << QStringLiteral("     ") << QStringList(7, QString());
        QTest::newRow("control characters count as spaces")
            << QStringLiteral("\t\x01 \x1f") << QStringList(7, QString());
        QTest::newRow("hundred degrees is cut to four characters")
            << QStringLiteral("T1=100,5  T2=37,4  T3=36,2  HM=55  OUT=________  05.12.26 14:03:27")
            << QStringList{"100,", "37,4", "36,2", "55", "________", "05.12.26", "14:03:27"};
        QTest::newRow("three digit humidity gives two")
            << QStringLiteral("T1=37,5  T2=37,4  T3=36,2  HM=100  OUT=12345678  05.12.26 14:03:27")
            << QStringList{"37,5", "37,4", "36,2", "10", "12345678", "05.12.26", "14:03:27"};
        QTest::newRow("one digit humidity gives digit and space")
            << QStringLiteral("T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_______  05.12.26 14:03:27")
            << QStringList{"37,5", "37,4", "36,2", "5 ", "1_______", "05.12.26", "14:03:27"};
        QTest::newRow("leading spaces do not matter")
            << QStringLiteral(
                   "   T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27")
            << QStringList{"37,5", "37,4", "36,2", "55", "1_3_____", "05.12.26", "14:03:27"};
        QTest::newRow("line ends after T1")
            << QStringLiteral("T1=37,5")
            << QStringList{"37,5", "37,5", "37,5", "37", "37,5", "T1=37,5", "T1=37,5"};
        QTest::newRow("three spaces between pieces")
            << QStringLiteral(
                   "T1=37,5   T2=37,4   T3=36,2   HM=55   OUT=1_3_____   05.12.26   14:03:27")
            << QStringList{"37,5", "37,4", "36,2", "55", "1_3_____", "05.12.26", "14:03:27"};
        QTest::newRow("keys are never compared")
            << QStringLiteral("A=1,1 B=2,2 C=3,3 D=44 E=________ 01.02.03 04:05:06")
            << QStringList{"1,1 ", "2,2 ", "3,3 ", "44", "________", "01.02.03", "04:05:06"};
        QTest::newRow("operator's note")
            << QStringLiteral("Переворот лотков вручную")
            << QStringList{"Пере", "Пере", "Пере", "Пе", "Переворо", "вручную", "вручную"};
    }
    void oddLines() {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        const QStringList got = {get_T1(line),   get_T2(line),   get_T3(line),  get_HM(line),
                                 get_outs(line), get_date(line), get_time(line)};
        QCOMPARE(got, fields);
    }

    void separatorFollowsTheLocale() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString text = formatTenths(375);
        QLocale::setDefault(saved);
        QCOMPARE(text, QStringLiteral("37.5"));
    }
};

IM_TEST_MAIN(TestRecordLine)
#include "tst_recordline.moc"
