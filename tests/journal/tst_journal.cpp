#include "journal/DailyLog.h"
#include "journal/JournalFiles.h"
#include "journal/JournalLoader.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"
#include "journal/RecordLine.h"
#include "journal/ValueDigest.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <cerrno>
#include <csignal>
#include <cstring>

using namespace im;
using namespace im::journal;

namespace {

struct View {
    JournalStore journal;
    JournalView view{journal};
    View() {
        view.resize(320, 120);
        showExposed(view);
    }
};

struct DayFiles {
    QTemporaryDir tmp;
    test::FakeClock clock{QDateTime(QDate(2026, 12, 6), QTime(10, 0))};
    QString logDir = tmp.path() + QStringLiteral("/log");
    DailyLog log{[this] { return logDir; }, clock};
    PendingSave pending;
    QString file(const char* name = "2026-12-06.txt") const {
        return logDir + QLatin1Char('/') + QLatin1String(name);
    }
    bool save(const QStringList& lines) {
        for (const QString& l : lines) {
            pending.extend(l);
        }
        return log.save(pending);
    }
};

}  // namespace

class TestJournal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Numbers are "00.0" with the locale's decimal separator, times take its
    // time separator (a colon where the locale's would be a space); the date has
    // full stops.
    void separatorsFollowTheLocale() {
        QStringList texts;
        for (qint64 tenths : {375, 50, 0, 1005, 40950, -5, -125}) {
            texts << formatTenths(tenths);
        }
        QCOMPARE(texts, (QStringList{"37,5", "05,0", "00,0", "100,5", "4095,0", "-00,5", "-12,5"}));
        const QLocale saved;
        const char* const cases[][2] = {
            {"ru_RU", "T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_3_____  02.01.31 03:04:05"},
            {"fi_FI", "T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_3_____  02.01.31 03.04.05"},
            {"en_US", "T1=37.5  T2=37.4  T3=36.2  HM=5  OUT=1_3_____  02.01.31 03:04:05"},
            {"fr_CA", "T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_3_____  02.01.31 03:04:05"}};
        for (const auto& [locale, expected] : cases) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            const QString line = makeRecordLine(375, 374, 362, 5, QStringLiteral("1_3_____"),
                                                QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5)));
            QCOMPARE(line, QString::fromLatin1(expected));
            QCOMPARE(get_time(line), line.right(8));
        }
        QLocale::setDefault(saved);
    }

    // The seven fields by position alone: T1, T2, T3, HM, outputs, date, time.
    void oddLines() {
        const char* const cases[][2] = {
            {"", "||||||"},             // empty
            {"     ", "||||||"},        // spaces only
            {"\t\x01 \x1f", "||||||"},  // control characters count as spaces
            // hundred degrees is cut to four characters
            {"T1=100,5  T2=37,4  T3=36,2  HM=55  OUT=________  05.12.26 14:03:27",
             "100,|37,4|36,2|55|________|05.12.26|14:03:27"},
            // humidity of three digits gives two, of one digit and space
            {"T1=37,5  T2=37,4  T3=36,2  HM=100  OUT=12345678  05.12.26 14:03:27",
             "37,5|37,4|36,2|10|12345678|05.12.26|14:03:27"},
            {"T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_______  05.12.26 14:03:27",
             "37,5|37,4|36,2|5 |1_______|05.12.26|14:03:27"},
            // leading spaces, three between pieces
            {"   T1=37,5   T2=37,4   T3=36,2   HM=55   OUT=1_3_____   05.12.26   14:03:27",
             "37,5|37,4|36,2|55|1_3_____|05.12.26|14:03:27"},
            {"T1=37,5", "37,5|37,5|37,5|37|37,5|T1=37,5|T1=37,5"},  // line ends after T1
            // keys are never compared
            {"A=1,1 B=2,2 C=3,3 D=44 E=________ 01.02.03 04:05:06",
             "1,1 |2,2 |3,3 |44|________|01.02.03|04:05:06"},
            {"Переворот лотков вручную", "Пере|Пере|Пере|Пе|Переворо|вручную|вручную"},  // a note
        };
        for (const auto& [text, fields] : cases) {
            const QString line = QString::fromUtf8(text);
            QCOMPARE(QStringList({get_T1(line), get_T2(line), get_T3(line), get_HM(line),
                                  get_outs(line), get_date(line), get_time(line)})
                         .join(QLatin1Char('|')),
                     QString::fromUtf8(fields));
        }
    }

    void appendingAfterALineEndAndAfterNone() {
        JournalStore j;
        QVERIFY(j.lineCount() == 0 && !j.modified());
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

    // CR LF stays, a lone CR or LF becomes CR LF (LF CR is two line ends);
    // a line end at the very end adds no line.
    void lineEndsOfAnOpenedFile() {
        const char* const cases[][3] = {{"a\r\nb\r\n", "a\r\nb\r\n", "2"},
                                        {"a\rb\r", "a\r\nb\r\n", "2"},
                                        {"a\nb", "a\r\nb", "2"},
                                        {"a\n\rb", "a\r\n\r\nb", "3"},
                                        {"\n\n", "\r\n\r\n", "2"},
                                        {"", "", "0"},
                                        {"заметка\r\n", "заметка\r\n", "1"}};
        for (const auto& [file, held, lines] : cases) {
            JournalStore j;
            j.setFileBytes(QByteArray(file));
            QCOMPARE(j.toBytes(), QByteArray(held));
            QCOMPARE(j.lineCount(), QByteArray(lines).toInt());
            // The same when the bytes arrive one at a time, as a large file's
            // blocks may cut a CR LF.
            JournalStore byBytes;
            JournalStore::Rebuild text(byBytes);
            for (const char c : QByteArray(file)) {
                text.appendFileBytes(QByteArrayView(&c, 1));
            }
            text.commit();
            QCOMPARE(byBytes.toBytes(), QByteArray(held));
        }
    }

    // Lines in the form the program writes are read at fixed places; every
    // line reads the same as by the general reading of the text, and the
    // fixed places take only that form.
    void writtenFormReadsAsTheGeneralReading() {
        const char* const cases[][2] = {
            {"T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27", "written"},
            {"T1=37.5  T2=37.4  T3=36.2  HM=55  OUT=1_3_____  05.12.26 14:03:27", "written"},
            {"T1=00,0  T2=99,9  T3=10,1  HM=100  OUT=________  05.12.26 14:03:27", "written"},
            {"T1=37,5  T2=37,4  T3=36,2  HM=5  OUT=1_3_____  05.12.26 14:03:27", ""},
            {"T1=-5,0  T2=37,4  T3=36,2  HM=55", ""},
            {"T1=9,5  T2=37,4  T3=36,2  HM=55", ""},
            {"T1=100,5  T2=37,4  T3=36,2  HM=55", ""},
            {" T1=37,5  T2=37,4  T3=36,2  HM=55", ""},
            {"T1=37,5   T2=37,4  T3=36,2  HM=55", ""},
            {"T1=37;5  T2=37,4  T3=36,2  HM=55", ""},
            {"T1=37,5  T2=37,4  T3=36,2  HM=5", ""},
            {"A1=37,5  T2=37,4  T3=36,2  HM=55", ""},
            {"T1=ab,c  T2=37,4  T3=36,2  HM=55", ""},
        };
        for (const QChar separator : {QChar(u','), QChar(u'.'), QChar(u';')}) {
            for (const auto& [text, form] : cases) {
                const QLatin1String line(text);
                QCOMPARE(lineValues(line, separator), lineValues(QString(line), separator));
                QCOMPARE(writtenFormValues(QByteArrayView(text)).has_value(), *form != 0);
            }
        }
    }

    // A journal file opened and saved again is the same bytes. Files opened
    // by mistake: text an editor saved with a byte-order mark reads as the
    // same lines; other bytes (NULs too) are kept as they are; what is
    // missing, no regular file, or larger than a journal can be, is refused
    // at once with the reason.
    void filesRoundTripOrAreRefused() {
        QTemporaryDir tmp;
        const QString path = tmp.path() + QStringLiteral("/j.txt");
        const QByteArray original("\r\nT1=37,5  HM=5\r\nзаметка\r\n\r\nlast");
        test::writeFile(path, original);
        JournalStore j;
        j.setFileBytes(readJournalFile(path));
        saveJournalAs(j, tmp.path() + QStringLiteral("/copy.txt"));
        QCOMPARE(test::readFile(tmp.path() + QStringLiteral("/copy.txt")), original);
        QVERIFY_THROWS_EXCEPTION(core::Error,
                                 readJournalFile(tmp.path() + QStringLiteral("/none")));

        const QString text = QStringLiteral("T1=37,5\r\nзаметка\r\n");
        const QByteArray marked[] = {
            QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)(text),
            QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom)(text),
            QStringEncoder(QStringEncoder::Utf32LE, QStringEncoder::Flag::WriteBom)(text),
            "\xEF\xBB\xBF" + text.toUtf8()};
        for (const QByteArray& file : marked) {
            test::writeFile(path, file);
            QCOMPARE(readJournalFile(path), text.toUtf8());
        }
        const QByteArray binary("\0\x01\xFF\xFE\r\n\0", 7);
        test::writeFile(path, binary);
        QCOMPARE(readJournalFile(path), binary);

        const QString fifo = tmp.path() + QStringLiteral("/fifo.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QFile huge(path);
        QVERIFY(huge.resize(kLargestJournalFile + 1));  // sparse: no disk used
        const QString refused[][2] = {{fifo, "It is not a regular file."},
                                      {tmp.path(), "It is not a regular file."},
                                      {path,
                                       "It holds 1024 MB; a journal file may hold at most "
                                       "1024 MB."}};
        for (const auto& [file, reason] : refused) {
            try {
                readJournalFile(file);
                QFAIL(qPrintable(file));
            } catch (const core::Error& e) {
                QVERIFY2(QString::fromUtf8(e.what()).endsWith(reason), e.what());
            }
        }
    }

    // The lines are kept in chunks of 4096: reads at the chunk boundaries,
    // and edits anywhere that keep the journal large, so that they cross
    // boundaries, agree with a plain list of lines. Every edit (unlike an
    // append) changes the revision.
    void chunksAgreeWithAPlainModel() {
        JournalStore j;
        QStringList model{QString()};
        for (int i = 0; i < 9000; ++i) {
            const QString line = QStringLiteral("line %1").arg(i);
            j.append(line);
            model.insert(model.size() - 1, line);
        }
        for (int i : {0, 4095, 4096, 8191, 8192, 8999, 9000}) {
            QCOMPARE(j.line(i), model[i]);
        }
        QRandomGenerator rng(11);
        for (int round = 0; round < 300; ++round) {
            const int a = rng.bounded(j.segmentCount());
            const int b = std::min(j.segmentCount() - 1, a + int(rng.bounded(300)));
            const TextPos from{a, int(rng.bounded(model[a].size() + 1))};
            const TextPos to{
                b, b == a ? int(std::max<qsizetype>(from.column, rng.bounded(model[b].size() + 1)))
                          : int(rng.bounded(model[b].size() + 1))};
            QString text = QStringLiteral("x%1").arg(round);
            for (int k = int(rng.bounded(2 * (b - a) + 2)); k > 0; --k) {
                text += rng.bounded(2) ? QStringLiteral("\r\nnew") : QStringLiteral("\nnew");
            }
            const quint64 revision = j.revision();
            j.replace(from, to, text);
            QVERIFY(j.revision() != revision);
            QStringList parts =
                text.replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
            parts.first().prepend(model[a].left(from.column));
            parts.last().append(model[b].mid(to.column));
            model.erase(model.begin() + a, model.begin() + b + 1);
            for (int k = 0; k < parts.size(); ++k) {
                model.insert(a + k, parts[k]);
            }
            QCOMPARE(j.segmentCount(), int(model.size()));
            for (int i : {0, 4095, 4096, 8191, 8192, int(model.size()) - 1}) {
                QCOMPARE(j.line(i), model.value(i));
            }
        }
        QVERIFY(j.segmentCount() > 8192);
        QCOMPARE(j.textBetween({0, 0}, j.endPos()), model.join(QLatin1Char('\n')));
        const quint64 revision = j.revision();
        j.append(QStringLiteral("more"));
        QCOMPARE(j.revision(), revision);
    }

    // The digest of values agrees with a reading of every line, whatever
    // happened to the journal: appends of record lines and notes, edits
    // within a block, across blocks and across chunks, clear, open and a
    // text taken over from a loader. An append costs only the new line;
    // an edit reads from its own chunk on, not from the start.
    void digestAgreesWithReadingEveryLine() {
        const QChar separator = decimalSeparator().at(0);
        JournalStore j;
        ValueDigest digest(separator);
        QRandomGenerator rng(5);
        // T1 climbs line by line, so that a range that takes one line too
        // many or too few at either end has another minimum or maximum.
        int serial = 0;
        auto recordLine = [&] {
            return makeRecordLine(300 + serial++ % 151, 360 + int(rng.bounded(30)), 362,
                                  20 + int(rng.bounded(70)), QStringLiteral("_2______"),
                                  QDateTime(QDate(2026, 12, 6), QTime(12, 0)));
        };
        auto check = [&](const char* after) {
            digest.sync(j);
            QCOMPARE(digest.lineCount(), j.lineCount());
            for (int round = 0; round < 24; ++round) {
                const int a = int(rng.bounded(j.lineCount() + 1));
                const int b = round == 0 ? j.lineCount()
                                         : std::min(j.lineCount(),
                                                    a + int(rng.bounded(round % 2 ? 140 : 5000)));
                ValueDigest::Range expected;
                for (int i = a; i < b; ++i) {
                    // The general reading of the text, not the loader's fixed places.
                    const auto v = lineValues(QStringView(j.line(i)), separator);
                    if (v) {
                        expected.add(std::array<qint16, 3>{qint16(std::lround((*v)[0] * 10)),
                                                           qint16(std::lround((*v)[1] * 10)),
                                                           qint16(std::lround((*v)[3] * 10))});
                    }
                }
                const ValueDigest::Range got = digest.range(a, b);
                QVERIFY2(got.count == expected.count, after);
                if (expected.count > 0) {
                    QVERIFY2(got.min == expected.min && got.max == expected.max, after);
                }
            }
        };
        for (int i = 0; i < 9000; ++i) {
            j.append(i % 97 == 5 ? QStringLiteral("a note") : recordLine());
            QCOMPARE(digest.sync(j), j.lineCount() - 1);  // only the new line read
            if (i % 1500 == 0) {
                check("appends");
            }
        }
        check("appends");
        for (int round = 0; round < 60; ++round) {
            const int a = 2 + int(rng.bounded(j.lineCount() - 2));
            const int b = std::min(j.lineCount() - 1, a + int(rng.bounded(round % 3 ? 90 : 5000)));
            QString text = recordLine();
            for (int k = int(rng.bounded(4)); k > 0; --k) {
                text += QStringLiteral("\r\n") + (k == 2 ? QStringLiteral("x") : recordLine());
            }
            j.replace({a, 0}, {b, j.lineLength(b)}, text);
            const int chunkStart = a / 4096 * 4096;
            QVERIFY(digest.sync(j) >= std::min(chunkStart, 1));
            check("an edit");
            j.append(recordLine());
            check("an append after an edit");
        }
        j.clear();
        check("clear");
        j.append(recordLine());
        check("an append after clear");
        QByteArray file;
        for (int i = 0; i < 5000; ++i) {
            file += (i % 10 == 3 ? QByteArray("T1=ab,c  T2=37,4") : recordLine().toUtf8()) + "\n";
        }
        j.setFileBytes(file);
        check("open");
        JournalStore loaded;
        loaded.setFileBytes(file.left(file.size() / 2));
        j.takeTextOf(loaded);
        check("a loaded text taken over");
    }

    // A file of some megabytes is read in two halves on two threads, a
    // block at a time: the lines and their digest are those of the file
    // read at once, with or without a UTF-8 mark or a final line end, with
    // every kind of line end around the middle and notes on the way; the
    // digest stays in step once the text is the journal's.
    void largeFilesOpenInHalves() {
        QTemporaryDir tmp;
        const QString path = tmp.path() + QStringLiteral("/month.txt");
        QRandomGenerator rng(11);
        const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\n\r"};
        QByteArray lines;
        while (lines.size() < (6 << 20)) {
            const int i = int(rng.bounded(1000));
            lines += i == 7 ? QByteArray("Переворот лотков")
                            : makeRecordLine(300 + i % 151, 374, 362, 20 + i % 70,
                                             QStringLiteral("_2______"),
                                             QDateTime(QDate(2026, 12, 6), QTime(12, 0)))
                                  .toUtf8();
            lines += ends[rng.bounded(i % 50 == 0 ? 6 : 1)];
        }
        const QChar separator = decimalSeparator().at(0);
        journal::JournalLoader loader;
        for (const QByteArray& file : {lines, "\xEF\xBB\xBF" + lines, lines + "last"}) {
            test::writeFile(path, file);
            JournalStore atOnce;
            atOnce.setFileBytes(readJournalFile(path));
            std::optional<JournalLoader::Result> result;
            loader.start(path, separator, [&](JournalLoader::Result r) { result = std::move(r); });
            QTRY_VERIFY(result.has_value());
            QVERIFY2(result->text, qPrintable(result->error));
            QCOMPARE(result->text->lineCount(), atOnce.lineCount());
            QVERIFY(result->text->toBytes() == atOnce.toBytes());
            ValueDigest fresh(separator);
            fresh.sync(atOnce);
            ValueDigest& loaded = *result->digest;
            QCOMPARE(loaded.lineCount(), fresh.lineCount());
            for (int round = 0; round < 40; ++round) {
                const int a = int(rng.bounded(fresh.lineCount()));
                const int b = round == 0 ? fresh.lineCount() : a + int(rng.bounded(300));
                const ValueDigest::Range want = fresh.range(a, b);
                const ValueDigest::Range got = loaded.range(a, b);
                QCOMPARE(got.count, want.count);
                QVERIFY(want.count == 0 || (got.min == want.min && got.max == want.max));
            }
            JournalStore journal;
            journal.takeTextOf(*result->text);
            QCOMPARE(loaded.sync(journal), journal.lineCount());  // nothing left to read
        }
    }

    // What is on screen after many appends (drawn row by row, scrolled by
    // blitting) is what a full repaint of the same state draws, though its
    // scroll bar repaints only when its thumb moves: often for the first
    // screenfuls, seldom once the journal is long.
    void viewOnScreenMatchesAFullRepaint() {
        View v;
        test::EventCounter barPaints(v.view.verticalScrollBar(), QEvent::Paint);
        for (int i = 0; i < 400; ++i) {
            v.journal.append(QStringLiteral("T1=37,%1  T2=37,4  HM=55").arg(i % 10));
            v.view.moveToEnd();
            QApplication::processEvents();
        }
        QVERIFY2(barPaints.count > 3 && barPaints.count < 100,
                 qPrintable(QString::number(barPaints.count)));
        const QImage onScreen =
            QGuiApplication::primaryScreen()->grabWindow(v.view.winId()).toImage();
        const QImage repainted = v.view.grab().toImage();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 repainted.convertToFormat(QImage::Format_RGB32));
        int dark = 0;  // and the text is there
        const QRect row = v.view.viewport()->geometry();
        for (int x = row.left(); x < row.right(); ++x) {
            for (int y = row.top(); y < row.top() + v.view.fontMetrics().lineSpacing(); ++y) {
                dark += qGray(repainted.pixel(x, y)) < 100;
            }
        }
        QVERIFY(dark > 20);
    }

    // Typing, Enter, Backspace, Delete and the clipboard change the journal;
    // keys that change nothing leave the modified flag alone.
    void viewEditsTheJournal() {
        View v;
        JournalStore& j = v.journal;
        j.append(QStringLiteral("T1=37,5"));
        j.setModified(false);
        v.view.setCaret({0, 0});
        QTest::keyClick(&v.view, Qt::Key_Backspace);
        v.view.moveToEnd();
        QTest::keyClick(&v.view, Qt::Key_Delete);
        QVERIFY(!j.modified());
        QCOMPARE(j.toBytes(), QByteArray("T1=37,5\r\n"));

        v.view.setCaret({0, 3});
        QTest::keyClicks(&v.view, QStringLiteral("9"));
        QCOMPARE(j.line(0), QStringLiteral("T1=937,5"));
        QVERIFY(j.modified());
        QTest::keyClick(&v.view, Qt::Key_Return);
        QCOMPARE(j.line(1), QStringLiteral("37,5"));
        QTest::keyClick(&v.view, Qt::Key_Backspace);
        QCOMPARE(j.line(0), QStringLiteral("T1=937,5"));
        QTest::keyClick(&v.view, Qt::Key_End, Qt::ShiftModifier);
        v.view.copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("37,5"));
        QTest::keyClick(&v.view, Qt::Key_Delete);
        QCOMPARE(j.line(0), QStringLiteral("T1=9"));
    }

    // The horizontal range is the longest line's width: none while every
    // line fits, exactly to its end for a long one, none again when the long
    // line is edited away.
    void horizontalRangeFitsTheLongestLine() {
        const QString record =
            QStringLiteral("T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27");
        View v;
        v.view.resize(v.view.fontMetrics().horizontalAdvance(record) + 40, 120);
        QScrollBar* bar = v.view.horizontalScrollBar();
        // The range reaches a text's end, give or take the frame.
        auto reaches = [&](int textWidth) {
            const int overhang = textWidth - v.view.viewport()->width();
            return bar->maximum() >= overhang && bar->maximum() <= overhang + 10;
        };
        for (int i = 0; i < 50; ++i) {
            v.journal.append(record);
        }
        QApplication::processEvents();
        QCOMPARE(bar->maximum(), 0);
        const QString longLine = QString(120, QLatin1Char('W')) + QStringLiteral("end");
        v.journal.append(longLine);
        QApplication::processEvents();
        QVERIFY2(reaches(v.view.fontMetrics().horizontalAdvance(longLine)),
                 qPrintable(QString::number(bar->maximum())));
        v.journal.replace({50, 0}, {50, int(longLine.size())}, QStringLiteral("short"));
        QApplication::processEvents();
        QCOMPARE(bar->maximum(), 0);

        // A line of a million characters shows its start and an ellipsis:
        // the range is that part's width, a click right of it puts the caret
        // at its end, the keys still reach the line's real end.
        v.journal.append(QString(1000000, QLatin1Char('W')));
        QApplication::processEvents();
        QVERIFY2(reaches(v.view.fontMetrics().horizontalAdvance(QString(5000, QLatin1Char('W')) +
                                                                QChar(0x2026))),
                 qPrintable(QString::number(bar->maximum())));
        v.view.setCaret({51, 0});
        bar->setValue(bar->maximum());
        const int row = 51 - v.view.verticalScrollBar()->value();
        QTest::mouseClick(
            v.view.viewport(), Qt::LeftButton, {},
            QPoint(v.view.viewport()->width() - 2, row * v.view.fontMetrics().lineSpacing() + 3));
        QCOMPARE(v.view.caret(), (TextPos{51, 5000}));
        QTest::keyClick(&v.view, Qt::Key_End);
        QCOMPARE(v.view.caret(), (TextPos{51, 1000000}));
    }
    // A line end before each line, none after the last; the folder and the
    // file are made by the first save, also one with nothing to write. Lines
    // collected before midnight go to the file of the day they are saved on.
    void savesMakeTheDayFile() {
        DayFiles rig;
        QVERIFY(rig.save({}));
        QCOMPARE(test::readFile(rig.file()), QByteArray());
        QVERIFY(rig.save({"a1", "a2", "a3"}));
        QVERIFY(rig.pending.isEmpty());
        QCOMPARE(test::readFile(rig.file()), QByteArray("\r\na1\r\na2\r\na3"));
        QVERIFY(rig.save({"b1", "b2"}));
        QCOMPARE(test::readFile(rig.file()), QByteArray("\r\na1\r\na2\r\na3\r\nb1\r\nb2"));

        rig.clock.set(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 30)));
        rig.pending.extend(QStringLiteral("late"));
        rig.clock.set(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 30)));
        QVERIFY(rig.log.save(rig.pending));
        QVERIFY(!QFile::exists(rig.file("2026-12-31.txt")));
        QCOMPARE(test::readFile(rig.file("2027-01-01.txt")), QByteArray("\r\nlate"));

        // A save of an earlier day that a kill cut short is taken back at the
        // next start, though no save goes to that file again.
        test::writeFile(rig.file("2026-12-30.txt"), "\r\nwhole\r\nhal");
        test::writeFile(rig.file("2026-12-30.txt.appending"), "7");
        DailyLog next([&rig] { return rig.logDir; }, rig.clock);
        QCOMPARE(test::readFile(rig.file("2026-12-30.txt")), QByteArray("\r\nwhole"));
        QVERIFY(!QFile::exists(rig.file("2026-12-30.txt.appending")));
    }

    // A day file that cannot be written loses nothing: the lines wait and
    // go out whole with the first save that works; an append cut short by a
    // full disk takes its fragment back.
    // The operator hears of the first failure of a run and of the save that
    // works again, not of every save; a day file removed meanwhile is made
    // again, one made read-only takes the waiting lines once writable.
    void failedSavesKeepEveryLineForTheNextTry() {
        DayFiles rig;
        test::RecordingBalloons told;
        rig.log.tellFailuresTo(&told);
        QVERIFY(QDir().mkpath(rig.file()));  // refuses writing, also for root
        QVERIFY(!rig.save({"one"}));
        QVERIFY(!rig.save({"two"}));
        QCOMPARE(rig.pending.text(), QStringLiteral("\r\none\r\ntwo"));
        QCOMPARE(told.shown.size(), 1);
        QVERIFY(told.shown[0].text.startsWith("Не удалось сохранить статистику: " + rig.file()));
        QVERIFY(QDir().rmdir(rig.file()));
        QVERIFY(rig.save({}));
        QVERIFY(rig.save({}));
        QCOMPARE(told.shown.size(), 2);
        QCOMPARE(told.shown[1].text, "Статистика снова сохраняется: " + rig.file());
        const QByteArray before = test::readFile(rig.file());
        QCOMPARE(before, QByteArray("\r\none\r\ntwo"));

        const QString line =
            QStringLiteral("T1=37,5  T2=37,4  T3=36,2  HM=55  OUT=1_3_____  05.12.26 14:03:27");
        {
            test::FileSizeLimit full(before.size() + 20);
            QVERIFY(!rig.save({line}));
        }
        QCOMPARE(test::readFile(rig.file()), before);
        QCOMPARE(told.shown.size(), 3);
        QVERIFY(told.shown[2].text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
        QVERIFY(rig.save({}));
        QCOMPARE(test::readFile(rig.file()), before + "\r\n" + line.toUtf8());
        QVERIFY(QFile::remove(rig.file()));
        QVERIFY(rig.save({"three"}));
        QCOMPARE(test::readFile(rig.file()), QByteArray("\r\nthree"));
        QCOMPARE(told.shown.size(), 4);

        // Made read-only while the program runs, in a folder it may write.
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(rig.logDir, readOnly | QFile::WriteOwner | QFile::WriteGroup |
                                                      QFile::WriteOther | QFile::ExeOwner |
                                                      QFile::ExeGroup | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(rig.file(), readOnly));
        {
            test::WithoutRootRights checked;
            QVERIFY(!rig.save({"four"}));
            QVERIFY(!rig.save({"five"}));
        }
        QCOMPARE(test::readFile(rig.file()), QByteArray("\r\nthree"));
        QCOMPARE(told.shown.size(), 5);
        QVERIFY(QFile::setPermissions(rig.file(), readOnly | QFile::WriteOwner));
        QVERIFY(rig.save({}));
        QCOMPARE(test::readFile(rig.file()), QByteArray("\r\nthree\r\nfour\r\nfive"));
        QCOMPARE(told.shown.size(), 6);
        QCOMPARE(QDir(rig.logDir).entryList(QDir::Files), QStringList{"2026-12-06.txt"});
    }

    // SIGKILL at any moment, also in the middle of a save: every day file
    // holds whole lines, each once and in order (once the next start has
    // taken back an append the kill cut short). The settings file the writer
    // also writes is checked under kills by tst_settingsfile.
    void killedAtAnyMoment() {
        QTemporaryDir tmp;
        const QString ini = tmp.path() + QStringLiteral("/incubator-monitor.ini");
        QRandomGenerator random(11);
        int cutShort = 0;
        for (int round = 0; round < 30; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(IM_KILL_WRITER_PATH),
                         {tmp.path(), ini, QString::number(qint64(round) * 1000000)});
            QVERIFY(writer.waitForReadyRead(5000));
            QTest::qWait(int(random.bounded(20, 200)));
            QVERIFY(test::sendSignal(writer, SIGKILL));
            QVERIFY(writer.waitForFinished(5000));
            cutShort += int(!QDir(tmp.path()).entryList({"*.appending"}, QDir::Files).isEmpty());
        }
        DailyLog next([&tmp] { return tmp.path(); }, test::FakeClock());
        qint64 last = -1;
        qint64 lines = 0;
        for (const QString& name : QDir(tmp.path()).entryList({"*.txt"}, QDir::Files)) {
            const QByteArray text = test::readFile(tmp.path() + u'/' + name);
            QVERIFY(text.startsWith("\r\n"));
            for (const QByteArray& line : text.mid(2).split('\n')) {
                const QByteArray whole = line.endsWith('\r') ? line.chopped(1) : line;
                QVERIFY2(whole.size() == 68 && whole.startsWith("LINE ") &&
                             whole.endsWith(QByteArray(50, 'x')),
                         whole.constData());
                const qint64 number = whole.mid(5, 12).toLongLong();
                QVERIFY(number > last);
                last = number;
                ++lines;
            }
        }
        QVERIFY(lines > 1000);
        qInfo("%lld lines kept over 30 kills, %d saves cut short and taken back", lines, cutShort);
    }
};

IM_TEST_MAIN(TestJournal)
#include "tst_journal.moc"
