#include "journal/JournalFiles.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"
#include "journal/RecordLine.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QFile>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>

using namespace im;
using namespace im::journal;

class TestJournalStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void appendingAfterALineEndAndAfterNone() {
        JournalStore j;
        QCOMPARE(j.lineCount(), 0);
        QVERIFY(!j.modified());
        j.append(QStringLiteral("a"));
        j.append(QStringLiteral("b"));
        QCOMPARE(j.toBytes(), QByteArray("a\r\nb\r\n"));
        QCOMPARE(j.lineCount(), 2);
        QVERIFY(j.modified());

        // A daily file: a line end before every line, none after the last.
        j.setFileBytes("\r\nx\r\ny");
        QVERIFY(!j.modified());
        QCOMPARE(j.lineCount(), 3);
        QCOMPARE(j.line(0), QString());
        QCOMPARE(j.append(QStringLiteral("z")), 4);
        QCOMPARE(j.toBytes(), QByteArray("\r\nx\r\ny\r\nz"));
        QVERIFY(j.modified());
    }

    void lineEndsOfAnOpenedFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("held");
        QTest::addColumn<int>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n") << 2;
        QTest::newRow("CR only") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n") << 2;
        QTest::newRow("LF only") << QByteArray("a\nb") << QByteArray("a\r\nb") << 2;
        QTest::newRow("LF CR is two line ends")
            << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb") << 3;
        QTest::newRow("empty lines kept") << QByteArray("\n\n") << QByteArray("\r\n\r\n") << 2;
        QTest::newRow("empty file") << QByteArray() << QByteArray() << 0;
        QTest::newRow("Cyrillic note")
            << QByteArray("заметка\r\n") << QByteArray("заметка\r\n") << 1;
    }
    void lineEndsOfAnOpenedFile() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, held);
        QFETCH(int, lines);
        JournalStore j;
        j.setFileBytes(file);
        QCOMPARE(j.toBytes(), held);
        QCOMPARE(j.lineCount(), lines);
    }

    void saveAndOpenRoundTripByteForByte() {
        QTemporaryDir tmp;
        const QString path = tmp.path() + QStringLiteral("/j.txt");
        const QByteArray original("\r\nT1=37,5  HM=5\r\nзаметка\r\n\r\nlast");
        JournalStore j;
        j.setFileBytes(readJournalFile([&] {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(original);
            return path;
        }()));
        saveJournalAs(j, tmp.path() + QStringLiteral("/copy.txt"));
        QCOMPARE(test::readFile(tmp.path() + QStringLiteral("/copy.txt")), original);
    }

    void failedSaveLeavesTheOldFileWhole() {
        QTemporaryDir tmp;
        const QString path = tmp.path() + QStringLiteral("/old.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("old content");
        f.close();
        JournalStore j;
        for (int i = 0; i < 1000; ++i) {
            j.append(QStringLiteral("a line long enough to need some room on the disk %1").arg(i));
        }
        {
            test::FileSizeLimit full(4096);
            QVERIFY_THROWS_EXCEPTION(core::Error, saveJournalAs(j, path));
        }
        QCOMPARE(test::readFile(path), QByteArray("old content"));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files), QStringList{"old.txt"});
        QVERIFY_THROWS_EXCEPTION(core::Error,
                                 readJournalFile(tmp.path() + QStringLiteral("/none.txt")));
    }

    void columnTexts() {
        JournalStore j;
        j.append(
            QStringLiteral("T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_3_____  05.12.26 14:03:27"));
        j.append(QString());
        j.append(
            QStringLiteral("T1=100,5  T2=05,0  T3=36,2  HM=100  OUT=1_3_____  05.12.26 14:03:28"));
        QCOMPARE(columnText(j, get_T1), QStringLiteral("37,5\r\n\r\n100,\r\n"));
        QCOMPARE(columnText(j, get_HM), QStringLiteral("5 \r\n\r\n10\r\n"));
        QCOMPARE(columnText(JournalStore(), get_T2), QString());
    }

    // Edits anywhere, across chunk boundaries, agree with a plain list of
    // lines, and every edit (unlike an append) changes the revision.
    void editsAgreeWithAPlainModel() {
        JournalStore j;
        QStringList model{QString()};
        for (int i = 0; i < 9000; ++i) {
            const QString line = QStringLiteral("line %1").arg(i);
            j.append(line);
            model.insert(model.size() - 1, line);
        }
        QRandomGenerator rng(11);
        for (int round = 0; round < 300; ++round) {
            const int a = rng.bounded(j.segmentCount());
            const int b =
                std::min(j.segmentCount() - 1, a + int(rng.bounded(3)) * int(rng.bounded(2000)));
            const TextPos from{a, int(rng.bounded(model[a].size() + 1))};
            const TextPos to{
                b, b == a ? int(std::max<qsizetype>(from.column, rng.bounded(model[b].size() + 1)))
                          : int(rng.bounded(model[b].size() + 1))};
            const QString text =
                rng.bounded(3) == 0 ? QStringLiteral("x\ny\r\nz") : QStringLiteral("ab");
            const quint64 revision = j.revision();
            j.replace(from, to, text);
            QVERIFY(j.revision() != revision);
            QStringList parts = QString(text)
                                    .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                    .split(QLatin1Char('\n'));
            parts.first().prepend(model[a].left(from.column));
            parts.last().append(model[b].mid(to.column));
            model.erase(model.begin() + a, model.begin() + b + 1);
            for (int k = 0; k < parts.size(); ++k) {
                model.insert(a + k, parts[k]);
            }
            QCOMPARE(j.segmentCount(), int(model.size()));
        }
        for (int i = 0; i < model.size(); ++i) {
            QCOMPARE(j.line(i), model[i]);
        }
        QCOMPARE(j.textBetween({0, 0}, j.endPos()), model.join(QLatin1Char('\n')));
        const quint64 revision = j.revision();
        j.append(QStringLiteral("more"));
        QCOMPARE(j.revision(), revision);
    }

    // What is on screen after many appends (drawn row by row, scrolled by
    // blitting) is what a full repaint of the same state draws, the line
    // that filled the empty last segment included.
    void viewOnScreenMatchesAFullRepaint() {
        JournalStore j;
        JournalView view(j);
        view.resize(320, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QApplication::processEvents();
        for (int i = 0; i < 25; ++i) {
            j.append(QStringLiteral("T1=37,%1  T2=37,4  HM=55").arg(i % 10));
            view.moveToEnd();
            QApplication::processEvents();
        }
        const QImage onScreen =
            QGuiApplication::primaryScreen()->grabWindow(view.winId()).toImage();
        const QImage repainted = view.grab().toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 repainted.convertToFormat(QImage::Format_RGB32));
        // And the text is there: dark pixels in the first row of lines.
        const QRect firstRow = view.viewport()->geometry().adjusted(0, 0, 0, 0);
        int dark = 0;
        for (int x = firstRow.left(); x < firstRow.right(); ++x) {
            for (int y = firstRow.top(); y < firstRow.top() + view.fontMetrics().lineSpacing();
                 ++y) {
                dark += qGray(repainted.pixel(x, y)) < 100;
            }
        }
        QVERIFY(dark > 20);
    }

    void viewEditsTheJournal() {
        JournalStore j;
        j.append(QStringLiteral("T1=37,5"));
        j.setModified(false);
        JournalView view(j);
        view.resize(300, 120);
        view.show();
        view.setCaret({0, 3});
        QTest::keyClicks(&view, QStringLiteral("9"));
        QCOMPARE(j.line(0), QStringLiteral("T1=937,5"));
        QVERIFY(j.modified());
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(j.line(0), QStringLiteral("T1=9"));
        QCOMPARE(j.line(1), QStringLiteral("37,5"));
        QTest::keyClick(&view, Qt::Key_Backspace);
        QCOMPARE(j.line(0), QStringLiteral("T1=937,5"));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.selectedText(), QStringLiteral("37,5"));
        view.copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("37,5"));
        QTest::keyClick(&view, Qt::Key_Delete);
        QCOMPARE(j.line(0), QStringLiteral("T1=9"));

        j.append(QStringLiteral("new"));
        view.moveToEnd();
        QCOMPARE(view.caret(), j.endPos());
    }
};

IM_TEST_MAIN(TestJournalStore)
#include "tst_journalstore.moc"
