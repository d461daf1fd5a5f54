#include "app/ProgramSetup.h"

#include "app/TTrayIcon.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace im::app {

bool setUpProgram(QApplication& app) {
    QLocale::setDefault(QLocale::system());
    QApplication::setApplicationName(QStringLiteral("incubator-monitor"));
    QApplication::setWindowIcon(applicationIcon());
    auto* toolkit = new QTranslator(&app);
    if (!toolkit->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete toolkit;
        return false;
    }
    QApplication::installTranslator(toolkit);
    return true;
}

}  // namespace im::app
