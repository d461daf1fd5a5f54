#include "alarms/AlarmBands.h"
#include "alarms/AlarmSignalling.h"
#include "alarms/AlarmSound.h"
#include "core/AppLocation.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace im;
using alarms::Channel;

namespace {

// The panels as letters, "H21" when all are red, and the flashes counted.
struct RecordingOutputs final : alarms::AlarmOutputs {
    void setPanelRed(Channel c, bool on) override { red[std::size_t(c)] = on; }
    void flashTaskbar() override { ++flashes; }
    QString panels() const {
        return QString(red[0] ? 'H' : '-') + (red[1] ? '2' : '-') + (red[2] ? '1' : '-');
    }
    std::array<bool, 3> red{};
    int flashes = 0;
};

struct Signalling {
    link::AlarmFlags flags;
    bool noData = false;
    bool noDataSound = false;
    RecordingOutputs outputs;
    test::RecordingBalloons balloons;
    test::RecordingSound sound;
    test::FakeTimer blink, soundTimer;
    alarms::AlarmSignalling alarm{
        {flags, noData, noDataSound}, outputs, balloons, sound, blink, soundTimer};

    // "12HN" style: the channels whose flag (or enable) is set, N the
    // no-data flag (or its sound switch).
    void set(const QString& latched, const QString& enabled) {
        flags = {latched.contains('1'), latched.contains('2'), latched.contains('H')};
        noData = latched.contains('N');
        noDataSound = enabled.contains('N');
        alarm.alarmSound = QStringLiteral("alarm.wav");
        alarm.setEnabled(Channel::T1, enabled.contains('1'));
        alarm.setEnabled(Channel::T2, enabled.contains('2'));
        alarm.setEnabled(Channel::Humidity, enabled.contains('H'));
    }
    QString titles() {
        QStringList t;
        for (const test::Balloon& b : balloons.shown) {
            const bool usual = b.text == QStringLiteral("За пределами допустимых значений!") &&
                               b.icon == core::BalloonIcon::Warning && b.seconds == 10;
            t << (usual ? "" : "unusual ") + (b.title == QStringLiteral("Влажность")
                                                  ? QStringLiteral("HM")
                                                  : b.title.right(2));
        }
        balloons.shown.clear();
        return t.join(' ');
    }
};

}  // namespace

class TestAlarms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Typing: a full stop becomes the comma, only digits, backspace (<) and
    // the comma get into a temperature box (T), and nothing after its one
    // decimal unless it replaces a selection (S); humidity (H) takes digits
    // and backspace. Each case: box, text, typed, what gets in ('_' nothing).
    void keyFilters() {
        for (const char* c :
             {"T|.,", "T3|,,", "T39|55", "T39|-_", "T39|a_", "T39,5|1_", "S39,5|11", "T39,5|<<",
              "T39,|55", "T,5|,_", "H5|00", "H5|._", "H5|-_", "H5|<<"}) {
            const QStringList f = QString(c).replace('<', QChar(8)).split('|');
            const QChar typed = f[1][0];
            const std::optional<QChar> in =
                c[0] == 'H' ? alarms::humidityKey(typed)
                            : alarms::temperatureKey(typed, f[0].mid(1), c[0] == 'S');
            QCOMPARE(in.value_or('_'), f[1][1]);
        }
    }

    // Leaving a box completes its number and sets its threshold, or refuses
    // one out of range with a message naming the box; a temperature that is
    // not digits, comma and one digit is an error and keeps its text, and a
    // humidity that is no integer sets nothing. Each case: box (0 to 5),
    // text, completed text, message or error, threshold ('-' none).
    void exitValidation() {
        for (const char* c :
             {"0|0,0||0", "1,|0,0||0", "2,5|0,5||5", "35|5,0||50", "050,0|50,0||500",
              "050,1|50,1|Т1 Тревога, Выше\nНе в диапазоне (0..50.0)  \"50,1\"|-",
              "3120|120,0|Т2 Тревога, Ниже\nНе в диапазоне (0..50.0)  \"120,0\"|-",
              "139,|39,|'3,' is not a valid integer value|-",
              "23,5,5|3,5,5|'3,55' is not a valid integer value|-", "499|99||99",
              "5100|100|Влажность, Ниже\nНе в диапазоне (0..99)  \"100\"|-", "4|||-"}) {
            const QStringList f = QString::fromUtf8(c).mid(1).split('|');
            const alarms::BoxExit e = alarms::boxExit(std::size_t(c[0] - '0'), f[0]);
            QCOMPARE(e.text, f[1]);
            QCOMPARE(e.rangeMessage + e.conversionError, f[2]);
            QCOMPARE(e.threshold ? QString::number(*e.threshold) : "-", f[3]);
        }
    }

    // All six thresholds are recomputed in order; the first text that does
    // not convert stops it there.
    void thresholdsFromTexts() {
        const struct {
            alarms::BandTexts texts;
            link::AlarmThresholds expected;
        } cases[] = {
            {{"38,5", "00,5", "40,0", "30,0", "80", "20"}, {385, 5, 400, 300, 80, 20}},
            {{"37,3", "35", "-0,55", "1,99", "0x10", "$A"}, {373, 350, -6, 19, 16, 10}},
            {{"38,5", "", "40,0", "30,0", "80", "20"}, {385, 2, 3, 4, 5, 6}},
            {{"", "30,0", "40,0", "30,0", "80", "20"}, {1, 2, 3, 4, 5, 6}},
            {{"38,5", "30,0", "40,0", "30,0", "8 0", "20"}, {385, 300, 400, 300, 5, 6}},
        };
        for (const auto& c : cases) {
            link::AlarmThresholds t{1, 2, 3, 4, 5, 6};
            alarms::recomputeThresholds(c.texts, t);
            QCOMPARE((std::array{t.T1_HI, t.T1_LOW, t.T2_HI, t.T2_LOW, t.T3_HI, t.T3_LOW}),
                     (std::array{c.expected.T1_HI, c.expected.T1_LOW, c.expected.T2_HI,
                                 c.expected.T2_LOW, c.expected.T3_HI, c.expected.T3_LOW}));
        }
    }

    // Each blink tick serves humidity, T2, T1: an enabled, latched channel
    // shows its balloon and its panel changes between red and normal; the
    // taskbar flashes when a panel turns red and no higher channel is
    // latched (enabled or not). Each sound tick plays while an enabled
    // channel is latched, or the no-data flag (N) with its switch.
    void ticks() {
        const struct {
            const char *latched, *enabled, *balloons, *panels;  // panels after one tick
            int flashes;
            bool plays;
        } cases[] = {
            {"", "12HN", "", "---", 0, false},          {"1", "12H", "T1", "--1", 1, true},
            {"12H", "12H", "HM T2 T1", "H21", 1, true}, {"2H", "2", "T2", "-2-", 0, true},
            {"12", "12H", "T2 T1", "-21", 1, true},     {"1", "2H", "", "---", 0, false},
            {"N", "12H", "", "---", 0, false},          {"N", "N", "", "---", 0, true},
        };
        for (const auto& c : cases) {
            Signalling s;
            s.set(c.latched, c.enabled);
            s.blink.fire();
            QCOMPARE(s.titles(), QLatin1String(c.balloons));
            QCOMPARE(s.outputs.panels(), QLatin1String(c.panels));
            s.blink.fire();
            QCOMPARE(s.outputs.panels(), QStringLiteral("---"));
            QCOMPARE(s.outputs.flashes, c.flashes);
            QCOMPARE(s.titles(), QLatin1String(c.balloons));
            s.soundTimer.fire();
            QCOMPARE(s.sound.played, c.plays ? QStringList{"alarm.wav"} : QStringList{});
        }
        // A disabled channel latches silently; enabled later, it blinks at
        // the next tick without a new frame.
        Signalling s;
        QCOMPARE(s.blink.interval(), 700);
        s.set("1", "2H");
        s.blink.fire();
        s.alarm.setEnabled(Channel::T1, true);
        s.blink.fire();
        QCOMPARE(s.outputs.panels(), QStringLiteral("--1"));
        // Reset or disabled while red, a panel is normal at the next tick.
        s.alarm.Panel1DblClick(Channel::T1);
        s.blink.fire();
        QCOMPARE(s.outputs.panels(), QStringLiteral("---"));
        s.set("2", "2");
        s.blink.fire();
        s.alarm.setEnabled(Channel::T2, false);
        s.blink.fire();
        QCOMPARE(s.outputs.panels(), QStringLiteral("---"));
        // The sound period is the setting in seconds; 0 stops the timer (-1).
        QCOMPARE(s.soundTimer.interval(), 3000);
        const std::pair<int, int> periods[] = {
            {1, 1000}, {0, -1}, {-5, -1}, {3'000'000, std::numeric_limits<int>::max()}};
        for (const auto& [seconds, ms] : periods) {
            s.alarm.setSoundPeriod(seconds);
            QCOMPARE(s.soundTimer.isActive() ? s.soundTimer.interval() : -1, ms);
        }
    }

    // One channel's reset clears its flag alone; the reset of all clears
    // every flag and the no-data flag.
    // What is latched before, the reset (-1 every alarm), what is left; once
    // no channel is left the alarm's balloon is taken away.
    void resets() {
        const std::tuple<const char*, int, const char*> cases[] = {
            {"12HN", int(Channel::T1), "2HN"},
            {"12HN", int(Channel::T2), "1HN"},
            {"12HN", int(Channel::Humidity), "12N"},
            {"1N", int(Channel::T1), "N, balloon hidden"},
            {"12HN", -1, ", balloon hidden"}};
        for (const auto& [latched, channel, left] : cases) {
            Signalling s;
            s.set(latched, "");
            channel < 0 ? s.alarm.N21Click() : s.alarm.Panel1DblClick(Channel(channel));
            const link::AlarmFlags& f = s.flags;
            QCOMPARE(QString(f.t1 ? "1" : "") + (f.t2 ? "2" : "") + (f.hm ? "H" : "") +
                         (s.noData ? "N" : "") +
                         (s.balloons.alarmHidden > 0 ? ", balloon hidden" : ""),
                     QLatin1String(left));
        }
    }

    // Through the real sound system into a capture file (the sound
    // library's file output): the configured name is a file beside the
    // executable, a path from its folder or an absolute one; a name found
    // nowhere plays the program's own alarm sound.
    void playedSoundReachesTheSoundSystem() {
        QTemporaryDir home;
        const QString capture = home.filePath("captured.raw");
        test::writeFile(home.filePath(".asoundrc"),
                        "pcm.!default { type file; slave.pcm \"null\"; file \"" + capture.toUtf8() +
                            "\"; format \"raw\" }\n");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        QFile own(QStringLiteral(":/sounds/incubator-alarm.wav"));
        QVERIFY(own.open(QIODevice::ReadOnly));
        const QByteArray ownSamples = own.readAll().mid(44);
        QVERIFY(ownSamples.size() > 20000);
        // A sound of the same format and length, with other samples.
        QByteArray samples = ownSamples;
        std::reverse(samples.begin(), samples.end());
        own.seek(0);
        QDir(home.path()).mkdir("sub");
        test::writeFile(home.filePath("sub/mine.wav"), own.read(44) + samples);
        core::AppLocation::setExecutablePathForTesting(home.filePath("sub/incubator-monitor"));
        // Names a hand-edited file may hold: shell syntax is only a name, and
        // a device or a pipe is never opened (it would block or never end).
        const QString shellName = "$(touch pwned);`touch pwned`|sh 'x\" &.wav";
        own.seek(0);
        test::writeFile(home.filePath("sub/") + shellName, own.read(44) + samples);
        QCOMPARE(::mkfifo(home.filePath("sub/pipe.wav").toUtf8().constData(), 0600), 0);

        const std::pair<QString, QByteArray> cases[] = {{"mine.wav", samples},
                                                        {"../sub/mine.wav", samples},
                                                        {home.filePath("sub/mine.wav"), samples},
                                                        {shellName, samples},
                                                        {"/dev/zero", ownSamples},
                                                        {"pipe.wav", ownSamples},
                                                        {"Windows XP - ошибка.wav", ownSamples},
                                                        {"../sub", ownSamples},
                                                        {"", ownSamples}};
        // One player for all, as the program has: the sound library's ALSA
        // output may still be closing the device in a thread of its own
        // when a play has ended, and a player destroyed then crashes it.
        alarms::DesktopSound sound;
        for (const auto& [name, heard] : cases) {
            QFile::remove(capture);
            sound.play(name);
            QTRY_COMPARE_WITH_TIMEOUT(test::readFile(capture).size(), heard.size(), 5000);
            QCOMPARE(test::readFile(capture), heard);
            QTRY_VERIFY_WITH_TIMEOUT(!sound.playing(), 5000);
        }
        QVERIFY(!QFile::exists(home.filePath("sub/pwned")));
        QVERIFY(!QFile::exists("pwned"));
        qputenv("HOME", oldHome);
        core::AppLocation::setExecutablePathForTesting({});
    }
};

IM_TEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
