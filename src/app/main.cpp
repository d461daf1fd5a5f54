// The incubator monitor: creates the main window and runs until it closes.

#include "app/GuardedApplication.h"
#include "app/ProgramSetup.h"
#include "app/TForm1.h"
#include "core/TerminationSignals.h"

#include <QSessionManager>

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// What --help prints; help2man makes the manual page from it.
constexpr char kUsage[] =
    "Usage: incubator-monitor [OPTION]...\n"
    "Watches an egg incubator's controller over a serial line: shows the live\n"
    "values of its outputs, temperatures and humidity, keeps a journal saved to\n"
    "one file a day, plots it and raises alarms, from the system tray. The port,\n"
    "the alarm limits and everything else are chosen in the window and kept in\n"
    "incubator-monitor.ini: beside the program when its folder may be written,\n"
    "otherwise in ~/.config/incubator-monitor/, with the daily files in\n"
    "~/.local/share/incubator-monitor/log/.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and end\n"
    "  --version      print the version and end\n"
    "\n"
    "The toolkit's own options are taken too, such as -platform NAME and\n"
    "-style NAME.\n";

// --help and --version are answered before the toolkit starts, so that they
// need no display. Gives the exit status, or nothing when the program runs.
std::optional<int> answerWithoutDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
        } else if (arg == "--version") {
            std::printf("incubator-monitor %s\n", IM_VERSION);
        } else {
            continue;
        }
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = answerWithoutDisplay(argc, argv)) {
        return *status;
    }
    im::app::GuardedApplication app(argc, argv);
    // The toolkit has taken its own options out of argv; what is left is a
    // mistake.
    if (argc > 1) {
        std::fprintf(stderr, "incubator-monitor: unknown option '%s'\n%s", argv[1], kUsage);
        return 2;
    }
    im::app::setUpProgram(app);
    QApplication::setApplicationVersion(QStringLiteral(IM_VERSION));

    im::app::MessageBoxErrorReporter errors(im::app::TForm1::productTitle());
    im::core::setDefaultErrorReporter(&errors);

    im::app::TForm1 form;
    QObject::connect(&form, &im::app::TForm1::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.showAtStart();

    // A signal or the end of the desktop session ends the program without
    // questions and without losing anything.
    im::core::TerminationSignals signals;
    QObject::connect(&signals, &im::core::TerminationSignals::terminationRequested, &form, [&] {
        form.terminate();
        QApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.terminate(); });

    const int status = app.exec();
    im::core::setDefaultErrorReporter(nullptr);
    return status;
}
