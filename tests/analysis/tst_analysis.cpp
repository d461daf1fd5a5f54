#include "analysis/OutputAnalysis.h"
#include "analysis/TFormLog.h"
#include "core/AppLocation.h"
#include "journal/RecordLine.h"
#include "settings/SettingsFile.h"
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
    // output 5 or 6; the bands come from the window when the report runs.
    void dailySummary() {
        const struct {
            int t1, t2, hm;
            const char* outputs;
            int day, hour, minute;
        } lines[] = {{370, 370, 50, "_2______", 5, 10, 0},  {390, 370, 50, "____5___", 5, 10, 1},
                     {370, 370, 95, "________", 5, 10, 2},  {370, 350, 50, "_____6__", 5, 10, 20},
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
                                                 "охлаждение|Аварийное реле|-|Выход|Сводка по "
                                                 "дням|Копировать все|-|Шрифт"));
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
