#pragma once

// What the benchmarks that drive the whole main window share: the toolkit
// offscreen with the Russian locale, a folder of its own for the settings and
// the day files, and the window with every outside seam faked.

#include "Figures.h"
#include "app/TForm1.h"
#include "core/AppLocation.h"
#include "support/FakeDialogs.h"
#include "support/FakeTray.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <memory>

namespace im::bench {

struct BenchApp {
    static int& offscreen(int& argc) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return argc;
    }
    BenchApp(int& argc, char** argv) : app(offscreen(argc), argv) {
        printWithFullStop();
        printMachineLoad("before");
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        core::AppLocation::setExecutablePathForTesting(dir.path() +
                                                       QStringLiteral("/incubator-monitor"));
    }
    QApplication app;
    QTemporaryDir dir;
};

struct BenchWindow {
    // viewRefreshMs: the services' own unless given (0 paints every frame).
    explicit BenchWindow(int viewRefreshMs = -1,
                         const QDateTime& now = QDateTime(QDate(2026, 12, 5), QTime(14, 3, 27)))
        : clock(now) {
        app::Services services;
        services.dialogs = &dialogs;
        services.clock = &clock;
        services.tray = &tray;
        services.notifier = &notifier;
        services.sound = &sound;
        if (viewRefreshMs >= 0) {
            services.viewRefreshMs = viewRefreshMs;
        }
        form = std::make_unique<app::TForm1>(services);
    }
    test::FakeDialogs dialogs;
    test::FakeClock clock;
    test::FakeTrayHost tray;
    test::FakeNotifier notifier;
    test::RecordingSound sound;
    std::unique_ptr<app::TForm1> form;
};

}  // namespace im::bench
