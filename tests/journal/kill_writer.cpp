// Saves day-file lines and writes settings keys as fast as it can, until it
// is killed: the test kills it at random moments and looks at what is left.
// Arguments: log folder, settings file, first line number.

#include "core/Clock.h"
#include "journal/DailyLog.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

using namespace im;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        return 2;
    }
    const QString logDir = args[1];
    settings::SettingsFile settings(args[2]);
    qint64 line = args[3].toLongLong();
    core::SystemClock clock;
    journal::DailyLog log([logDir] { return logDir; }, clock);
    journal::PendingSave pending;
    std::printf("ready\n");
    std::fflush(stdout);
    for (int round = 0;; ++round) {
        const int lines = 1 + int(QRandomGenerator::global()->bounded(10000));
        for (int i = 0; i < lines; ++i, ++line) {
            pending.extend(QStringLiteral("LINE %1 ").arg(line, 12, 10, QLatin1Char('0')) +
                           QString(50, u'x'));
        }
        log.save(pending);
        for (const settings::IntKey& key : {settings::keys::Top, settings::keys::Left,
                                            settings::keys::Width, settings::keys::Height}) {
            settings.write(key, round);
        }
    }
}
