#pragma once

#include "app/TrayHost.h"
#include "core/Sound.h"
#include "support/Fakes.h"

#include <QStringList>

namespace im::test {

// A notification area the test switches on and off; it records the icon's
// tooltip and every message. The test emits its signals for the desktop.
class FakeTrayHost final : public app::TrayHost {
public:
    bool available() const override { return present; }
    void setVisible(bool on) override { visible = on; }
    void setToolTip(const QString& text) override { toolTip = text; }
    void showMessage(const QString& title, const QString& text, core::BalloonIcon icon,
                     int milliseconds) override {
        shown.append({title, text, icon, milliseconds / 1000});
    }
    void setContextMenu(QMenu* m) override { menu = m; }

    bool present = true;
    bool visible = false;
    QString toolTip;
    QList<Balloon> shown;
    QMenu* menu = nullptr;
};

// Records the names played.
class RecordingSound final : public core::Sound {
public:
    void play(const QString& name) override { played << name; }
    QStringList played;
};

}  // namespace im::test
