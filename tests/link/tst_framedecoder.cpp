#include "FrameTestSupport.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

using namespace im;
using namespace im::link;
using test::makeFrame;
using test::rawForTenths;

class TestFrameDecoder : public QObject {
    Q_OBJECT

    struct Rig {
        test::RecordingEffects effects;
        test::RecordingBalloons balloons;
        journal::PendingSave pending;
        test::FakeClock clock;
        FrameDecoder decoder{effects, balloons, pending, clock};

        // Start-up: decimation and counter both from SkipData.
        explicit Rig(int skipData = 0, int savePeriod = 0) {
            decoder.setDecimation(skipData);
            decoder.setSkipCounter(skipData);
            decoder.setSavePeriod(savePeriod);
        }
        void feed(const Frame& f) { decoder.ParsingUartStr(f); }
        void feedT1(int tenths) {
            feed(makeFrame(0, rawForTenths(tenths), rawForTenths(370), 0, 50));
        }
        void feedHM(int hm) {
            feed(makeFrame(0, rawForTenths(370), rawForTenths(370), 0, std::uint8_t(hm)));
        }
    };

private Q_SLOTS:
    void acceptedFrameShowsLatchesAndAppends() {
        Rig rig;
        rig.feed(Frame{0x05, 0x58, 0x02, 0x50, 0x02, 0x6A, 0x01, 55,
                       0x05 ^ 0x58 ^ 0x02 ^ 0x50 ^ 0x02 ^ 0x6A ^ 0x01 ^ 55});
        QCOMPARE(rig.effects.panels.panel1, QStringLiteral("37,5°C"));
        QCOMPARE(rig.effects.panels.panel2, QStringLiteral("37°C"));
        QCOMPARE(rig.effects.panels.lbShtHM, QStringLiteral("36,2°C\r\n55%"));
        QCOMPARE(rig.effects.journal,
                 QStringList{"T1=37,5  T2=37,0  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27"});
        QVERIFY(rig.balloons.shown.isEmpty());
    }

    // Any single bit wrong anywhere in a frame is caught, and such a frame
    // leaves no trace at all, not even in the skip counter.
    void badChecksumChangesNothing() {
        Rig rig(3);
        const Frame good = makeFrame(0xFF, rawForTenths(400), rawForTenths(300), 362, 95);
        for (int byte = 0; byte < kFrameSize; ++byte) {
            for (int bit = 0; bit < 8; ++bit) {
                Frame bad = good;
                bad[byte] ^= std::uint8_t(1u << bit);
                rig.feed(bad);
            }
        }
        QCOMPARE(rig.balloons.shown.size(), kFrameSize * 8);
        const test::Balloon& b = rig.balloons.shown.first();
        QCOMPARE(b.title, QStringLiteral("Ошибка в данных!"));
        QCOMPARE(b.text, QStringLiteral("Не совпадает контрольная сумма."));
        QCOMPARE(b.icon, core::BalloonIcon::Warning);
        QCOMPARE(b.seconds, 20);
        QVERIFY(rig.effects.calls.isEmpty());
        QCOMPARE(rig.decoder.skipCounter(), 3);
        QVERIFY(!rig.decoder.alarmFlags.t1 && !rig.decoder.alarmFlags.t2 &&
                !rig.decoder.alarmFlags.hm);
        // The first good frame after them is still "the first accepted frame".
        rig.feed(good);
        QCOMPARE(rig.effects.journal.size(), 1);
    }

    void latchingIncludesTheLimits_data() {
        QTest::addColumn<int>("t1");
        QTest::addColumn<bool>("latched");
        QTest::newRow("on the upper limit") << 390 << true;
        QTest::newRow("one tenth below the upper limit") << 389 << false;
        QTest::newRow("on the lower limit") << 350 << true;
        QTest::newRow("one tenth above the lower limit") << 351 << false;
        QTest::newRow("far above") << 4095 << true;
        QTest::newRow("zero") << 0 << true;
    }
    void latchingIncludesTheLimits() {
        QFETCH(int, t1);
        QFETCH(bool, latched);
        Rig rig;
        rig.feedT1(t1);
        QCOMPARE(rig.decoder.alarmFlags.t1, latched);
        QVERIFY(!rig.decoder.alarmFlags.t2);
    }

    void flagsStayLatchedWhenTheValueComesBack() {
        Rig rig;
        rig.feedT1(395);
        rig.feedT1(375);
        QVERIFY(rig.decoder.alarmFlags.t1);
        rig.decoder.alarmFlags.t1 = false;  // the operator's reset
        rig.feedT1(375);
        QVERIFY(!rig.decoder.alarmFlags.t1);
    }

    void humidityBandIsTheT3Keys() {
        Rig rig;
        rig.decoder.thresholds.T3_HI = 90;
        rig.decoder.thresholds.T3_LOW = 30;
        rig.feedHM(89);
        QVERIFY(!rig.decoder.alarmFlags.hm);
        rig.feedHM(90);
        QVERIFY(rig.decoder.alarmFlags.hm);
        QVERIFY(!rig.decoder.alarmFlags.t1 && !rig.decoder.alarmFlags.t2);

        // T3 itself is compared with nothing.
        Rig other;
        other.feed(makeFrame(0, rawForTenths(370), rawForTenths(370), 65535, 50));
        QVERIFY(!other.decoder.alarmFlags.t1 && !other.decoder.alarmFlags.t2 &&
                !other.decoder.alarmFlags.hm);
    }

    void limitsAreSignedIntegers() {
        Rig rig;
        rig.decoder.thresholds.T2_LOW = -5;
        rig.decoder.thresholds.T2_HI = 40000;
        rig.feed(makeFrame(0, rawForTenths(370), 0, 0, 50));
        QVERIFY2(!rig.decoder.alarmFlags.t2, "0 is above a band that starts at -0,5");
        rig.decoder.thresholds.T2_HI = -1;
        rig.feed(makeFrame(0, rawForTenths(370), 0, 0, 50));
        QVERIFY(rig.decoder.alarmFlags.t2);
    }

    void decimation_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<int>>("appended");  // frame numbers, from 1
        QTest::newRow("n = 0") << 0 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        QTest::newRow("n = 1") << 1 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        QTest::newRow("n = 3") << 3 << QList<int>{1, 4, 7, 10};
        QTest::newRow("n = 5") << 5 << QList<int>{1, 6, 11};
    }
    void decimation() {
        QFETCH(int, n);
        QFETCH(QList<int>, appended);
        Rig rig(n, 5);
        QStringList expected;
        QString expectedPending;
        for (int frame = 1; frame <= 11; ++frame) {
            rig.clock.set(QDateTime(QDate(2026, 12, 6), QTime(12, 0, frame)));
            rig.feedT1(370 + frame);
            if (appended.contains(frame)) {
                const QString line =
                    rig.effects.journal.isEmpty() ? QString() : rig.effects.journal.last();
                QVERIFY2(
                    line.endsWith(QStringLiteral("12:00:%1").arg(frame, 2, 10, QLatin1Char('0'))),
                    qPrintable(line));
                expected << line;
                expectedPending += QStringLiteral("\r\n") + line;
            }
            // The panels follow every accepted frame, taken or not.
            static const char* const panels[] = {"37,1°C", "37,2°C", "37,3°C", "37,4°C",
                                                 "37,5°C", "37,6°C", "37,7°C", "37,8°C",
                                                 "37,9°C", "38°C",   "38,1°C"};
            QCOMPARE(rig.effects.panels.panel1, QString::fromUtf8(panels[frame - 1]));
        }
        QCOMPARE(rig.effects.journal, expected);
        QCOMPARE(rig.pending.text(), expectedPending);
    }

    void pendingBufferBytesAndSavePeriodZero() {
        Rig withSaving(0, 5);
        for (int i = 0; i < 3; ++i) {
            withSaving.feedT1(370);
            withSaving.clock.advanceSeconds(1);
        }
        const QStringList& j = withSaving.effects.journal;
        QCOMPARE(withSaving.pending.text(), QStringLiteral("\r\n") + j[0] + QStringLiteral("\r\n") +
                                                j[1] + QStringLiteral("\r\n") + j[2]);

        Rig withoutSaving(0, 0);
        for (int i = 0; i < 3; ++i) {
            withoutSaving.feedT1(370);
        }
        QCOMPARE(withoutSaving.effects.journal.size(), 3);
        QVERIFY(withoutSaving.pending.isEmpty());
    }

    // Append, then the scroll bar (only from the second line on), then the
    // chart with the newest index.
    void effectsComeInOrder() {
        Rig rig;
        rig.feedT1(370);
        rig.feedT1(371);
        rig.feedT1(372);
        QCOMPARE(rig.effects.calls,
                 (QStringList{"panels", "append", "plot 0", "panels", "append", "scroll 1",
                              "plot 1", "panels", "append", "scroll 2", "plot 2"}));
    }

    void decimationChangedWhileRunningKeepsTheCounter() {
        Rig rig(5);
        rig.feedT1(370);  // taken, counter 0
        rig.feedT1(370);  // counter 1
        rig.feedT1(370);  // counter 2
        rig.decoder.setDecimation(2);
        QCOMPARE(rig.decoder.skipCounter(), 2);
        rig.feedT1(370);  // 3 >= 2: taken
        QCOMPARE(rig.effects.journal.size(), 2);
    }

    void hugeDecimationDoesNotWrap() {
        Rig rig(std::numeric_limits<int>::max());
        rig.feedT1(370);
        rig.feedT1(370);
        QCOMPARE(rig.effects.journal.size(), 1);
        QCOMPARE(rig.decoder.skipCounter(), 1);
    }

    void lineTakesDateAndTimeFromOneReading() {
        Rig rig;
        rig.clock.set(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
        rig.feedT1(370);
        QVERIFY(rig.effects.journal.last().endsWith(QStringLiteral("  31.12.26 23:59:59")));
    }
};

IM_TEST_MAIN(TestFrameDecoder)
#include "tst_framedecoder.moc"
