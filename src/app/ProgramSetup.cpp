#include "app/ProgramSetup.h"

#include "app/TTrayIcon.h"
#include "core/AppLocation.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QThreadPool>
#include <QTranslator>

namespace im::app {

bool setUpProgram(QApplication& app) {
    QLocale::setDefault(QLocale::system());
    QApplication::setApplicationName(QStringLiteral("incubator-monitor"));
    QApplication::setWindowIcon(applicationIcon());
    // The toolkit splits large fills of a repaint among pool threads. For
    // a window that changes a little once a second the hand-overs cost more
    // than the fills (most of the monitor's time on a slow laptop); one
    // helper thread keeps them few.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    auto* own = new QTranslator(&app);
    if (loadProgramCatalogue(*own, QLocale(), core::AppLocation::executableDir())) {
        QApplication::installTranslator(own);
    } else {
        delete own;
    }
    auto* toolkit = new QTranslator(&app);
    if (!toolkit->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete toolkit;
        return false;
    }
    QApplication::installTranslator(toolkit);
    return true;
}

bool loadProgramCatalogue(QTranslator& translator, const QLocale& locale, const QString& folder) {
    const QString name = QStringLiteral("incubator-monitor");
    const QString separator = QStringLiteral("_");
    return translator.load(locale, name, separator, folder) ||
           translator.load(locale, name, separator, QStringLiteral(":/i18n"));
}

}  // namespace im::app
