#include "app/Dialogs.h"
#include "core/AppLocation.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

using namespace im;

namespace {

// Answers the next modal dialog: what kind it is and how wide, the folder
// a file dialog shows; picks a file (or cancels with none).
struct Answer {
    QString folder;
    int width = 0;
    void next(const QString& pick = {}) {
        QTimer::singleShot(0, [this, pick] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            width = modal->width();
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                folder = files->directory().absolutePath();
                if (!pick.isEmpty()) {
                    files->selectFile(pick);
                    QMetaObject::invokeMethod(files, "accept");
                    return;
                }
            }
            qobject_cast<QDialog*>(modal)->reject();
        });
    }
};

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The file dialogs open in the journal's log folder first (not where
    // the program was started), then in the folder used last.
    void fileDialogsOpenWhereTheOperatorWas() {
        QTemporaryDir dir;
        core::AppLocation::setExecutablePathForTesting(dir.filePath("incubator-monitor"));
        QVERIFY(QDir(dir.path()).mkpath("log") && QDir(dir.path()).mkpath("elsewhere"));
        const QString picked = dir.filePath("elsewhere/old.txt");
        test::writeFile(picked, "T1=37,0\r\n");
        app::QtDialogs dialogs;
        Answer answer;
        answer.next(picked);
        QCOMPARE(dialogs.openFileName(nullptr, "txt|*.txt"), picked);
        QCOMPARE(answer.folder, dir.filePath("log"));
        answer.next();
        QVERIFY(dialogs.saveFileName(nullptr, "txt|*.txt", "2026-12-08.txt", "txt").isEmpty());
        QCOMPARE(answer.folder, dir.filePath("elsewhere"));
        core::AppLocation::setExecutablePathForTesting({});
    }

    // A short question still leaves its title room in frames that centre
    // it between their buttons (Qt's own on Wayland): "Завершение работы"
    // was cut to "Завершение работ".
    void messageBoxesShowTheirWholeTitle() {
        app::QtDialogs dialogs;
        const QString title = QStringLiteral("Завершение работы");
        Answer answer;
        answer.next();
        dialogs.question(nullptr, title, QStringLiteral("Сохранить?"), QMessageBox::Yes);
        QFont bold;
        bold.setBold(true);
        // Three frame buttons of about 25 pixels on either side.
        QVERIFY2(answer.width >= QFontMetrics(bold).horizontalAdvance(title) + 2 * 75,
                 qPrintable(QString::number(answer.width)));
    }
};

IM_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
