#include "analysis/OutputAnalysis.h"
#include "analysis/TFormLog.h"
#include "chart/ChartWindow.h"
#include "core/AppLocation.h"
#include "journal/FileSummary.h"
#include "journal/RecordLine.h"
#include "journal/ValueDigest.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace im;

namespace {

// Line i is made at 14:00:i with T1 37,i, T2 36,i, HM 5i and the first eight
// characters as outputs, anything after them typed after the time; "" is an
// empty line and other text a note typed into the journal.
QString lineFor(int i, const QString& outputs) {
    if (outputs.isEmpty() || (!outputs.startsWith(QLatin1Char('_')) && !outputs[0].isDigit())) {
        return outputs;
    }
    return journal::makeRecordLine(370 + i, 360 + i, 350, 50 + i, outputs.left(8),
                                   QDateTime(QDate(2026, 12, 5), QTime(14, 0, i))) +
           outputs.mid(8);
}

void fill(journal::JournalStore& journal, const QStringList& outputs) {
    for (int i = 0; i < outputs.size(); ++i) {
        journal.append(lineFor(i, outputs[i]));
    }
}

QStringList reportLines(const journal::JournalStore& report) {
    QStringList lines;
    for (int i = 0; i < report.lineCount(); ++i) {
        lines << report.line(i);
    }
    return lines;
}

// The report as "second:event" for each line after the heading, the event
// being what follows the four spaces up to the tail.
QStringList events(const journal::JournalStore& report) {
    QStringList found;
    const QStringList lines = reportLines(report).mid(1);
    for (const QString& line : lines) {
        static const QRegularExpression tail(QStringLiteral("  (T1=.*|\\d+%)$"));
        const QString event = line.mid(22).remove(tail).trimmed();
        found << QStringLiteral("%1:%2").arg(line.mid(16, 2).toInt()).arg(event);
    }
    return found;
}

// What a reader of a line's numbers, run as the program runs it in the
// session's locale, made of a journal: the lines it took, the highest T1
// and the highest humidity.
QString readWith(const QString& reader, const journal::JournalStore& journal) {
    const QChar separator = journal::decimalSeparator().at(0);
    struct {
        int lines = 0;
        double t1 = 0;
        double hm = 0;
    } r;
    if (reader == "chart") {
        chart::ChartModel model;
        for (int c = 0; c < 4; ++c) {
            model.Curves().add();
        }
        chart::ChartWindow(journal, model).PlotChartWindow(journal.lineCount() - 1);
        const std::vector<double>& t1 = model.Curves()[0].YValues();
        const std::vector<double>& hm = model.Curves()[3].YValues();
        r.lines = int(t1.size());
        r.t1 = t1.empty() ? 0 : *std::max_element(t1.begin(), t1.end());
        r.hm = hm.empty() ? 0 : *std::max_element(hm.begin(), hm.end());
    } else if (reader == "overview") {
        journal::ValueDigest digest(separator);
        digest.sync(journal);
        const journal::ValueDigest::Range range = digest.range(0, journal.lineCount());
        r = {range.count, range.max[0] / 10.0, range.max[2] / 10.0};
    } else if (reader == "daily summary") {
        journal::JournalStore report;
        analysis::writeDailySummary(journal, {}, report);
        // Read back in the session's locale: written with its separator.
        const QStringList row = report.line(1).split('\t');
        r = {row.value(1).toInt(), QLocale().toDouble(row.value(3)),
             QLocale().toDouble(row.value(9))};
    } else {
        const journal::FileSummary day = journal::summarizeDayFile(journal.toBytes(), separator);
        r = {int(day.lines), day.t1.max, day.hm.max};
    }
    return QStringLiteral("%1 lines, T1 up to %2, HM up to %3").arg(r.lines).arg(r.t1).arg(r.hm);
}

}  // namespace

class TestAnalysis : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportEvents_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("buzzer switches")
            << "Z" << QStringList{"1_______", "1_______", "________", "1_______"}
            << QStringList{"0:Включение", "2:_Выключение", "3:Включение"};
        QTest::newRow("off at the start reports nothing")
            << "O" << QStringList{"________", "______7_", "______7_", "________", "________"}
            << QStringList{"1:Включение", "3:_Выключение"};
        QTest::newRow("tray: reverse straight to movement")
            << "L"
            << QStringList{"____56__", "_____6__", "____5___", "________", "________", "_____6__"}
            << QStringList{"0:Реверс", "1:Движение", "2:Реверс", "3:_Выключение", "5:Движение"};
        QTest::newRow("empty lines and notes change nothing")
            << "A" << QStringList{"", "_______8", "", "заметка", "_______8", "________", ""}
            << QStringList{"1:Включение", "5:_Выключение"};
        QTest::newRow("each output watches its own position")
            << "N" << QStringList{"1_3_5_78", "_2______", "12345678", "1_345678"}
            << QStringList{"1:Включение", "3:_Выключение"};
        QTest::newRow("a line with a note after its time still counts")
            << "H" << QStringList{"___4____ проверка", "________"}
            << QStringList{"0:Увлажнение включено", "1:_Выключение"};
    }
    void reportEvents() {
        QFETCH(QString, kind);
        QFETCH(QStringList, outputs);
        QFETCH(QStringList, expected);
        journal::JournalStore journal;
        fill(journal, outputs);
        const analysis::ReportKind* k = analysis::reportKind(kind.at(0).toLatin1());
        QVERIFY(k);
        journal::JournalStore report;
        analysis::writeReport(*k, journal, report);
        QCOMPARE(events(report), expected);
    }

    void exactLines() {
        journal::JournalStore journal;
        fill(journal, {"_23_5___", "_23_5___", "___4____", "____56__"});
        auto run = [&journal](char kind) {
            journal::JournalStore report;
            analysis::writeReport(*analysis::reportKind(kind), journal, report);
            return reportLines(report);
        };
        QCOMPARE(run('D'), (QStringList{"- Разность между Т1 и Т2 -",
                                        "05.12.26  14:00:00    Включение  T1=37,0 T2=36,0",
                                        "05.12.26  14:00:02    _Выключение  T1=37,2 T2=36,2"}));
        QCOMPARE(run('N').mid(1), run('D').mid(1));
        QCOMPARE(run('N').value(0), QStringLiteral("- Включение вывода НАГРЕВ (2) -"));
        QCOMPARE(run('H'),
                 (QStringList{"- Влажность -", "05.12.26  14:00:02    Увлажнение включено  52%",
                              "05.12.26  14:00:03    _Выключение  53%"}));
        QCOMPARE(run('L'), (QStringList{"- Движение лотков -", "05.12.26  14:00:00    Реверс  ",
                                        "05.12.26  14:00:02    _Выключение",
                                        "05.12.26  14:00:03    Реверс  "}));
        QCOMPARE(run('Z'), QStringList{"- Звуковая сигнализация -"});
        QCOMPARE(run('O'), QStringList{"- Включение вывода аварийного охлаждения -"});
        QCOMPARE(run('A'), QStringList{"- Включение вывода аварийного реле -"});
    }

    void dispatcher() {
        journal::JournalStore journal;
        fill(journal, {"1___5___", "________"});
        journal::JournalStore report;
        analysis::OutputAnalysis analysis;
        analysis.run(journal, report);  // no kind chosen yet
        QVERIFY(report.isEmpty());
        analysis.setKind('L');
        analysis.run(journal, report);
        QCOMPARE(report.lineCount(), 3);
        analysis.setKind('Z');
        analysis.run(journal, report);
        QCOMPARE(reportLines(report),
                 (QStringList{"- Звуковая сигнализация -", "05.12.26  14:00:00    Включение",
                              "05.12.26  14:00:01    _Выключение"}));
        // Every line ends with a line end, as lines added to a text view do.
        QVERIFY(report.toBytes().endsWith("_Выключение\r\n"));
        analysis.setKind('X');
        analysis.run(journal, report);
        QCOMPARE(report.lineCount(), 3);
        journal::JournalStore empty;
        analysis.setKind('H');
        analysis.run(empty, report);
        QCOMPARE(reportLines(report), QStringList{"- Влажность -"});
    }

    // A line a date, in the order the dates come; the time of a line lasts
    // until the next one, across midnight too, but not over a gap of more
    // than five minutes; notes are left out; tray turns are switch-ons of
    // output 5 or 6 (not the lines it stays on); the bands come from the
    // window when the report runs.
    void dailySummary() {
        const struct {
            int t1, t2, hm;
            const char* outputs;
            int day, hour, minute;
        } lines[] = {{370, 370, 50, "_2______", 5, 10, 0},  {390, 370, 50, "____5___", 5, 10, 1},
                     {370, 370, 95, "____5___", 5, 10, 2},  {370, 350, 50, "_____6__", 5, 10, 20},
                     {370, 370, 50, "____5___", 5, 10, 21}, {370, 370, 50, "________", 5, 23, 59},
                     {370, 370, 50, "________", 6, 0, 1},   {350, 370, 20, "_2______", 6, 0, 2},
                     {370, 370, 50, "________", 6, 0, 4}};
        journal::JournalStore journal;
        journal.append(QString());
        for (const auto& l : lines) {
            journal.append(journal::makeRecordLine(
                l.t1, l.t2, 360, l.hm, QString::fromLatin1(l.outputs),
                QDateTime(QDate(2026, 12, l.day), QTime(l.hour, l.minute))));
            if (l.minute == 2) {
                journal.append(QStringLiteral("заметка"));
            }
        }
        analysis::OutputAnalysis analysis;
        int asked = 0;
        analysis.setBands([&asked] {
            ++asked;
            return journal::ValueBands{};
        });
        analysis.setKind(analysis::OutputAnalysis::kDailySummary);
        journal::JournalStore report;
        analysis.run(journal, report);
        QCOMPARE(asked, 1);
        const QStringList got = reportLines(report);
        QCOMPARE(got.size(), 3);
        QVERIFY(got[0].startsWith(QStringLiteral("Дата\tСтрок\tT1 мин\t")));
        QCOMPARE(got[0].count('\t'), 15);
        QCOMPARE(got.mid(1),
                 (QStringList{"05.12.26\t6\t37,0\t39,0\t37,3\t35,0\t37,0\t36,7\t50\t95\t57,5\t1,0\t"
                              "1,0\t0,0\t3\t20,0",
                              "06.12.26\t3\t35,0\t37,0\t36,3\t37,0\t37,0\t37,0\t20\t50\t40,0\t2,0\t"
                              "0,0\t2,0\t0\t66,7"}));
    }

    // A day file written in one locale and read in another: commas in an
    // English session, full stops in a Russian one, both in one file. Every
    // reader of a line's numbers takes all of its lines.
    void filesOfEitherDecimalSeparator_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QStringList>("writers");
        QTest::addColumn<QString>("session");
        const struct {
            const char* name;
            QStringList writers;
            QString session;
        } files[] = {{"commas in English", {"ru_RU"}, "en_US"},
                     {"full stops in Russian", {"en_US"}, "ru_RU"},
                     {"both in English", {"ru_RU", "en_US"}, "en_US"}};
        for (const char* reader : {"chart", "overview", "daily summary", "recorder's summary"}) {
            for (const auto& f : files) {
                QTest::addRow("%s, %s", reader, f.name)
                    << QString::fromLatin1(reader) << f.writers << f.session;
            }
        }
    }
    void filesOfEitherDecimalSeparator() {
        QFETCH(QString, reader);
        QFETCH(QStringList, writers);
        QFETCH(QString, session);
        const QLocale saved;
        journal::JournalStore journal;
        const int t1[] = {375, 382, 369};
        for (int i = 0; i < 3; ++i) {
            QLocale::setDefault(QLocale(writers[i % writers.size()]));
            journal.append(journal::makeRecordLine(t1[i], 374, 362, 50 + 5 * i,
                                                   QStringLiteral("_2______"),
                                                   QDateTime(QDate(2026, 12, 5), QTime(14, 0, i))));
        }
        journal.append(QStringLiteral("заметка"));
        QLocale::setDefault(QLocale(session));
        const QString got = readWith(reader, journal);
        QLocale::setDefault(saved);
        QCOMPARE(got, QStringLiteral("3 lines, T1 up to 38.2, HM up to 60"));
    }

    // A report opens at its heading, wherever the window's text ends; the
    // caret covers no part of a letter; the summary's columns stand one
    // under the other, apart, while its text keeps the tabs.
    void dataWindowReadsWell() {
        QTemporaryDir dir;
        core::AppLocation::setExecutablePathForTesting(dir.path() + QStringLiteral("/monitor"));
        journal::JournalStore journal;
        QStringList outputs;
        for (int i = 0; i < 400; ++i) {
            outputs << (i % 2 ? QStringLiteral("1_______") : QStringLiteral("________"));
        }
        fill(journal, outputs);
        analysis::OutputAnalysis analysis;
        analysis.setKind('Z');
        analysis::TFormLog window(journal, analysis,
                                  [](QWidget*, const QFont&) { return std::optional<QFont>(); });
        showExposed(window);
        QVERIFY(window.report.lineCount() > 10 * window.Memo1->visibleLineCount());
        QCOMPARE(window.Memo1->firstVisibleLine(), 0);

        journal::JournalView& view = *window.Memo1;
        window.activateWindow();
        view.setFocus();
        QTRY_VERIFY(view.hasFocus());
        const QImage withCaret = view.viewport()->grab().toImage();
        view.clearFocus();
        const QImage without = view.viewport()->grab().toImage();
        QVERIFY(withCaret != without);
        const QRgb paper = without.pixel(without.width() - 1, 0);
        for (int y = 0; y < without.height(); ++y) {
            for (int x = 0; x < 12; ++x) {
                if (without.pixel(x, y) != paper) {
                    QVERIFY2(withCaret.pixel(x, y) == without.pixel(x, y),
                             qPrintable(QStringLiteral("a letter's pixel %1,%2").arg(x).arg(y)));
                }
            }
        }

        window.NDailySummary->trigger();
        QCOMPARE(window.report.lineCount(), 2);  // the heading and the one date
        QVERIFY(window.report.toBytes().contains("Дата\tСтрок\t"));
        const QFontMetrics metrics = view.fontMetrics();
        QList<int> starts;  // of the first line's cells
        for (int line = 0; line < 2; ++line) {
            const QStringList cells = window.report.line(line).split('\t');
            QCOMPARE(cells.size(), 16);
            int column = 0;
            for (int c = 0; c < cells.size(); ++c) {
                const int x = view.xOf({line, column});
                if (line == 0) {
                    starts << x;
                }
                QCOMPARE(x, starts[c]);
                if (c > 0) {
                    const int end = view.xOf({line, column - 1});
                    QVERIFY2(x - end >= metrics.horizontalAdvance(QLatin1Char(' ')),
                             qPrintable(cells[c]));
                }
                column += int(cells[c].size()) + 1;
            }
        }
        core::AppLocation::setExecutablePathForTesting({});
    }

    void dataWindow() {
        QTemporaryDir dir;
        core::AppLocation::setExecutablePathForTesting(dir.path() + QStringLiteral("/monitor"));
        const QString ini = dir.path() + QStringLiteral("/monitor.ini");
        journal::JournalStore journal;
        fill(journal, {"_______8", "________"});
        analysis::OutputAnalysis analysis;
        analysis.setKind('H');
        std::optional<QFont> answer;
        int asked = 0;
        auto chooseFont = [&](QWidget*, const QFont&) {
            ++asked;
            return answer;
        };
        auto window = std::make_unique<analysis::TFormLog>(journal, analysis, chooseFont);
        QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
        QStringList menus;
        for (QAction* menu : window->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                menus << (item->isSeparator() ? QStringLiteral("-") : item->text());
            }
        }
        QCOMPARE(menus.join('|'), QStringLiteral("Перевороты лотков|Влажность|Разность T1 "
                                                 "T2|Включение нагрева|Звуковой сигнал|Аварийное "
                                                 "охлаждение|Аварийное реле|Сводка по "
                                                 "дням|-|Выход|Копировать все|-|Шрифт"));
        QCOMPARE(reportLines(window->report), QStringList{"- Влажность -"});

        // The relay report replaces the humidity report; copy all takes it whole.
        window->N8->trigger();
        QCOMPARE(analysis.kind(), 'A');
        const QStringList relay = reportLines(window->report);
        QCOMPARE(relay.size(), 3);
        QCOMPARE(relay[0], QStringLiteral("- Включение вывода аварийного реле -"));
        window->N12->trigger();
        QCOMPARE(QApplication::clipboard()->text(), relay.join('\n') + '\n');
        QVERIFY(window->Memo1->hasSelection());
        // New journal lines do not change the report shown.
        journal.append(lineFor(2, QStringLiteral("_______8")));
        QCOMPARE(reportLines(window->report), relay);

        // A cancelled font dialog writes nothing; a chosen font keeps name
        // and size only, and the next window starts with it.
        window->N13->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(!QFile::exists(ini));
        QFont chosen(QStringLiteral("DejaVu Serif"), 15);
        chosen.setBold(true);
        chosen.setItalic(true);
        answer = chosen;
        window->N13->trigger();
        QCOMPARE(window->Memo1->font().pointSize(), 15);
        QVERIFY(!window->Memo1->font().bold() && !window->Memo1->font().italic());
        const settings::SettingsFile file(ini);
        QCOMPARE(file.read(settings::keys::FontNameLog), chosen.family());
        QCOMPARE(file.read(settings::keys::FontSizeLog), 15);
        // A size the next window could not start with is refused, and said.
        test::ScopedErrorRecorder errors;
        answer = QFont(QStringLiteral("DejaVu Sans"), 73);
        window->N13->trigger();
        QCOMPARE(errors.messages,
                 QStringList{"Шрифт больше 72 пунктов не годится: шрифт не изменён."});
        QCOMPARE(window->Memo1->font().pointSize(), 15);
        QCOMPARE(settings::SettingsFile(ini).read(settings::keys::FontSizeLog), 15);
        window.reset();
        analysis::TFormLog next(journal, analysis, chooseFont);
        QCOMPARE(next.Memo1->font().family(), chosen.family());
        QCOMPARE(next.Memo1->font().pointSize(), 15);
        QVERIFY(!next.Memo1->font().bold());
        QCOMPARE(reportLines(next.report).size(), 4);  // the run sees the new line
        core::AppLocation::setExecutablePathForTesting({});
    }
};

IM_TEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
