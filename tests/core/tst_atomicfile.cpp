#include "core/AtomicFile.h"
#include "journal/JournalFiles.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/Faults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace im;

namespace {

// The three writers that replace whole files: the plain replacement, the
// settings file and "Сохранить как..". Each writes a content of its own and
// returns its error text, empty on success.
struct Writer {
    std::function<QString(const QString& path)> write;
    QByteArray content;
    QString refusal;  // the error's text begins so, %1 the path
};

const Writer kWriters[] = {
    {[](const QString& path) {
         const int err = core::replaceFileAtomically(path, "new");
         return err == 0 ? QString() : QString::number(err);
     },
     "new", QString::number(EACCES)},
    {[](const QString& path) {
         try {
             settings::SettingsFile(path).WriteInteger(QStringLiteral("S"), QStringLiteral("K"), 1);
         } catch (const core::Error& e) {
             return e.message();
         }
         return QString();
     },
     "[S]\nK=1\n", QStringLiteral("Unable to write to %1")},
    {[](const QString& path) {
         journal::JournalStore journal;
         journal.append(QStringLiteral("T1=37,5"));
         try {
             journal::saveJournalAs(journal, path);
         } catch (const core::Error& e) {
             return e.message();
         }
         return QString();
     },
     "T1=37,5\r\n", QStringLiteral("Cannot create file \"%1\"")},
};

struct stat statOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

void chmodPath(const QString& path, mode_t mode) {
    ::chmod(QFile::encodeName(path).constData(), mode);
}

}  // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What any user sees: the content replaced whole with mode kept, a link
    // written through, a file nobody may write refused and left alone, and
    // temporary files of killed writes cleared away.
    void replacementRules() {
        for (const Writer& w : kWriters) {
            QTemporaryDir dir;
            const QString file = dir.path() + QStringLiteral("/file.txt");
            test::writeFile(file, "");
            chmodPath(file, 0640);
            // Left by a killed write of this file (pid 999999 is none), by a
            // running one, and a file of the user's that only looks similar.
            const QString dead = dir.path() + QStringLiteral("/.file.txt.999999.abcdef");
            const QString running = dir.path() + QStringLiteral("/.file.txt.1.abcdef");
            const QString users = dir.path() + QStringLiteral("/.file.txt.backup");
            for (const QString& p : {dead, running, users}) {
                test::writeFile(p, "x");
            }
            QCOMPARE(w.write(file), QString());
            QCOMPARE(test::readFile(file), w.content);
            QCOMPARE(statOf(file).st_mode & 07777, mode_t(0640));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{".file.txt.1.abcdef", ".file.txt.backup", "file.txt"}));

            // A link, also a dangling one, is written through and stays a link.
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
            const QString link = dir.path() + QStringLiteral("/link.txt");
            QVERIFY(QFile::link(QStringLiteral("real/target.txt"), link));
            QCOMPARE(w.write(link), QString());
            QVERIFY(S_ISLNK(statOf(link).st_mode));
            QCOMPARE(test::readFile(dir.path() + QStringLiteral("/real/target.txt")), w.content);

            test::writeFile(file, "old");
            chmodPath(file, 0444);
            const QString refused = w.write(file);
            QVERIFY2(refused.startsWith(w.refusal.arg(file)), qPrintable(refused));
            QCOMPARE(statOf(file).st_mode & 07777, mode_t(0444));
            QCOMPARE(test::readFile(file), QByteArray("old"));
        }
    }

    // A full disk, or a flush the disk fails, leaves the old file whole.
    void fullDiskLeavesTheOldFileWhole() {
        QTemporaryDir dir;
        const QString file = dir.path() + QStringLiteral("/file.txt");
        test::writeFile(file, "old");
        {
            test::FileSizeLimit full(2);
            QCOMPARE(core::replaceFileAtomically(file, QByteArray(4096, 'x')), EFBIG);
        }
        test::failSyncs(EIO);
        QCOMPARE(core::replaceFileAtomically(file, "new"), EIO);
        QCOMPARE(test::readFile(file), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.txt"});
    }

    // A second user (root's files, written by a user without privileges):
    // a file of another owner that the user may not write is refused; one
    // the user may write keeps its owner, rewritten in place where the folder
    // may not be written or the owner could not be kept.
    void anotherUsersFiles() {
        if (!test::runningAsRoot()) {
            QSKIP("needs root to write as a second user");
        }
        // File mode, folder mode, whether the user's write is saved.
        for (auto [fileMode, folderMode, saved] :
             {std::tuple{0644, 0777, false}, {0666, 0755, true}, {0666, 0777, true}}) {
            QTemporaryDir dir;
            chmodPath(dir.path(), mode_t(folderMode));
            const QString file = dir.path() + QStringLiteral("/incubator-monitor.ini");
            test::writeFile(file, "old");
            chmodPath(file, mode_t(fileMode));
            const test::Finished f = test::runAsOtherUser(QCoreApplication::applicationFilePath(),
                                                          {QStringLiteral("--write"), file});
            QCOMPARE(f.exitCode, saved ? 0 : EACCES);
            QCOMPARE(test::readFile(file), saved ? QByteArray("new") : QByteArray("old"));
            QCOMPARE(statOf(file).st_uid, uid_t(0));
            QCOMPARE(statOf(file).st_mode & 07777, mode_t(fileMode));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        }
    }
};

int main(int argc, char** argv) {
    // The second user's side of anotherUsersFiles.
    if (argc == 3 && QByteArray(argv[1]) == "--write") {
        return core::replaceFileAtomically(QString::fromLocal8Bit(argv[2]), "new");
    }
    QCoreApplication app(argc, argv);
    TestAtomicFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_atomicfile.moc"
