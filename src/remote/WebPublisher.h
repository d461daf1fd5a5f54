#pragma once

#include "remote/History.h"
#include "remote/WebSettings.h"

#include <QObject>
#include <QThread>

class QTranslator;

namespace im::remote {

class Telemetry;
class WebServer;

// The web page's side on the interface thread: starts and stops the server
// on its thread as the [Web] settings say, and hands it every state, line
// and history as they come, never waiting for it.
class WebPublisher : public QObject {
    Q_OBJECT
public:
    WebPublisher(Telemetry& telemetry, QString logDir, QObject* parent = nullptr);
    ~WebPublisher() override;

    // Takes new settings: the old server ends, and a new one starts when
    // the page is on and the settings are sound. Returns why they cannot be
    // used (also told through statusChanged), or "".
    QString apply(const WebSettings& settings);
    const WebSettings& settings() const { return settings_; }
    bool active() const { return server_ != nullptr; }

    // The history the page pictures, replacing what it had (a journal
    // opened or cleared).
    void replaceHistory(History history);
    // Joins earlier lines (the day files read at start) to the history.
    void mergeHistory(History history);

    // The page's texts in the language of a catalogue (none: the
    // program's own Russian), as a JSON object.
    static QByteArray textsJson(const QTranslator* catalogue, const QByteArray& lang);

Q_SIGNALS:
    // Once the server listens, or could not: for the operator.
    void statusChanged(const QString& text, bool trouble);
    void listening(quint16 port);

private:
    void post(std::function<void(WebServer&)> work);
    void stop();

    Telemetry& telemetry_;
    QString logDir_;
    WebSettings settings_;
    QThread thread_;
    WebServer* server_ = nullptr;
};

}  // namespace im::remote
