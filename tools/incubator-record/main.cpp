// incubator-record: the monitor's receive path without a window. It opens a
// device with the monitor's line settings, decodes frames with the monitor's
// own classes, prints every record line that the decimation takes, and with
// --log-dir appends them to the monitor's daily files.

#include "core/Clock.h"
#include "core/GuardedApplication.h"
#include "core/TerminationSignals.h"
#include "core/Timer.h"
#include "journal/DailyLog.h"
#include "journal/FileSummary.h"
#include "journal/RecordLine.h"
#include "link/FrameDecoder.h"
#include "link/ReceivePath.h"
#include "link/StayAwake.h"
#include "link/TSerialPort.h"
#include "remote/MqttPublisher.h"
#include "remote/TelemetryFeed.h"
#include "remote/WebPublisher.h"
#include "settings/SettingsFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <csignal>
#include <cstdio>

using namespace im;

namespace {

// Balloons go to standard error; the same warning repeated while nothing
// changes (the no-data warning every three seconds) is printed once.
class StderrBalloons final : public core::Balloons {
public:
    void ShowBalloon(const QString& title, const QString& text, core::BalloonIcon, int) override {
        QString message = title + QStringLiteral(" ") + text;
        message.replace(QLatin1Char('\r'), QLatin1Char(' '));
        if (message == last_) {
            return;
        }
        last_ = message;
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        std::fflush(stderr);
    }
    void forgetLast() { last_.clear(); }

private:
    QString last_;
};

class PrintingEffects final : public link::FrameEffects {
public:
    explicit PrintingEffects(StderrBalloons& balloons) : balloons_(balloons) {}
    void showPanels(const link::PanelTexts&) override {}
    int appendJournalLine(const QString& line) override {
        const QByteArray bytes = line.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        balloons_.forgetLast();
        return ++count_;
    }
    void setWindowScrollBar(int) override {}
    void PlotChartWindow(int) override {}

private:
    StderrBalloons& balloons_;
    int count_ = 0;
};

int positiveOption(const QCommandLineParser& parser, const QString& name, int fallback) {
    if (!parser.isSet(name)) {
        return fallback;
    }
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0) {
        std::fprintf(stderr, "incubator-record: --%s needs a whole number\n",
                     name.toUtf8().constData());
        std::exit(2);
    }
    return value;
}

void setBaud(link::TSerialPort& port, int bitsPerSecond) {
    const QString text = QString::number(bitsPerSecond);
    if (auto rate = link::enumOf<link::BaudRate>(link::baudRateTexts(), text)) {
        port.setBaudRate(*rate);
    } else {
        port.setBaudRate(link::BaudRate::Custom);
        port.setCustomBaudRate(bitsPerSecond);
    }
}

// --help prints the usage on standard output and ends well; a mistake
// prints the reason and the usage on standard error and ends with 2. The
// usage names the program as it is known, not by the path it was run from,
// so that its manual page does too.
int printUsage(const QCommandLineParser& parser, const QString& mistake) {
    const QString usage = QStringLiteral("Usage: ");
    QString text = parser.helpText();
    text.replace(usage + QCoreApplication::arguments().constFirst() + QLatin1Char(' '),
                 usage + QStringLiteral("incubator-record "));
    if (mistake.isNull()) {
        std::fputs(text.toUtf8().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "incubator-record: %s\n%s", mistake.toUtf8().constData(),
                 text.toUtf8().constData());
    return 2;
}

// The daily files' summary on standard output; what was skipped, and why,
// on standard error. Values are read as the monitor's chart reads them,
// with a comma or a full stop, whichever locale wrote the file.
int printSummary(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        std::fprintf(stderr, "incubator-record: %s is no folder\n", folder.toUtf8().constData());
        return 2;
    }
    QStringList unreadable;
    const std::vector<journal::FileSummary> days =
        journal::summarizeDailyFiles(folder, journal::decimalSeparator().at(0), &unreadable);
    const QByteArray table = journal::summaryTable(days);
    std::fwrite(table.constData(), 1, static_cast<size_t>(table.size()), stdout);
    for (const QString& why : unreadable) {
        std::fprintf(stderr, "incubator-record: %s\n", why.toUtf8().constData());
    }
    qint64 skipped = 0;
    for (const journal::FileSummary& day : days) {
        skipped += day.skipped;
    }
    if (skipped > 0) {
        std::fprintf(stderr, "incubator-record: %lld lines skipped: no T1, T2 and HM numbers\n",
                     static_cast<long long>(skipped));
    }
    return unreadable.isEmpty() ? 0 : 1;
}

// --mqtt HOST[:PORT], a bracketed IPv6 address with or without a port
// ("[::1]:1883"), or a bare one.
bool takeBroker(const QString& text, remote::MqttSettings& mqtt) {
    QString host = text;
    QString port;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return false;
        }
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) {
            return false;
        }
        port = rest.mid(1);
    } else if (text.count(QLatin1Char(':')) == 1) {
        host = text.section(QLatin1Char(':'), 0, 0);
        port = text.section(QLatin1Char(':'), 1);
    }
    mqtt.enabled = true;
    mqtt.host = host;
    if (!port.isNull()) {
        bool ok = false;
        mqtt.port = port.toInt(&ok);
        if (!ok) {
            mqtt.port = 0;  // refused with the settings' own message
        }
    }
    return true;
}

// The alarm bands and switches the monitor keeps in its settings file.
void takeAlarmSettings(const settings::SettingsFile& file, link::AlarmThresholds& t,
                       std::array<bool, 3>& enabled) {
    namespace keys = settings::keys;
    t.T1_HI = file.read(keys::T1_HI);
    t.T1_LOW = file.read(keys::T1_LOW);
    t.T2_HI = file.read(keys::T2_HI);
    t.T2_LOW = file.read(keys::T2_LOW);
    t.T3_HI = file.read(keys::T3_HI);
    t.T3_LOW = file.read(keys::T3_LOW);
    enabled = {file.read(keys::T1_enable), file.read(keys::T2_enable), file.read(keys::HM_enable)};
}

}  // namespace

int main(int argc, char** argv) {
    // An error that a handler lets through (a purge that fails on a device
    // that hung up a moment before) is printed on standard error and ends
    // only that event, never the recording.
    core::Guarded<QCoreApplication> app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Records an egg incubator controller's telemetry without a window: prints\n"
                       "the record lines the monitor would journal and, with --log-dir, appends\n"
                       "them to the monitor's daily files. The line is 4800 bit/s, 8 data bits,\n"
                       "no parity, 2 stop bits; a device that goes away is opened again when it\n"
                       "is back. SIGINT or SIGTERM save what is pending and end."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and end."));
    parser.addOption(help);
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and end."));
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("DEVICE"),
        QStringLiteral("Serial device: COMn, a name under /dev, or a path."));
    parser.addOption({QStringLiteral("baud"), QStringLiteral("Line speed (default 4800)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("every"),
                      QStringLiteral("Take one accepted frame in N (0 and 1: every frame)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("log-dir"),
                      QStringLiteral("Append the lines to daily files yyyy-mm-dd.txt in DIR."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("save-period"),
                      QStringLiteral("Minutes between saves to the daily file (default 1)."),
                      QStringLiteral("MIN")});
    parser.addOption({QStringLiteral("summary"),
                      QStringLiteral("Print a tab-separated summary of the daily files "
                                     "yyyy-mm-dd.txt in DIR, a row a day, and end."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("settings"),
                      QStringLiteral("Read the alarm bands and the [Mqtt] and [Web] sections "
                                     "from the monitor's settings FILE."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("mqtt"),
                      QStringLiteral("Publish to the MQTT broker at HOST (port 1883 unless "
                                     "given)."),
                      QStringLiteral("HOST[:PORT]")});
    if (!parser.parse(QCoreApplication::arguments())) {
        return printUsage(parser, parser.errorText());
    }
    if (parser.isSet(help)) {
        return printUsage(parser, QString());
    }
    if (parser.isSet(version)) {
        std::printf("incubator-record %s\n", IM_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (parser.isSet(QStringLiteral("summary"))) {
        return printSummary(parser.value(QStringLiteral("summary")));
    }
    if (parser.positionalArguments().size() != 1) {
        return printUsage(parser, QStringLiteral("one DEVICE, or --summary DIR"));
    }

    core::SystemClock clock;
    StderrBalloons balloons;
    PrintingEffects effects(balloons);
    journal::PendingSave pending;
    link::FrameDecoder decoder(effects, balloons, pending, clock);
    const int every = positiveOption(parser, QStringLiteral("every"), 0);
    decoder.setDecimation(every);
    decoder.setSkipCounter(every);

    const QString logDir = parser.value(QStringLiteral("log-dir"));
    const int savePeriod = positiveOption(parser, QStringLiteral("save-period"), 1);
    if (!logDir.isEmpty()) {
        // Lines are collected for the day file even with a period of 0; they
        // are then written once, at the end.
        decoder.setSavePeriod(savePeriod > 0 ? savePeriod : -1);
    }

    // The monitor's line: 4800 bit/s, 8 data bits, no parity, 2 stop bits.
    link::TSerialPort port;
    port.setPort(parser.positionalArguments().constFirst());
    port.setBaudRate(link::BaudRate::br4800);
    port.setStopBits(link::StopBits::sb2);
    if (parser.isSet(QStringLiteral("baud"))) {
        setBaud(port, positiveOption(parser, QStringLiteral("baud"), 4800));
    }

    // Unattended: a device that goes away is opened again when it is back.
    core::QtTimer timerResetRxUart(link::ReceivePath::kResyncMs);
    core::QtTimer timerSignalOffData(link::ReceivePath::kNoDataMs);
    core::QtTimer timerReopen(link::ReceivePath::kReopenMs);
    link::ReceivePath receive(port, decoder, balloons, timerResetRxUart, timerSignalOffData,
                              &timerReopen);
    receive.SignalOffData = true;
    // Nothing to sound here: the no-data flag only tells the broker.
    receive.SignalOffDataSound = true;

    // Publishing: the [Mqtt] section of --settings, with --mqtt's broker.
    remote::MqttSettings mqtt;
    remote::WebSettings web;
    std::array<bool, 3> alarmEnabled{true, true, true};
    if (parser.isSet(QStringLiteral("settings"))) {
        const QString path = parser.value(QStringLiteral("settings"));
        try {
            if (!QFileInfo(path).isFile()) {
                throw settings::SettingsReadError(path);
            }
            settings::SettingsFile file(path);
            mqtt = remote::MqttSettings::read(file);
            web = remote::WebSettings::read(file);
            takeAlarmSettings(file, decoder.thresholds, alarmEnabled);
            // The page's key is made the first time it is switched on, and
            // kept, so that the address does not change from start to start.
            if (web.enabled && web.token.isEmpty()) {
                web.token = remote::WebSettings::newToken();
                web.write(file);
            }
        } catch (const core::Error& e) {
            std::fprintf(stderr, "incubator-record: %s\n", e.message().toUtf8().constData());
            return 2;
        }
    }
    if (parser.isSet(QStringLiteral("mqtt")) &&
        !takeBroker(parser.value(QStringLiteral("mqtt")), mqtt)) {
        return printUsage(parser, QStringLiteral("--mqtt needs HOST, HOST:PORT or [ADDRESS]:PORT"));
    }
    remote::Telemetry telemetry;
    remote::TelemetryFeed feed(telemetry, decoder, receive, [&] {
        const link::AlarmFlags& f = decoder.alarmFlags;
        return remote::AlarmState{f.t1 && alarmEnabled[0], f.t2 && alarmEnabled[1],
                                  f.hm && alarmEnabled[2], receive.noDataFlag};
    });
    remote::MqttPublisher publisher(telemetry, QStringLiteral(IM_VERSION));
    auto printStatus = [](const QString& text) {
        std::fprintf(stderr, "incubator-record: %s\n", text.toUtf8().constData());
        std::fflush(stderr);
    };
    QObject::connect(&publisher, &remote::MqttPublisher::statusChanged, &publisher, printStatus);
    publisher.apply(mqtt);
    remote::WebPublisher page(telemetry,
                              logDir.isEmpty() ? QString() : QDir(logDir).absolutePath());
    QObject::connect(&page, &remote::WebPublisher::statusChanged, &page, printStatus);
    page.apply(web);
    // The page's picture of the whole incubation: the day files there are,
    // read on a thread of their own and joined to the lines that come.
    if (web.enabled && !logDir.isEmpty()) {
        const QString folder = QDir(logDir).absolutePath();
        QThread* reader = QThread::create([folder, guard = QPointer(&page)] {
            auto history = std::make_shared<remote::History>(
                remote::History::ofDayFiles(folder, journal::decimalSeparator().at(0)));
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [guard, history] {
                    if (guard) {
                        guard->mergeHistory(std::move(*history));
                    }
                },
                Qt::QueuedConnection);
        });
        QObject::connect(reader, &QThread::finished, reader, &QObject::deleteLater);
        reader->start(QThread::LowPriority);
    }

    // A machine without a desktop may still suspend on idle; logind keeps it
    // awake while the port is open.
    link::StayAwake stayAwake(QDBusConnection::systemBus(), QDBusConnection(QString()),
                              QStringLiteral("incubator-record"));
    QObject::connect(&port, &link::TSerialPort::connectedChanged, &stayAwake,
                     [&stayAwake](bool open) { stayAwake.setHeld(open); });

    receive.SpBtnOpenComClick();
    if (!port.Connected()) {
        return 1;
    }

    journal::DailyLog dailyLog([logDir] { return QDir(logDir).absolutePath(); }, clock);
    dailyLog.tellFailuresTo(&balloons);
    core::QtTimer saveTimer(savePeriod * 60000);
    if (!logDir.isEmpty() && savePeriod > 0) {
        QObject::connect(&saveTimer, &core::Timer::timeout, &saveTimer,
                         [&] { dailyLog.save(pending); });
        saveTimer.start();
    }

    int status = 0;
    core::TerminationSignals signals;
    QObject::connect(&signals, &core::TerminationSignals::terminationRequested, &app, [&] {
        port.ClosePort();
        if (!logDir.isEmpty() && !dailyLog.save(pending)) {
            std::fprintf(stderr, "incubator-record: could not write %s\n",
                         dailyLog.currentFilePath().toUtf8().constData());
            status = 1;
        }
        app.exit(status);
    });
    return app.exec();
}
