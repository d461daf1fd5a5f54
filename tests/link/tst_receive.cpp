#include "common/PseudoTerminal.h"
#include "link/ReceivePath.h"
#include "support/Fakes.h"
#include "support/Faults.h"
#include "support/Frames.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace im;
using namespace im::link;
using test::bytesOf;
using test::makeFrame;
using test::rawForTenths;

namespace {

// Frame decoding over a recorded journal: every effect in order.
struct Decoding : link::FrameEffects {
    PanelTexts panels;
    QStringList journal;
    QStringList calls;
    test::RecordingBalloons balloons;
    journal::PendingSave pending;
    test::FakeClock clock;
    FrameDecoder decoder{*this, balloons, pending, clock};

    // Start-up: decimation and counter both from SkipData.
    explicit Decoding(int skipData = 0, int savePeriod = 0) {
        decoder.setDecimation(skipData);
        decoder.setSkipCounter(skipData);
        decoder.setSavePeriod(savePeriod);
    }
    void showPanels(const PanelTexts& texts) override {
        panels = texts;
        calls << QStringLiteral("panels");
    }
    int appendJournalLine(const QString& line) override {
        journal << line;
        calls << QStringLiteral("append");
        return int(journal.size());
    }
    void setWindowScrollBar(int newest) override {
        calls << QStringLiteral("scroll %1").arg(newest);
    }
    void PlotChartWindow(int newest) override { calls << QStringLiteral("plot %1").arg(newest); }

    void feed(const Frame& f) { decoder.ParsingUartStr(f); }
    void feed(int t1, int t2, int hm) {
        feed(makeFrame(0, rawForTenths(t1), rawForTenths(t2), 0, hm));
    }
    QString flags() const {
        const AlarmFlags& f = decoder.alarmFlags;
        return QStringLiteral("%1%2%3").arg(f.t1).arg(f.t2).arg(f.hm);
    }
};

// The receive path on a real pseudo-terminal, with both timers ticking only
// when the test fires them.
struct Receiving : Decoding {
    tools::PseudoTerminal pty;
    TSerialPort port;
    test::FakeTimer resync;
    test::FakeTimer watchdog;
    test::FakeTimer reopen;
    ReceivePath path{port, decoder, balloons, resync, watchdog, &reopen};
    QSignalSpy captions{&path, &ReceivePath::captionsChanged};
    int chunks = 0;

    explicit Receiving(bool open = true) {
        port.setPort(pty.slavePath());
        port.OnRxChar = [this, inner = port.OnRxChar](int count) {
            ++chunks;
            inner(count);
        };
        if (open) {
            path.SpBtnOpenComClick();
        }
    }
    // Sends one chunk and waits until the path has handled it.
    void chunk(const QByteArray& bytes) {
        const int before = chunks;
        pty.send(bytes);
        QTRY_VERIFY(chunks > before && port.QueuedInputCount() == 0);
    }
    static QByteArray frame(int t1Tenths) {
        return bytesOf(makeFrame(0x02, rawForTenths(t1Tenths), rawForTenths(370), 362, 55));
    }
    QString lastCaptions() const {
        return captions.last().at(0).toString() + QLatin1Char('|') +
               captions.last().at(1).toString();
    }
    QString lastBalloon() const {
        const test::Balloon& b = balloons.shown.last();
        return QStringLiteral("%1|%2|%3").arg(b.title, b.text).arg(b.seconds);
    }
};

}  // namespace

class TestReceive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Temperatures in sixteenths become tenths by truncation, T3 comes in
    // tenths, bytes are little-endian in their places.
    void valuesOfAFrame() {
        const struct {
            int out, t1, t2, t3, hm;
            const char* panels;
            const char* line;
        } cases[] = {{0x05, 600, 592, 362, 55, "37,5°C 37°C 36,2°C\r\n55%",
                      "T1=37,5  T2=37,0  T3=36,2  HM=55  OUT=1_3_____"},
                     {0x12, 599, 601, 5, 9, "37,4°C 37,5°C 0,5°C\r\n9%",
                      "T1=37,4  T2=37,5  T3=00,5  HM=9  OUT=_2__5___"},
                     {0xFF, 0xFFFF, 0xFFF0, 65535, 255, "4095,9°C 4095°C 6553,5°C\r\n255%",
                      "T1=4095,9  T2=4095,0  T3=6553,5  HM=255  OUT=12345678"}};
        for (const auto& c : cases) {
            Decoding d;
            d.feed(makeFrame(c.out, c.t1, c.t2, c.t3, c.hm));
            QCOMPARE(d.panels.panel1 + ' ' + d.panels.panel2 + ' ' + d.panels.lbShtHM,
                     QString::fromUtf8(c.panels));
            QCOMPARE(d.journal, QStringList{QLatin1String(c.line) + "  05.12.26 14:03:27"});
        }
    }

    // Any single bit wrong anywhere in a frame is caught, and such a frame
    // leaves no trace at all, not even in the skip counter.
    void badChecksumChangesNothing() {
        Decoding d(3);
        const Frame good = makeFrame(0xFF, rawForTenths(400), rawForTenths(300), 362, 95);
        for (int bit = 0; bit < kFrameSize * 8; ++bit) {
            Frame bad = good;
            bad[std::size_t(bit / 8)] ^= std::uint8_t(1u << (bit % 8));
            d.feed(bad);
        }
        QCOMPARE(d.balloons.shown.size(), kFrameSize * 8);
        const test::Balloon& b = d.balloons.shown.first();
        QCOMPARE(b.title + b.text,
                 QStringLiteral("Ошибка в данных!Не совпадает контрольная сумма."));
        QVERIFY(b.icon == core::BalloonIcon::Warning && b.seconds == 20);
        QVERIFY(d.calls.isEmpty());
        QCOMPARE(d.decoder.skipCounter(), 3);
        QCOMPARE(d.flags(), QStringLiteral("000"));
        d.feed(good);  // still "the first accepted frame"
        QCOMPARE(d.journal.size(), 1);
    }

    // A value on or beyond a limit latches its flag alone, and the flag
    // stays when the value comes back into the band, until the reset. T3 is
    // compared with nothing; the humidity band is held by the T3_ limits;
    // the limits are signed.
    void latching() {
        const struct {
            int t1, t2, hm;
            const char* flags;
        } cases[] = {{389, 351, 89, "000"},  {390, 370, 50, "100"}, {350, 370, 50, "100"},
                     {4095, 370, 50, "100"}, {370, 390, 50, "010"}, {370, 350, 50, "010"},
                     {370, 370, 90, "001"},  {370, 370, 30, "001"}, {370, 370, 31, "000"}};
        for (const auto& c : cases) {
            Decoding d;
            d.feed(makeFrame(0, rawForTenths(c.t1), rawForTenths(c.t2), 65535, c.hm));
            d.feed(370, 370, 50);
            QCOMPARE(d.flags(), QLatin1String(c.flags));
            d.decoder.alarmFlags = {};  // the operator's reset
            d.decoder.thresholds.T2_LOW = -5;
            d.feed(370, 0, 50);
            QCOMPARE(d.flags(), QStringLiteral("000"));
        }
    }

    // One accepted frame in n becomes a line (the first always), each also
    // collected for the day file while the save period is not 0; the panels
    // follow every frame. Append, then the scroll bar (from the second line
    // on), then the chart.
    void decimation() {
        // n, save period, the frames (from 1) that become lines
        const std::tuple<int, int, QList<int>> cases[] = {
            {0, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
            {1, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
            {3, 1, {1, 4, 7, 10}},
            {5, -1, {1, 6, 11}},
            {std::numeric_limits<int>::max(), 0, {1}}};  // the counter does not wrap
        for (const auto& [n, period, appended] : cases) {
            Decoding d(n, period);
            QStringList lines;
            for (int frame = 1; frame <= 11; ++frame) {
                d.clock.set(QDateTime(QDate(2026, 12, 6), QTime(12, 0, frame)));
                d.feed(370 + frame, 370, 50);
                if (appended.contains(frame)) {
                    lines << d.journal.last();
                    QVERIFY(
                        lines.last().endsWith(QStringLiteral(":%1").arg(frame, 2, 10, QChar('0'))));
                }
            }
            QCOMPARE(d.journal, lines);
            QCOMPARE(d.calls.count(QStringLiteral("panels")), 11);
            QCOMPARE(d.pending.text(), period == 0 ? QString() : "\r\n" + lines.join("\r\n"));
            const QStringList first{"panels", "append",   "plot 0", "panels",
                                    "append", "scroll 1", "plot 1"};
            QCOMPARE(d.calls.mid(0, n <= 1 ? 7 : 4),
                     first.mid(0, 3) + (n <= 1 ? first.mid(3) : QStringList{"panels"}));
        }
        // A new n leaves the counter alone.
        Decoding d(5);
        for (int i = 0; i < 3; ++i) {
            d.feed(370, 370, 50);  // taken, then counter 1 and 2
        }
        d.decoder.setDecimation(2);
        d.feed(370, 370, 50);  // 3 >= 2: taken
        QCOMPARE(d.journal.size(), 2);
    }

    void framesAreAssembledFromChunksAndPauses() {
        Receiving r;
        QVERIFY(r.watchdog.isActive() && r.watchdog.interval() == 3000 &&
                r.resync.interval() == 500);
        const QByteArray a = Receiving::frame(375);
        const QByteArray b = Receiving::frame(380);
        r.chunk(a.left(4));
        QCOMPARE(r.path.position(), 4);
        r.chunk(a.mid(4));
        QCOMPARE(r.journal.size(), 1);
        // Half a second of silence drops a partial frame; the tick disarms
        // itself on an open port.
        r.chunk(b.left(5));
        r.resync.fire();
        QCOMPARE(r.path.position(), 0);
        QVERIFY(!r.resync.isActive());
        // Frames that queued up arrive in one chunk: each is decoded, and a
        // frame's tail with the next one's start keeps the stream in step.
        r.chunk(a.left(5));
        r.chunk(a.mid(5) + b.left(2));
        QCOMPARE(r.path.position(), 2);
        r.chunk(b.mid(2) + a + b);
        QCOMPARE(r.journal.size(), 5);
        QVERIFY(r.journal[2].startsWith(QStringLiteral("T1=38,0")) &&
                r.journal[3].startsWith(QStringLiteral("T1=37,5")));
        r.chunk(a + b.left(3));
        r.chunk(b.mid(3) + a.left(3));
        QCOMPARE(r.journal.size(), 7);
        QCOMPARE(r.path.position(), 3);
        QVERIFY(r.balloons.shown.isEmpty());
        // With the port closed the resync tick waits and ticks again.
        r.path.SpBtnOpenComClick();
        r.resync.fire();
        QVERIFY(r.resync.isActive());
    }

    // A read that fails reaches the error report, and both timers still
    // count from that chunk (a stopped watchdog would never warn again),
    // which clears the no-data flag as every chunk does. A
    // purge that fails in the resync tick goes to the event loop's guard,
    // once: the tick is disarmed before it purges.
    void deviceErrorsReachTheReportAndKeepTheTimers() {
        test::ScopedErrorRecorder errors;
        Receiving r;
        r.watchdog.stop();
        r.path.noDataFlag = true;
        test::failReads(r.port.handle(), EOVERFLOW);
        r.pty.send("\x01\x02");
        QTRY_COMPARE(
            errors.messages,
            QStringList{
                QStringLiteral("ReadFile function failed (error code: %1)").arg(EOVERFLOW)});
        QVERIFY(r.watchdog.isActive() && r.resync.isActive() && !r.path.noDataFlag);
        test::failFlushes(EIO);
        QVERIFY_THROWS_EXCEPTION(ESerialPortError, r.resync.fire());
        QVERIFY(!r.resync.isActive() && r.port.Connected());
    }

    void watchdog() {
        Receiving r;
        // Off: no balloon, no flag, but the partial frame is dropped.
        r.path.SignalOffDataSound = true;
        r.chunk("\x01\x02");
        r.watchdog.fire();
        QCOMPARE(r.path.position(), 0);
        QVERIFY(r.balloons.shown.isEmpty() && !r.path.noDataFlag && r.watchdog.isActive());
        // On: the warning every tick; the flag only with the sound switch;
        // a closed port is named.
        r.path.SignalOffData = true;
        r.path.SignalOffDataSound = false;
        r.watchdog.fire();
        r.watchdog.fire();
        QCOMPARE(r.balloons.shown.size(), 2);
        QCOMPARE(r.lastBalloon(), QStringLiteral("Внимание!|Нет данных от инкубатора.|10"));
        QVERIFY(r.balloons.shown[0].icon == core::BalloonIcon::Warning && !r.path.noDataFlag);
        r.path.SignalOffDataSound = true;
        r.path.SpBtnOpenComClick();
        r.port.setPort(QStringLiteral("COM1"));
        r.watchdog.fire();
        QCOMPARE(
            r.lastBalloon(),
            QStringLiteral("Внимание!|Нет данных от инкубатора.\rНе открыт ком порт \"COM1\".|10"));
        QVERIFY(r.path.noDataFlag);
    }

    // The captions tell whether the port is started; a port held elsewhere
    // and a device that goes away are told in a balloon, once; a lost device
    // is opened again when it is back.
    void startStopAndItsFailures() {
        QTemporaryDir tmp;
        const QString link = tmp.path() + QStringLiteral("/ttyINC");
        Receiving r(false);
        QVERIFY(QFile::link(r.pty.slavePath(), link));
        r.port.setPort(link);
        r.path.SpBtnOpenComClick();
        QCOMPARE(r.lastCaptions(), QStringLiteral("Стоп|Стоп    "));
        r.path.SpBtnOpenComClick();
        QCOMPARE(r.lastCaptions(), QStringLiteral("Старт|Старт  "));
        QVERIFY(r.balloons.shown.isEmpty());
        {
            TSerialPort holder;
            holder.setPort(r.pty.slavePath());
            holder.OpenPort();
            r.path.SpBtnOpenComClick();
            QVERIFY(!r.port.Connected());
            QCOMPARE(r.lastCaptions(), QStringLiteral("Старт|Старт  "));
            QCOMPARE(r.lastBalloon(),
                     QStringLiteral("Внимание!|Не могу открыть порт: %1|50").arg(link));
        }
        r.path.SpBtnOpenComClick();
        r.chunk(Receiving::frame(375).left(3));
        r.pty.hangUp();
        QTRY_VERIFY(!r.port.Connected());
        QTest::qWait(300);
        QCOMPARE(r.balloons.shown.size(), 2);
        QCOMPARE(r.lastBalloon(),
                 QStringLiteral("Внимание!|Потеряна связь с портом: %1|50").arg(link));
        QCOMPARE(r.path.position(), 0);
        // Still started: the device is tried again on every tick, silently,
        // until it is back under its name, which is told once.
        QCOMPARE(r.lastCaptions(), QStringLiteral("Стоп|Стоп    "));
        QVERIFY(r.path.reopening());
        // The link names nothing now: the hung-up terminal's number may
        // already belong to another program's new terminal.
        QVERIFY(QFile::remove(link) && QFile::link(link + QStringLiteral(".gone"), link));
        r.reopen.fire();
        QVERIFY(!r.port.Connected() && r.balloons.shown.size() == 2);
        tools::PseudoTerminal back;
        QVERIFY(QFile::remove(link) && QFile::link(back.slavePath(), link));
        r.reopen.fire();
        QVERIFY(r.port.Connected() && !r.path.reopening());
        QCOMPARE(r.lastBalloon(),
                 QStringLiteral("Внимание!|Связь с портом восстановлена: %1|10").arg(link));
        QCOMPARE(r.lastCaptions(), QStringLiteral("Стоп|Стоп    "));
        const int lines = int(r.journal.size());
        back.send(Receiving::frame(375));
        QTRY_COMPARE(int(r.journal.size()), lines + 1);
        // Lost again, the operator's Stop ends the waiting.
        back.hangUp();
        QTRY_VERIFY(r.path.reopening());
        r.path.SpBtnOpenComClick();
        QVERIFY(!r.path.reopening() && !r.port.Connected());
        QCOMPARE(r.lastCaptions(), QStringLiteral("Старт|Старт  "));
        QCOMPARE(r.balloons.shown.size(), 4);
    }
};

IM_TEST_MAIN(TestReceive)
#include "tst_receive.moc"
