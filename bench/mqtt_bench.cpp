// Publishing to a real broker on loopback: what one recorded line costs the
// interface thread, and how long a frame takes from the serial line to a
// subscriber. Prints one figure a line as "name value unit".
//
//     build/bench/bench_mqtt [--frames N]   (default 400 frames, 25 a second)

#include "Figures.h"
#include "common/PseudoTerminal.h"
#include "journal/DailyLog.h"
#include "link/FrameDecoder.h"
#include "link/ReceivePath.h"
#include "link/TSerialPort.h"
#include "remote/MqttPublisher.h"
#include "remote/Telemetry.h"
#include "remote/TelemetryFeed.h"
#include "support/Broker.h"
#include "support/Fakes.h"
#include "support/Frames.h"
#include "support/ReceiveStack.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace im;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

remote::MqttSettings local(int port) {
    remote::MqttSettings s;
    s.enabled = true;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.name = QStringLiteral("bench");
    return s;
}

double stateT1(const test::Subscriber& subscriber) {
    const auto last = subscriber.last("incubator/bench/state");
    return last ? QJsonDocument::fromJson(last->payload)["t1"].toDouble() : -1;
}

// Microseconds per line the interface thread spends recording and handing
// a state to the publisher, the median of five runs of 20000 lines.
void perLineCost(test::Broker& broker, test::Subscriber& subscriber) {
    remote::Telemetry telemetry;
    remote::MqttPublisher publisher(telemetry, QStringLiteral("bench"));
    bool connected = false;
    QObject::connect(&publisher, &remote::MqttPublisher::statusChanged,
                     [&](const QString&, bool trouble) { connected = !trouble; });
    publisher.apply(local(broker.port()));
    bench::require(QTest::qWaitFor([&] { return connected; }, 5000),
                   QStringLiteral("no connection to the broker"));
    // Local times, as the program's clock gives them, made before the clock
    // runs.
    constexpr int kLines = 20000;
    std::vector<QDateTime> times;
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < kLines; ++i) {
        times.push_back(start.addSecs(i));
    }
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kLines; ++i) {
            telemetry.recordLine({0x02, 300 + i % 100, 374, 362, 55}, times[std::size_t(i)]);
        }
        runs.push_back(double(clock.nsecsElapsed()) / 1000.0 / kLines);
        QTest::qWait(50);
    }
    // The newest state reaches the broker: the lines were published, not
    // dropped on the way.
    const double newest = (300 + (kLines - 1) % 100) / 10.0;
    bench::require(QTest::qWaitFor([&] { return stateT1(subscriber) == newest; }, 5000),
                   QStringLiteral("the newest state never reached the subscriber"));
    std::printf("mqtt_line_cost_median %.2f us per line (5 runs of %d lines)\n", median(runs),
                kLines);
    std::printf("mqtt_line_cost_worst_run %.2f us per line\n",
                *std::max_element(runs.begin(), runs.end()));
}

// From a frame written to the serial line to its state at a subscriber:
// the receive path, the decoder, the publisher, the broker.
void frameToSubscriber(test::Broker& broker, test::Subscriber& subscriber, int frames) {
    test::ReceiveStack line;
    tools::PseudoTerminal& pty = line.pty;
    link::TSerialPort& port = line.port;
    link::ReceivePath& receive = line.receive;
    remote::Telemetry telemetry;
    remote::TelemetryFeed feed(telemetry, line.decoder, receive,
                               [] { return remote::AlarmState{}; });
    remote::MqttPublisher publisher(telemetry, QStringLiteral("bench"));
    publisher.apply(local(broker.port()));
    receive.SpBtnOpenComClick();
    bench::require(port.Connected(), QStringLiteral("the pseudo-terminal did not open"));
    QTest::qWait(700);  // connected, past the purge after the open

    std::vector<double> latencies;
    for (int i = 0; i < frames; ++i) {
        const int tenths = 300 + i % 200;
        const qint64 sent = subscriber.nowMs();
        pty.send(test::bytesOf(test::makeFrame(0x02, test::rawForTenths(tenths), 592, 362, 55)));
        const bool arrived =
            QTest::qWaitFor([&] { return stateT1(subscriber) == tenths / 10.0; }, 2000);
        bench::require(arrived, QStringLiteral("frame %1 never reached the subscriber").arg(i));
        latencies.push_back(double(subscriber.last("incubator/bench/state")->receivedMs - sent));
        QTest::qWait(std::max<int>(0, 40 - int(subscriber.nowMs() - sent)));
    }
    bench::require(
        line.effects.lines == frames,
        QStringLiteral("%1 lines recorded of %2 frames").arg(line.effects.lines).arg(frames));
    std::printf("mqtt_frame_to_subscriber_p50 %.1f ms (%d frames, 1 ms resolution)\n",
                percentile(latencies, 0.5), frames);
    std::printf("mqtt_frame_to_subscriber_p99 %.1f ms\n", percentile(latencies, 0.99));
    std::printf("mqtt_frame_to_subscriber_max %.1f ms\n",
                *std::max_element(latencies.begin(), latencies.end()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::printWithFullStop();
    const qsizetype at = app.arguments().indexOf(QStringLiteral("--frames"));
    const int frames = at > 0 ? app.arguments().value(at + 1).toInt() : 400;
    bench::printMachineLoad("before");
    test::Broker broker;
    bench::require(broker.start(), QStringLiteral("the broker did not start: ") + broker.log());
    test::Subscriber subscriber(broker.port());
    bench::require(subscriber.connectAndSubscribe(QStringLiteral("incubator/bench/state")),
                   subscriber.error());
    perLineCost(broker, subscriber);
    frameToSubscriber(broker, subscriber, std::max(frames, 10));
    return 0;
}
