// The incubator monitor: creates the main window and runs until it closes.

#include "app/GuardedApplication.h"
#include "app/ProgramSetup.h"
#include "app/TForm1.h"
#include "core/TerminationSignals.h"

#include <QSessionManager>

int main(int argc, char** argv) {
    im::app::GuardedApplication app(argc, argv);
    im::app::setUpProgram(app);

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
