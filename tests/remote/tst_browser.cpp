// The recorder's web page in a real browser: headless Chromium driven over
// its DevTools protocol, the page served by incubator-record from frames the
// test plays as the controller.
#include "common/PseudoTerminal.h"
#include "journal/RecordLine.h"
#include "support/Fakes.h"
#include "support/Frames.h"
#include "support/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>

#include <bit>
#include <csignal>
#include <memory>

using namespace im;

namespace {

// What the controller reports, in the frame's units: T1 to T3 in tenths.
constexpr int kT1 = 375, kT2 = 374, kT3 = 362, kHm = 55, kOutputs = 0x02;
constexpr int kHotT1 = 395;  // past the default T1 band of 39.0
constexpr int kLatencyMs = 2000;

QString tenths(int value) {
    return QString::number(value / 10.0, 'f', 1);
}

// A DevTools session on one page, with calls made synchronously: the reply
// with the request's id is awaited while the event loop runs; events the
// browser sends meanwhile are dropped.
class DevTools : public QObject {
public:
    bool open(const QUrl& url) {
        socket_.setProxy(QNetworkProxy::NoProxy);
        connect(&socket_, &QWebSocket::textMessageReceived, this, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(QLatin1String("id"))) {
                replies_.insert(message[QLatin1String("id")].toInt(), message);
            }
        });
        socket_.open(url);
        return QTest::qWaitFor(
            [this] { return socket_.state() == QAbstractSocket::ConnectedState; }, 10000);
    }
    void close() { socket_.close(); }
    // The reply's result; an error, or no reply in time, is warned of and
    // gives an object with "error" set.
    QJsonObject call(const QString& method, const QJsonObject& params = {}, int timeout = 10000) {
        const int id = ++lastId_;
        const QJsonObject request{{"id", id}, {"method", method}, {"params", params}};
        socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(request).toJson()));
        const QJsonObject reply = QTest::qWaitFor([&] { return replies_.contains(id); }, timeout)
                                      ? replies_.take(id)
                                      : QJsonObject{{"error", "no reply"}};
        if (reply.contains(QLatin1String("error"))) {
            qWarning("%s: %s", qPrintable(method), QJsonDocument(reply).toJson().constData());
            return {{"error", reply["error"]}};
        }
        return reply["result"].toObject();
    }
    // A script's value; undefined when it threw or the page was between
    // documents.
    QJsonValue eval(const QString& expression) {
        const QJsonObject r =
            call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
        return r.contains("exceptionDetails") ? QJsonValue(QJsonValue::Undefined)
                                              : r["result"]["value"];
    }
    bool waitFor(const QString& condition, int timeout) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeout) {
            if (eval(condition).toBool()) {
                return true;
            }
            QTest::qWait(50);
        }
        return false;
    }

private:
    QWebSocket socket_;
    QHash<int, QJsonObject> replies_;
    int lastId_ = 0;
};

int freeLoopbackPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Everything the page shows that the checks look at, in one evaluation.
const char* const kPageSnapshot = R"JS((() => {
  const text = (id) => document.getElementById(id).textContent;
  const all = (selector, f) => Array.from(document.querySelectorAll(selector), f);
  return {
    t1: text('t1'), t2: text('t2'), t3: text('t3'), hm: text('hm'),
    receiving: document.getElementById('receiving').dataset.receiving,
    on: all('#outputs > [data-output].on', (li) => li.dataset.output),
    alarms: all('.panel.alarm', (p) => p.id),
    files: all('#files a', (a) => a.getAttribute('href')),
  };
})())JS";

}  // namespace

class TestBrowser : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString dayFile_;
    std::unique_ptr<tools::PseudoTerminal> line_;
    QProcess recorder_;
    QProcess chromium_;
    QTimer controller_;
    DevTools page_;
    bool hotFrameDue_ = false;
    QElapsedTimer sinceHotFrame_;

    QJsonObject snapshot() { return page_.eval(QString::fromLatin1(kPageSnapshot)).toObject(); }

    // Sizes the viewport as a phone or a desktop would, and waits for the
    // page to have laid itself out and redrawn its charts at that size.
    bool resize(int width, int height, bool mobile) {
        const QJsonObject r = page_.call(
            "Emulation.setDeviceMetricsOverride",
            {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", mobile}});
        const bool laidOut =
            !r.contains("error") &&
            page_.waitFor(
                QStringLiteral("innerWidth === %1 && innerHeight === %2").arg(width).arg(height),
                5000);
        QTest::qWait(600);  // the page redraws 200 ms after the last resize event
        return laidOut;
    }

    // The page as it is now, also kept as a PNG for a person to look at.
    QImage shoot(const QString& name) {
        const QJsonObject shot = page_.call("Page.captureScreenshot", {{"format", "png"}});
        const QByteArray png = QByteArray::fromBase64(shot["data"].toString().toLatin1());
        const QString folder = qEnvironmentVariableIsSet("IM_SHOTS_DIR")
                                   ? qEnvironmentVariable("IM_SHOTS_DIR")
                                   : QCoreApplication::applicationDirPath() + "/web-shots";
        if (!png.isEmpty() && QDir().mkpath(folder)) {
            test::writeFile(folder + '/' + name, png);
            qInfo("screenshot %s", qPrintable(QDir(folder).filePath(name)));
        }
        return QImage::fromData(png, "PNG");
    }

private Q_SLOTS:
    // The recorder on a line the test plays, a frame every 200 ms, and the
    // page opened in the browser once the first frames are in.
    void initTestCase() {
        const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (browser.isEmpty()) {
            QSKIP("chromium is not installed; scripts/setup installs it");
        }
        QVERIFY(dir_.isValid());
        const int port = freeLoopbackPort();
        QVERIFY(port > 0);
        const QString ini = dir_.filePath("monitor.ini");
        test::writeFile(
            ini, "[Web]\nEnabled=1\nListen=127.0.0.1\nPort=" + QByteArray::number(port) + '\n');
        const QString logDir = dir_.filePath("log");
        QVERIFY(QDir().mkpath(logDir));
        // Today's day file with the six hours before the test, a line a
        // minute, for the charts to draw.
        const QDateTime now = QDateTime::currentDateTime();
        dayFile_ = now.date().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
        QByteArray earlier;
        for (int minute = 360; minute > 0; --minute) {
            // The heater's slow swing, an hour and a half long.
            const int swing = std::abs(minute % 90 - 45);
            earlier += "\r\n" + journal::makeRecordLine(kT1 - 5 + swing / 5, kT2 - 6 + swing / 5,
                                                        kT3 + swing / 10, kHm - 3 + swing / 8,
                                                        QStringLiteral("_2______"),
                                                        now.addSecs(-60 * minute))
                                    .toUtf8();
        }
        test::writeFile(logDir + '/' + dayFile_, earlier);

        line_ = std::make_unique<tools::PseudoTerminal>();
        const auto frame = [](int t1) {
            return test::bytesOf(test::makeFrame(kOutputs, test::rawForTenths(t1),
                                                 test::rawForTenths(kT2), kT3, kHm));
        };
        // The hot frame takes a normal one's turn, so frames never come closer
        // than the timer's period and are not merged on the line.
        connect(&controller_, &QTimer::timeout, this,
                [this, normal = frame(kT1), hot = frame(kHotT1)] {
                    line_->send(hotFrameDue_ ? hot : normal);
                    if (hotFrameDue_) {
                        sinceHotFrame_.start();
                        hotFrameDue_ = false;
                    }
                });
        controller_.start(200);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
        recorder_.setProcessEnvironment(env);
        recorder_.start(QStringLiteral(IM_RECORD_PATH),
                        {line_->slavePath(), "--settings", ini, "--log-dir", logDir});
        QVERIFY(recorder_.waitForStarted(5000));
        const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(port);
        const QByteArray listening = ("Веб-страница: " + address).toUtf8();
        recorder_.setReadChannel(QProcess::StandardError);
        QVERIFY2(
            QTest::qWaitFor([&] { return recorder_.peek(1 << 16).contains(listening); }, 10000),
            recorder_.peek(1 << 16).constData());
        recorder_.setReadChannel(QProcess::StandardOutput);
        QVERIFY(QTest::qWaitFor([&] { return recorder_.canReadLine(); }, 5000));

        const QString profile = dir_.filePath("chromium");
        chromium_.start(browser,
                        {"--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                         "--user-data-dir=" + profile, "--remote-debugging-port=0",
                         "--window-size=360,740", "about:blank"});
        QVERIFY(chromium_.waitForStarted(5000));
        // Chromium writes its port there once it listens.
        int devToolsPort = 0;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         QFile active(profile + "/DevToolsActivePort");
                         return active.open(QIODevice::ReadOnly) &&
                                (devToolsPort = active.readLine().trimmed().toInt()) > 0;
                     },
                     15000),
                 chromium_.readAllStandardError().right(2000).constData());

        QNetworkAccessManager http;
        http.setProxy(QNetworkProxy::NoProxy);
        std::unique_ptr<QNetworkReply> list(http.get(QNetworkRequest(
            QUrl(QStringLiteral("http://127.0.0.1:%1/json/list").arg(devToolsPort)))));
        QVERIFY(QTest::qWaitFor([&] { return list->isFinished(); }, 10000));
        QString target;
        for (const QJsonValue t : QJsonDocument::fromJson(list->readAll()).array()) {
            if (t["type"] == QLatin1String("page")) {
                target = t["webSocketDebuggerUrl"].toString();
            }
        }
        QVERIFY2(!target.isEmpty(), "no page among the browser's targets");
        QVERIFY(page_.open(QUrl(target)));

        QVERIFY(!page_.call("Page.navigate", {{"url", address}}).contains("error"));
        QVERIFY2(page_.waitFor(QStringLiteral("document.body.dataset.ready === 'true'"), 15000),
                 "the page never became ready");
    }

    // What the controller sends, as the page shows it: the values with a full
    // stop, receiving, the outputs set in the frame, no alarm, and the day
    // file to download.
    void showsTheLiveValues() {
        QJsonObject page;
        // An event may still be on its way once the first replies are in.
        QVERIFY(QTest::qWaitFor([&] { return (page = snapshot())["t1"].toString() == tenths(kT1); },
                                5000));
        QCOMPARE(page["t2"].toString(), tenths(kT2));
        QCOMPARE(page["t3"].toString(), tenths(kT3));
        QCOMPARE(page["hm"].toString(), QString::number(kHm));
        QCOMPARE(page["receiving"].toString(), QStringLiteral("true"));
        const QVariantList on = page["on"].toArray().toVariantList();
        QVERIFY(on.contains(QStringLiteral("heater")));
        QVERIFY(!on.contains(QStringLiteral("buzzer")));
        QCOMPARE(on.size(), std::popcount(unsigned(kOutputs)));
        QCOMPARE(page["alarms"].toArray(), QJsonArray());
        QVERIFY2(page["files"].toArray().contains(QStringLiteral("/log/") + dayFile_),
                 QJsonDocument(page["files"].toArray()).toJson().constData());
    }

    // One frame past T1's band turns its panel to alarm within two seconds of
    // leaving the test; T2 and humidity, still inside theirs, stay quiet.
    void aT1AlarmReachesThePageQuickly() {
        hotFrameDue_ = true;
        QVERIFY(QTest::qWaitFor([&] { return !hotFrameDue_; }, 2000));
        QVERIFY2(page_.waitFor("document.getElementById('panel-t1').classList.contains('alarm')",
                               3 * kLatencyMs),
                 "T1 alarm not shown at all");
        const qint64 latency = sinceHotFrame_.elapsed();
        qInfo("T1 alarm shown %lld ms after its frame", latency);
        QVERIFY2(latency <= kLatencyMs, "T1 alarm shown too late");
        // The alarm is latched: the normal frames after it leave it on.
        QTest::qWait(500);
        const QJsonObject page = snapshot();
        QCOMPARE(page["alarms"].toArray(), QJsonArray{QStringLiteral("panel-t1")});
        QCOMPARE(page["t1"].toString(), tenths(kT1));
    }

    // The page as a phone and as a desktop show it, kept for a person to look
    // at; on the phone nothing reaches past the screen's width.
    void screenshotsAtPhoneAndDesktopWidths() {
        QVERIFY(resize(360, 740, true));
        const QJsonValue scrollWidth = page_.eval("document.documentElement.scrollWidth");
        QVERIFY2(scrollWidth.isDouble() && scrollWidth.toInt() <= 360,
                 qPrintable(scrollWidth.toVariant().toString()));
        QCOMPARE(shoot("page-360x740.png").size(), QSize(360, 740));
        QVERIFY(resize(1280, 800, false));
        QCOMPARE(shoot("page-1280x800.png").size(), QSize(1280, 800));
    }

    void cleanupTestCase() {
        controller_.stop();
        page_.close();
        if (chromium_.state() != QProcess::NotRunning) {
            chromium_.terminate();
            if (!chromium_.waitForFinished(3000)) {
                chromium_.kill();
                chromium_.waitForFinished(3000);
            }
        }
        // One still running at the end is killed as its QProcess goes.
        if (recorder_.state() != QProcess::NotRunning) {
            QVERIFY(test::sendSignal(recorder_, SIGTERM));
            QVERIFY2(recorder_.waitForFinished(5000), "the recorder did not end on SIGTERM");
            QCOMPARE(recorder_.exitCode(), 0);
        }
    }
};

IM_TEST_MAIN(TestBrowser)
#include "tst_browser.moc"
