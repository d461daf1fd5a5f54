#include "alarms/AlarmSignalling.h"
#include "app/RemotePublishing.h"
#include "common/PseudoTerminal.h"
#include "journal/DailyLog.h"
#include "journal/JournalView.h"
#include "link/FrameDecoder.h"
#include "link/ReceivePath.h"
#include "link/TSerialPort.h"
#include "remote/Discovery.h"
#include "remote/MqttLink.h"
#include "remote/MqttPublisher.h"
#include "remote/Telemetry.h"
#include "settings/SettingsFile.h"
#include "support/Broker.h"
#include "support/FakeDialogs.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"
#include "support/Frames.h"
#include "support/ReceiveStack.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

using namespace im;
using remote::MqttSettings;
using test::Broker;
using test::Subscriber;

namespace {

MqttSettings local(int port, const QString& name = QStringLiteral("barn 1")) {
    MqttSettings s;
    s.enabled = true;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.name = name;
    return s;
}

QJsonObject json(const QByteArray& payload) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        qWarning("not a JSON object: %s", payload.constData());
    }
    return doc.object();
}

// What a publisher tells the operator, in order.
struct Told {
    QStringList texts;
    QList<bool> troubles;
    explicit Told(remote::MqttPublisher& publisher) {
        QObject::connect(&publisher, &remote::MqttPublisher::statusChanged, &publisher,
                         [this](const QString& text, bool trouble) {
                             texts << text;
                             troubles << trouble;
                         });
    }
    bool waitForCount(int n, int ms = 5000) {
        return QTest::qWaitFor([&] { return texts.size() >= n; }, ms);
    }
};

// The longest pause of the event loop while `work` runs it for `ms`.
template <typename Work>
qint64 longestPause(int ms, Work work) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
        work();
    });
    tick.start(10);
    QTest::qWait(ms);
    return longest;
}

// A listening socket on loopback that takes connections into its backlog
// and never answers. With `full`, its backlog is filled first, so that the
// kernel drops the next connection's packets, as a firewall would.
struct SilentHost {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::vector<int> fillers;
    int port = 0;
    explicit SilentHost(bool full) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), size);
        ::listen(fd, 0);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
        port = ntohs(a.sin_port);
        for (int i = 0; full && i < 4; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(c, reinterpret_cast<sockaddr*>(&a), size);
            fillers.push_back(c);
        }
        QTest::qWait(50);
    }
    ~SilentHost() {
        for (int c : fillers) {
            ::close(c);
        }
        ::close(fd);
    }
};

struct RecordingOutputs final : alarms::AlarmOutputs {
    void setPanelRed(alarms::Channel, bool) override {}
    void flashTaskbar() override {}
};

}  // namespace

class TestMqtt : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { remote::MqttLink::setAnswerTimeoutMs(800); }

    // The state and alarm messages: every value where it belongs, numbers
    // with a full stop in a locale with a decimal comma, the time with its
    // offset, each output's flag from its own bit.
    void messages_data() {
        QTest::addColumn<int>("outputs");
        QTest::addColumn<int>("t1");
        QTest::addColumn<int>("t3");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("outputsText");
        QTest::newRow("heater, turning") << 0x12 << 378 << 362 << 3 * 3600 << "_2__5___";
        QTest::newRow("cold, all off") << 0x00 << -5 << 0 << -5 * 3600 << "________";
        QTest::newRow("all on, hot") << 0xFF << 1005 << 999 << 0 << "12345678";
    }
    void messages() {
        QFETCH(int, outputs);
        QFETCH(int, t1);
        QFETCH(int, t3);
        QFETCH(int, offset);
        QFETCH(QString, outputsText);
        const QDateTime at(QDate(2026, 12, 8), QTime(14, 3, 27), Qt::OffsetFromUTC, offset);
        link::DecodedFrame v{std::uint8_t(outputs), t1, 374, t3, 56};
        const QByteArray payload = remote::stateJson({at, v});
        QVERIFY2(
            !QString::fromUtf8(payload).contains(QRegularExpression(QStringLiteral("\\d,\\d"))),
            payload);  // no decimal comma
        const QJsonObject s = json(payload);
        QCOMPARE(QDateTime::fromString(s["time"].toString(), Qt::ISODate), at);
        const QDateTime local(at.date(), at.time());  // as the program's clock gives it
        QCOMPARE(QDateTime::fromString(json(remote::stateJson({local, v}))["time"].toString(),
                                       Qt::ISODate),
                 local);
        QCOMPARE(s["time"].toString().endsWith(offset == 0 ? QStringLiteral("Z")
                                                           : at.timeZoneAbbreviation().mid(3)),
                 true);
        QCOMPARE(s["t1"].toDouble(), t1 / 10.0);
        QCOMPARE(s["t2"].toDouble(), 37.4);
        QCOMPARE(s["t3"].toDouble(), t3 / 10.0);
        QCOMPARE(s["hm"].toInt(), 56);
        QCOMPARE(s["outputs"].toString(), outputsText);
        for (int bit = 0; bit < 8; ++bit) {
            QCOMPARE(s[QLatin1String(remote::kOutputNames[bit])].toBool(),
                     outputsText[bit] != QLatin1Char('_'));
        }
        const QJsonObject a = json(remote::alarmJson({true, false, outputs != 0, true}));
        QCOMPARE(a.size(), 4);
        QCOMPARE(a["t1"].toBool(), true);
        QCOMPARE(a["t2"].toBool(), false);
        QCOMPARE(a["hm"].toBool(), outputs != 0);
        QCOMPARE(a["no_data"].toBool(), true);
    }

    // Bad values leave publishing off with a message naming the key; the
    // defaults fill the name and the topic.
    void settingsRules_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("named");
        QTest::newRow("sound") << QByteArray("Host=broker.lan\nName=barn\n") << "";
        QTest::newRow("port 0") << QByteArray("Host=h\nPort=0\n") << "(Port)";
        QTest::newRow("port 70000") << QByteArray("Host=h\nPort=70000\n") << "(Port)";
        QTest::newRow("port no number") << QByteArray("Host=h\nPort=18x\n") << "(Port)";
        QTest::newRow("empty host") << QByteArray("Host=  \n") << "(Host)";
        QTest::newRow("topic +") << QByteArray("Host=h\nTopic=farm/+/x\n") << "(Topic)";
        QTest::newRow("name #") << QByteArray("Host=h\nName=a#b\n") << "(Topic)";
        QTest::newRow("prefix #") << QByteArray("Host=h\nDiscoveryPrefix=#\n")
                                  << "(DiscoveryPrefix)";
        QTest::newRow("prefix unused")
            << QByteArray("Host=h\nDiscovery=0\nDiscoveryPrefix=#\n") << "";
        QTest::newRow("missing authority")
            << QByteArray("Host=h\nTls=1\nCaFile=/nonexistent/ca.crt\n") << "(CaFile)";
    }
    void settingsRules() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.ini"));
        test::writeFile(path, "[Mqtt]\nEnabled=1\n" + ini);
        const MqttSettings s = MqttSettings::read(settings::SettingsFile(path));
        QCOMPARE(s.problem().isEmpty(), named.isEmpty());
        QVERIFY2(s.problem().contains(named), qPrintable(s.problem()));
        if (named.isEmpty()) {
            QCOMPARE(s.baseTopic(), QStringLiteral("incubator/") + s.deviceName());
            QCOMPARE(s.port, 1883);
        }
        remote::Telemetry telemetry;
        remote::MqttPublisher publisher(telemetry, {});
        Told told(publisher);
        QCOMPARE(publisher.apply(s), s.problem());
        QCOMPARE(publisher.active(), named.isEmpty());
        QCOMPARE(told.texts, named.isEmpty() ? QStringList() : QStringList{s.problem()});
        // A NUL cannot come from the file, but can from the dialog.
        MqttSettings nul = s;
        nul.topic = QStringLiteral("farm/a") + QChar(0);
        QVERIFY(nul.problem().contains(QStringLiteral("(Topic)")) || !named.isEmpty());
    }

    // A settings file that holds the password is its owner's alone, from
    // the first moment; without one, the file keeps the usual mode.
    void passwordFileIsPrivate() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("m.ini"));
        settings::SettingsFile file(path);
        MqttSettings s = local(1883);
        s.write(file);
        QVERIFY(QFileInfo(path).permissions() & QFileDevice::ReadOther);
        s.password = QStringLiteral("s3cret");
        s.write(file);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QCOMPARE(MqttSettings::read(file), s);
    }

    // Every retained topic, read by a client that comes later: the program
    // online, the newest line, the alarm flags, data arriving and one
    // discovery configuration per value, flag and output, all of one
    // device. Switching discovery off empties the configurations.
    void retainedTopicsAndDiscovery() {
        Broker broker;
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        remote::Telemetry telemetry;
        remote::MqttPublisher publisher(telemetry, QStringLiteral("7.7"));
        Told told(publisher);
        const QDateTime at(QDate(2026, 12, 8), QTime(9, 0), Qt::OffsetFromUTC, 7200);
        telemetry.recordLine({0x02, 371, 370, 362, 55}, at);
        telemetry.setAlarms({false, true, false, false});
        telemetry.setReceiving(true);
        MqttSettings s = local(broker.port());
        Subscriber first(broker.port());
        QVERIFY(first.connectAndSubscribe(QStringLiteral("#")));
        QCOMPARE(publisher.apply(s), QString());
        QVERIFY(told.waitForCount(1));
        QCOMPARE(told.troubles, QList<bool>{false});
        telemetry.recordLine({0x06, 372, 370, 362, 56}, at.addSecs(1));
        const QByteArray base = "incubator/barn 1/";
        // Everything is with the broker once the newest state, published
        // last, has come through.
        QVERIFY(first.waitFor(
            base + "state", [](const QByteArray& p) { return json(p)["t1"].toDouble() == 37.2; }));

        Subscriber later(broker.port());
        QVERIFY2(later.connectAndSubscribe(QStringLiteral("#")), qPrintable(later.error()));
        QVERIFY(later.waitFor(
            base + "state", [](const QByteArray& p) { return json(p)["t1"].toDouble() == 37.2; }));
        QCOMPARE(later.last(base + "availability")->payload, QByteArray("online"));
        QCOMPARE(json(later.last(base + "alarm")->payload)["t2"].toBool(), true);
        QCOMPARE(later.last(base + "receiving")->payload, QByteArray("ON"));
        auto configs = [&later] {
            const auto all = later.messages();
            return std::count_if(all.begin(), all.end(), [](const Subscriber::Message& m) {
                return m.topic.startsWith("homeassistant/");
            });
        };
        QTRY_COMPARE(configs(), 17);
        std::set<QString> ids;
        int temperatures = 0;
        int problems = 0;
        int outputs = 0;
        for (const Subscriber::Message& m : later.messages()) {
            QVERIFY(m.retained);
            if (!m.topic.startsWith("homeassistant/")) {
                continue;
            }
            QVERIFY2(m.topic.contains("/incubator_barn_1/") && m.topic.endsWith("/config"),
                     m.topic);
            const QJsonObject c = json(m.payload);
            ids.insert(c["unique_id"].toString());
            QCOMPARE(c["availability_topic"].toString(), QString::fromUtf8(base + "availability"));
            const QJsonObject device = c["device"].toObject();
            QCOMPARE(device["identifiers"].toArray().first().toString(),
                     QStringLiteral("incubator_barn_1"));
            QCOMPARE(device["name"].toString(), QStringLiteral("barn 1"));
            QCOMPARE(device["sw_version"].toString(), QStringLiteral("7.7"));
            QVERIFY(!device["model"].toString().isEmpty());
            const QString kind = c["device_class"].toString();
            temperatures += kind == QStringLiteral("temperature") &&
                            c["unit_of_measurement"].toString() == QStringLiteral("°C") &&
                            c["state_class"].toString() == QStringLiteral("measurement");
            problems += kind == QStringLiteral("problem") &&
                        c["state_topic"].toString() == QString::fromUtf8(base + "alarm");
            outputs += m.topic.startsWith("homeassistant/binary_sensor/") && kind.isEmpty() &&
                       c["state_topic"].toString() == QString::fromUtf8(base + "state");
            if (kind == QStringLiteral("humidity")) {
                QCOMPARE(c["unit_of_measurement"].toString(), QStringLiteral("%"));
            }
            if (kind == QStringLiteral("connectivity")) {
                QCOMPARE(c["state_topic"].toString(), QString::fromUtf8(base + "receiving"));
            }
        }
        QCOMPARE(ids.size(), std::size_t(17));
        QCOMPARE(temperatures, 3);
        QCOMPARE(problems, 4);
        QCOMPARE(outputs, 8);

        later.clear();
        s.discovery = false;
        QCOMPARE(publisher.apply(s), QString());
        QVERIFY(QTest::qWaitFor(
            [&] {
                int emptied = 0;
                for (const Subscriber::Message& m : later.messages()) {
                    emptied += m.topic.startsWith("homeassistant/") && m.payload.isEmpty();
                }
                return emptied == 17;
            },
            5000));
        Subscriber last(broker.port());
        QVERIFY(last.connectAndSubscribe(QStringLiteral("homeassistant/#")));
        QTest::qWait(300);
        QCOMPARE(last.messages().size(), std::size_t(0));
    }

    // The monitor's path: a frame beyond the band on the serial line and
    // the operator's reset each reach a subscriber within a second.
    void alarmWithinASecondOfFrameAndReset() {
        Broker broker;
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        Subscriber phone(broker.port());
        QVERIFY(phone.connectAndSubscribe(QStringLiteral("incubator/#")));

        test::ReceiveStack line;
        // Plain references: a lambda may capture them, where clang will not
        // take a structured binding.
        tools::PseudoTerminal& pty = line.pty;
        link::TSerialPort& port = line.port;
        link::FrameDecoder& decoder = line.decoder;
        link::ReceivePath& receive = line.receive;
        test::RecordingBalloons& balloons = line.balloons;
        test::FakeTimer blink, soundTimer;
        RecordingOutputs outputs;
        test::RecordingSound sound;
        bool noData = false;
        alarms::AlarmSignalling signalling({decoder.alarmFlags, receive.noDataFlag, noData},
                                           outputs, balloons, sound, blink, soundTimer);
        QMainWindow window;
        test::FakeDialogs dialogs;
        journal::JournalStore store;
        journal::JournalView view(store);
        app::RemotePublishing remote(decoder, receive, signalling, view, window, balloons, dialogs);
        QCOMPARE(remote.publisher().apply(local(broker.port(), QStringLiteral("hall"))), QString());
        receive.SpBtnOpenComClick();
        QVERIFY(port.Connected());
        const QByteArray alarm = "incubator/hall/alarm";
        QVERIFY(phone.waitFor(alarm));

        auto latency = [&](const QByteArray& frame, auto action, bool t1) -> qint64 {
            phone.clear();
            const qint64 sent = phone.nowMs();
            if (!frame.isEmpty()) {
                pty.send(frame);
            }
            action();
            const auto m = phone.waitFor(
                alarm, [t1](const QByteArray& p) { return json(p)["t1"].toBool() == t1; });
            return m ? m->receivedMs - sent : -1;
        };
        pty.send(test::bytesOf(test::makeFrame(0x02, test::rawForTenths(375), 592, 362, 55)));
        QVERIFY(phone.waitFor("incubator/hall/state"));
        const qint64 latched = latency(
            test::bytesOf(test::makeFrame(0x02, test::rawForTenths(395), 592, 362, 55)), [] {},
            true);
        QVERIFY2(latched >= 0 && latched < 1000, qPrintable(QString::number(latched)));
        QCOMPARE(line.effects.lines, 2);
        const qint64 reset = latency(
            {}, [&] { signalling.N21Click(); }, false);
        QVERIFY2(reset >= 0 && reset < 1000, qPrintable(QString::number(reset)));
        // A channel switched off is not signalled, so not published either.
        pty.send(test::bytesOf(test::makeFrame(0x02, test::rawForTenths(395), 592, 362, 55)));
        QVERIFY(phone.waitFor(alarm, [](const QByteArray& p) { return json(p)["t1"].toBool(); }));
        phone.clear();
        signalling.setEnabled(alarms::Channel::T1, false);
        QVERIFY(phone.waitFor(alarm, [](const QByteArray& p) { return !json(p)["t1"].toBool(); }));
        port.ClosePort();
    }

    // Each fault is told once, however often the retries meet it, with
    // the broker's address and never the password; a sound TLS setting
    // connects.
    void faultsToldOnce_data() {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<QString>("told");
        QTest::newRow("wrong password") << 0 << "брокер не принял имя пользователя или пароль";
        QTest::newRow("certificate for another name") << 1 << "сертификат брокера не подтверждён";
        QTest::newRow("unknown authority") << 2 << "сертификат брокера не подтверждён";
        QTest::newRow("name does not resolve") << 3 << "адрес не найден";
        QTest::newRow("nobody listening") << 4 << "брокер недоступен";
        QTest::newRow("tls sound") << 5 << "установлено";
    }
    void faultsToldOnce() {
        QFETCH(int, scenario);
        QFETCH(QString, told);
        Broker::Options options;
        options.tls = scenario == 1 || scenario == 2 || scenario == 5;
        options.cert = scenario == 1 ? Broker::ServerCert::OtherName : Broker::ServerCert::Matching;
        options.user = scenario == 0 ? QStringLiteral("farmer") : QString();
        options.password = QStringLiteral("right-one");
        Broker broker(options);
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        MqttSettings s = local(broker.port());
        s.user = QStringLiteral("farmer");
        s.password = scenario == 0 ? QStringLiteral("wrong-one") : QStringLiteral("right-one");
        s.tls = options.tls;
        s.caFile = scenario == 2 ? broker.otherCaFile() : broker.caFile();
        s.host = scenario == 3 ? QStringLiteral("no-such-host.invalid") : s.host;
        s.port = scenario == 4 ? SilentHost(false).port : s.port;  // closed again: refused

        remote::Telemetry telemetry;
        remote::MqttPublisher publisher(telemetry, {});
        Told toldTexts(publisher);
        QCOMPARE(publisher.apply(s), QString());
        QVERIFY(toldTexts.waitForCount(1));
        QTest::qWait(scenario == 5 ? 300 : 3500);  // retries after 1 s and 2 s more
        QCOMPARE(toldTexts.texts.size(), 1);
        QVERIFY2(toldTexts.texts[0].contains(told), qPrintable(toldTexts.texts[0]));
        QVERIFY(toldTexts.texts[0].contains(s.host + QLatin1Char(':') + QString::number(s.port)));
        QVERIFY(!toldTexts.texts[0].contains(QStringLiteral("-one")));
        QCOMPARE(toldTexts.troubles[0], scenario != 5);
    }

    // The broker goes away and comes back: lost and regained are told, the
    // retained topics are published again, and the states keep their order.
    void reconnectsAfterBrokerRestart() {
        Broker broker;
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        Subscriber farm(broker.port());
        QVERIFY(farm.connectAndSubscribe(QStringLiteral("incubator/#")));
        remote::Telemetry telemetry;
        remote::MqttPublisher publisher(telemetry, {});
        Told told(publisher);
        QVERIFY(publisher.apply(local(broker.port())).isEmpty());
        QDateTime at(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
        QTimer lines;
        QObject::connect(&lines, &QTimer::timeout, [&] {
            at = at.addSecs(1);
            telemetry.recordLine({0x02, 375, 374, 362, 55}, at);
        });
        lines.start(50);
        QVERIFY(told.waitForCount(1));
        QTest::qWait(300);
        broker.stop();
        QVERIFY(told.waitForCount(2));
        QTest::qWait(1500);
        QVERIFY2(broker.start(), qPrintable(broker.log()));
        QVERIFY(QTest::qWaitFor([&] { return !told.troubles.isEmpty() && !told.troubles.last(); },
                                10000));
        const qsizetype before = farm.messages().size();
        QVERIFY(farm.waitFor("incubator/barn 1/availability",
                             [](const QByteArray& p) { return p == "online"; }));
        QTest::qWait(500);
        lines.stop();
        QCOMPARE(told.troubles.first(), false);
        QVERIFY(told.texts[1].contains(QStringLiteral("соединение потеряно")));
        QCOMPARE(told.troubles.count(false), 2);
        QVERIFY(told.texts.size() <= 4);  // lost, perhaps refused, regained
        QDateTime previous;
        int after = 0;
        const std::vector<Subscriber::Message> all = farm.messages();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].topic != "incubator/barn 1/state") {
                continue;
            }
            const QDateTime t =
                QDateTime::fromString(json(all[i].payload)["time"].toString(), Qt::ISODate);
            QVERIFY2(!previous.isValid() || t >= previous, all[i].payload);
            previous = t;
            after += qsizetype(i) >= before;
        }
        QVERIFY(after >= 3);
        QVERIFY(farm.last("incubator/barn 1/alarm"));
    }

    // The interface thread never waits for the network: a broker that
    // takes the connection and never answers, a host whose backlog drops
    // every packet. Lines go on being published meanwhile; the end does
    // not wait either.
    void interfaceNeverWaits_data() {
        QTest::addColumn<bool>("dropping");
        QTest::newRow("silent broker") << false;
        QTest::newRow("dropping host") << true;
    }
    void interfaceNeverWaits() {
        QFETCH(bool, dropping);
        SilentHost host(dropping);
        QElapsedTimer ending;
        {
            remote::Telemetry telemetry;
            auto publisher = std::make_unique<remote::MqttPublisher>(telemetry, QString());
            Told told(*publisher);
            QDateTime at = QDateTime::currentDateTime();
            const qint64 pause = longestPause(2500, [&] {
                at = at.addSecs(1);
                telemetry.recordLine({0x02, 375, 374, 362, 55}, at);
                if (!publisher->active()) {
                    publisher->apply(local(host.port));
                }
            });
            QVERIFY2(pause < 150, qPrintable(QString::number(pause)));
            QVERIFY(!told.texts.isEmpty());
            QVERIFY2(told.texts[0].contains(QStringLiteral("брокер не отвечает")),
                     qPrintable(told.texts[0]));
            ending.start();
        }
        QVERIFY2(ending.elapsed() < 300, qPrintable(QString::number(ending.elapsed())));
    }
};

IM_TEST_MAIN(TestMqtt)
#include "tst_mqtt.moc"
