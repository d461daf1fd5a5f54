#pragma once

#include <QString>

namespace im::settings {
class SettingsFile;
}

namespace im::remote {

// The [Web] section: the read-only web page.
struct WebSettings {
    bool enabled = false;
    QString listen = QStringLiteral("127.0.0.1");
    int port = 8787;
    QString token;  // made the first time the page is switched on

    static WebSettings read(const settings::SettingsFile& file);
    // Throws what the settings file throws when it cannot be written.
    void write(settings::SettingsFile& file) const;

    // Only the machine itself can reach a page on a loopback address.
    bool loopbackOnly() const;
    // Every request must carry the token unless the page listens on
    // loopback only.
    bool tokenRequired() const { return !loopbackOnly(); }
    // 128 random bits, as 32 hexadecimal digits.
    static QString newToken();

    // The address to open: this machine's address on the network where
    // the page listens on every one, with the token.
    QString address() const;

    // Why these settings cannot be used (translated, names the key), or "".
    QString problem() const;

    friend bool operator==(const WebSettings&, const WebSettings&) = default;
};

}  // namespace im::remote
