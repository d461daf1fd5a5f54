#include "app/SaveCommands.h"

#include "app/Dialogs.h"
#include "core/AtomicFile.h"
#include "journal/DailyLog.h"
#include "journal/JournalFiles.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QWidget>

namespace im::app {

namespace {

// The file the operator names; empty when cancelled or not to be replaced.
QString askedPath(QWidget& window, Dialogs& dialogs, const QString& filter, const QString& proposed,
                  const QString& suffix) {
    const QString path = dialogs.saveFileName(&window, filter, proposed, suffix);
    if (path.isEmpty() || !QFile::exists(path)) {
        return path;
    }
    const bool replace =
        dialogs.question(&window, QCoreApplication::translate("TForm1", "Совпадение имен."),
                         QCoreApplication::translate("TForm1", "Такой файл есть.  Продолжить?"),
                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    return replace ? path : QString();
}

}  // namespace

bool saveJournalAsked(QWidget& window, Dialogs& dialogs, const QDate& today,
                      const journal::JournalStore& journal) {
    const QString path = askedPath(window, dialogs, QStringLiteral("*.txt|*.txt"),
                                   journal::DailyLog::fileNameFor(today), QStringLiteral("txt"));
    if (path.isEmpty()) {
        return false;
    }
    journal::saveJournalAs(journal, path);
    return true;
}

void saveChartAsked(QWidget& window, Dialogs& dialogs, QWidget& chart) {
    const QString path = askedPath(window, dialogs, QStringLiteral("*.png|*.png"),
                                   QStringLiteral("chart.png"), QStringLiteral("png"));
    if (path.isEmpty()) {
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    chart.grab().toImage().save(&buffer, "PNG");
    if (const int err = core::replaceFileAtomically(path, png); err != 0) {
        journal::throwCannotCreate(path, err);
    }
}

}  // namespace im::app
