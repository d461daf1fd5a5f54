#pragma once

#include "analysis/OutputAnalysis.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"

#include <QFont>
#include <QMainWindow>

#include <functional>
#include <optional>

class QAction;
class QStatusBar;

namespace im::analysis {

// The Data window: one output report in a text view, the other reports
// from its own "Анализ" menu, "Копировать все" and the report font, kept
// under NameLog and SizeLog. It deletes itself when closed.
class TFormLog : public QMainWindow {
    Q_OBJECT
public:
    // The font dialog, answered by the operator (or by a test).
    using ChooseFont = std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)>;

    TFormLog(const journal::JournalStore& journal, OutputAnalysis& analysis, ChooseFont chooseFont,
             QWidget* parent = nullptr);

    // Sets the report kind and runs the report again in this window (N2Click
    // to N8Click).
    void runReport(char kind);
    void N12Click();
    // "Шрифт": the report's font; a size above the largest one the window
    // would start with again is refused with a message.
    void N13Click();

    // The report's text, shown by Memo1 as the journal is shown: a report of
    // hundreds of thousands of lines costs about what its text does.
    journal::JournalStore report;
    journal::JournalView* Memo1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;
    QAction* N7 = nullptr;
    QAction* N8 = nullptr;
    QAction* N10 = nullptr;
    QAction* NDailySummary = nullptr;  // "Сводка по дням", after the seven reports
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;

private:
    void FormCreate();
    // Runs the report of the current kind and shows it from its first line.
    void showReport();

    const journal::JournalStore& journal_;
    OutputAnalysis& analysis_;
    ChooseFont chooseFont_;
};

// The captions of the report commands in menu order, the same in both
// "Анализ" menus.
QString reportCaption(int index);

}  // namespace im::analysis
