#pragma once

#include "app/DesktopNotifier.h"
#include "app/TrayHost.h"
#include "core/Sound.h"
#include "support/Fakes.h"

#include <QStringList>

namespace im::test {

// A notification area the test switches on and off; it records the icon's
// tooltip and every message. The test emits its signals for the desktop.
class FakeTrayHost final : public app::TrayHost {
public:
    app::TrayKind kind() const override {
        return !present         ? app::TrayKind::None
               : statusNotifier ? app::TrayKind::StatusNotifier
                                : app::TrayKind::XEmbed;
    }
    void setVisible(bool on) override { visible = on; }
    void setToolTip(const QString& text) override { toolTip = text; }
    void showMessage(const QString& title, const QString& text, core::BalloonIcon icon,
                     int milliseconds) override {
        shown.append({title, text, icon, milliseconds / 1000});
    }
    void hideMessage() override { ++hidden; }
    void setContextMenu(QMenu* m) override { menu = m; }

    bool present = true;
    bool statusNotifier = false;
    bool visible = false;
    QString toolTip;
    QList<Balloon> shown;
    int hidden = 0;
    QMenu* menu = nullptr;
};

// A notification service that records what it is asked to show; the test
// emits its click.
class FakeNotifier final : public app::Notifier {
public:
    bool available() const override { return present; }
    // A notice as its title, "!" after a critical one; a withdrawal as "-".
    void show(const app::Notice& notice) override {
        log << notice.title + (notice.urgent ? "!" : "");
    }
    void withdraw() override { log << QStringLiteral("-"); }
    bool present = true;
    QStringList log;
};

// Records the names played.
class RecordingSound final : public core::Sound {
public:
    void play(const QString& name) override { played << name; }
    QStringList played;
};

}  // namespace im::test
