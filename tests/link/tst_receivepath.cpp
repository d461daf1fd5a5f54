#include "FrameTestSupport.h"
#include "link/ReceivePath.h"
#include "support/Fakes.h"
#include "support/Pty.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace im;
using namespace im::link;
using test::makeFrame;
using test::rawForTenths;

namespace {

QByteArray bytesOf(const Frame& f) {
    return QByteArray(reinterpret_cast<const char*>(f.data()), kFrameSize);
}

}  // namespace

// The receive path on a real pseudo-terminal, with both timers ticking only
// when the test fires them.
class TestReceivePath : public QObject {
    Q_OBJECT

    struct Rig {
        test::Pty pty;
        TSerialPort port;
        test::RecordingEffects effects;
        test::RecordingBalloons balloons;
        journal::PendingSave pending;
        test::FakeClock clock;
        FrameDecoder decoder{effects, balloons, pending, clock};
        test::FakeTimer resync;
        test::FakeTimer watchdog;
        ReceivePath path{port, decoder, balloons, resync, watchdog};
        int chunks = 0;

        Rig() {
            port.setPort(pty.slavePath());
            auto inner = port.OnRxChar;
            port.OnRxChar = [this, inner](int count) {
                ++chunks;
                inner(count);
            };
        }
        // Sends one chunk and waits until the path has handled it.
        void chunk(const QByteArray& bytes) {
            const int before = chunks;
            pty.send(bytes);
            QTRY_VERIFY(chunks > before && port.QueuedInputCount() == 0);
        }
        Frame frame(int t1Tenths) const {
            return makeFrame(0x02, rawForTenths(t1Tenths), rawForTenths(370), 362, 55);
        }
    };

private Q_SLOTS:
    void startupArmsOnlyTheWatchdog() {
        Rig rig;
        QCOMPARE(rig.resync.interval(), 500);
        QCOMPARE(rig.watchdog.interval(), 3000);
        QVERIFY(!rig.resync.isActive());
        QVERIFY(rig.watchdog.isActive());
    }

    void frameInTwoChunksIsDecodedOnce() {
        Rig rig;
        rig.path.SpBtnOpenComClick();
        const QByteArray f = bytesOf(rig.frame(375));
        rig.chunk(f.left(4));
        QCOMPARE(rig.path.position(), 4);
        QVERIFY(rig.effects.journal.isEmpty());
        rig.chunk(f.mid(4));
        QCOMPARE(rig.path.position(), 0);
        QCOMPARE(rig.effects.journal.size(), 1);
        QVERIFY(rig.effects.journal[0].startsWith(
            QStringLiteral("T1=37,5  T2=37,0  T3=36,2  HM=55  OUT=_2______")));
    }

    void pauseDropsAPartialFrame() {
        Rig rig;
        rig.path.SpBtnOpenComClick();
        const QByteArray stale = bytesOf(rig.frame(390)).left(5);
        rig.chunk(stale);
        QVERIFY(rig.resync.isActive());
        rig.resync.fire();  // 500 ms of silence
        QCOMPARE(rig.path.position(), 0);
        QVERIFY2(!rig.resync.isActive(), "the tick disarms itself on an open port");
        rig.chunk(bytesOf(rig.frame(375)));
        QCOMPARE(rig.effects.journal.size(), 1);
        QVERIFY(rig.effects.journal[0].startsWith(QStringLiteral("T1=37,5")));
        QVERIFY(rig.balloons.shown.isEmpty());
    }

    void resyncTickWithTheClosedPortWaits() {
        Rig rig;
        rig.path.SpBtnOpenComClick();
        rig.chunk(QByteArray("\x01\x02\x03", 3));
        rig.path.SpBtnOpenComClick();  // Stop: position back to 0
        QVERIFY(!rig.port.Connected());
        rig.resync.fire();
        QVERIFY2(rig.resync.isActive(), "with the port closed the timer ticks again");
    }

    void chunkThatOverrunsAFrameLosesTheRest() {
        Rig rig;
        rig.path.SpBtnOpenComClick();
        const QByteArray a = bytesOf(rig.frame(375));
        const QByteArray b = bytesOf(rig.frame(380));

        // At position 5, six bytes: four complete the frame, two are lost.
        rig.chunk(a.left(5));
        rig.chunk(a.mid(5) + b.left(2));
        QCOMPARE(rig.path.position(), 0);
        QCOMPARE(rig.effects.journal.size(), 1);
        QVERIFY(rig.effects.journal[0].startsWith(QStringLiteral("T1=37,5")));

        // Two whole frames in one chunk: only the first.
        rig.chunk(b + a);
        QCOMPARE(rig.effects.journal.size(), 2);
        QVERIFY(rig.effects.journal[1].startsWith(QStringLiteral("T1=38,0")));
        QCOMPARE(rig.path.position(), 0);

        // Twelve bytes: one frame, the last three dropped, so the stream
        // runs out of step until a pause: the next nine bytes fail their
        // checksum.
        rig.chunk(a + b.left(3));
        QCOMPARE(rig.effects.journal.size(), 3);
        rig.chunk(b.mid(3) + a.left(3));
        QCOMPARE(rig.balloons.shown.size(), 1);
        QCOMPARE(rig.balloons.shown[0].title, QStringLiteral("Ошибка в данных!"));
        QCOMPARE(rig.effects.journal.size(), 3);
    }

    void everyChunkRearmsBothTimersAndClearsTheNoDataFlag() {
        Rig rig;
        rig.path.SpBtnOpenComClick();
        rig.path.noDataFlag = true;
        const int resyncStarts = rig.resync.starts;
        const int watchdogStarts = rig.watchdog.starts;
        rig.chunk("\x01");
        QCOMPARE(rig.resync.starts, resyncStarts + 1);
        QCOMPARE(rig.watchdog.starts, watchdogStarts + 1);
        QVERIFY(rig.resync.isActive() && rig.watchdog.isActive());
        QVERIFY(!rig.path.noDataFlag);
    }

    void watchdog() {
        Rig rig;
        // Off: no balloon, no flag, but the partial frame is dropped.
        rig.path.SpBtnOpenComClick();
        rig.path.SignalOffDataSound = true;
        rig.chunk("\x01\x02");
        rig.watchdog.fire();
        QCOMPARE(rig.path.position(), 0);
        QVERIFY(rig.balloons.shown.isEmpty());
        QVERIFY(!rig.path.noDataFlag);
        QVERIFY(rig.watchdog.isActive());

        // On, port open: the warning, every tick.
        rig.path.SignalOffData = true;
        rig.path.SignalOffDataSound = false;
        rig.watchdog.fire();
        rig.watchdog.fire();
        QCOMPARE(rig.balloons.shown.size(), 2);
        QCOMPARE(rig.balloons.shown[0].title, QStringLiteral("Внимание!"));
        QCOMPARE(rig.balloons.shown[0].text, QStringLiteral("Нет данных от инкубатора."));
        QCOMPARE(rig.balloons.shown[0].seconds, 10);
        QCOMPARE(rig.balloons.shown[0].icon, core::BalloonIcon::Warning);
        QVERIFY(!rig.path.noDataFlag);

        // With the sound switch the flag is set; a closed port is named.
        rig.path.SignalOffDataSound = true;
        rig.path.SpBtnOpenComClick();
        rig.port.setPort(QStringLiteral("COM1"));
        rig.watchdog.fire();
        QCOMPARE(rig.balloons.shown.last().text,
                 QStringLiteral("Нет данных от инкубатора.\rНе открыт ком порт \"COM1\"."));
        QVERIFY(rig.path.noDataFlag);
    }

    void startStopTellsThePortsRealState() {
        Rig rig;
        QSignalSpy captions(&rig.path, &ReceivePath::captionsChanged);
        rig.path.SpBtnOpenComClick();
        QVERIFY(rig.port.Connected());
        QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Стоп"));
        QCOMPARE(captions.last().at(1).toString(), QStringLiteral("Стоп    "));
        rig.path.SpBtnOpenComClick();
        QVERIFY(!rig.port.Connected());
        QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Старт"));
        QCOMPARE(captions.last().at(1).toString(), QStringLiteral("Старт  "));
        QVERIFY(rig.balloons.shown.isEmpty());
    }

    void portHeldElsewhereGivesTheBalloonAndStart() {
        Rig rig;
        TSerialPort holder;
        holder.setPort(rig.pty.slavePath());
        holder.OpenPort();
        QSignalSpy captions(&rig.path, &ReceivePath::captionsChanged);
        rig.path.SpBtnOpenComClick();
        QVERIFY(!rig.port.Connected());
        QCOMPARE(rig.balloons.shown.size(), 1);
        QCOMPARE(rig.balloons.shown[0].title, QStringLiteral("Внимание!"));
        QCOMPARE(rig.balloons.shown[0].text,
                 QStringLiteral("Не могу открыть порт: ") + rig.pty.slavePath());
        QCOMPARE(rig.balloons.shown[0].seconds, 50);
        QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Старт"));
        QCOMPARE(captions.last().at(1).toString(), QStringLiteral("Старт  "));
    }

    void lostDeviceIsToldOnceAndStartWorksWhenItIsBack() {
        QTemporaryDir tmp;
        const QString link = tmp.path() + QStringLiteral("/ttyINC");
        Rig rig;
        QVERIFY(QFile::link(rig.pty.slavePath(), link));
        rig.port.setPort(link);
        QSignalSpy captions(&rig.path, &ReceivePath::captionsChanged);
        rig.path.SpBtnOpenComClick();
        rig.chunk(bytesOf(rig.frame(375)).left(3));

        rig.pty.hangUp();
        QTRY_VERIFY(!rig.port.Connected());
        QTest::qWait(300);
        QCOMPARE(rig.balloons.shown.size(), 1);
        QCOMPARE(rig.balloons.shown[0].text, QStringLiteral("Потеряна связь с портом: ") + link);
        QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Старт"));
        QCOMPARE(rig.path.position(), 0);

        test::Pty back;
        QVERIFY(QFile::remove(link));
        QVERIFY(QFile::link(back.slavePath(), link));
        rig.path.SpBtnOpenComClick();
        QVERIFY(rig.port.Connected());
        const int before = rig.chunks;
        back.send(bytesOf(rig.frame(375)));
        QTRY_VERIFY(rig.chunks > before && rig.effects.journal.size() == 1);
    }
};

IM_TEST_MAIN(TestReceivePath)
#include "tst_receivepath.moc"
