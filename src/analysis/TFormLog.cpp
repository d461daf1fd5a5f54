#include "analysis/TFormLog.h"

#include "core/ErrorReport.h"
#include "journal/ViewFont.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QStatusBar>

namespace im::analysis {

namespace keys = settings::keys;

QString reportCaption(int index) {
    static const char* const kCaptions[] = {QT_TRANSLATE_NOOP("TFormLog", "Перевороты лотков"),
                                            QT_TRANSLATE_NOOP("TFormLog", "Влажность"),
                                            QT_TRANSLATE_NOOP("TFormLog", "Разность T1 T2"),
                                            QT_TRANSLATE_NOOP("TFormLog", "Включение нагрева"),
                                            QT_TRANSLATE_NOOP("TFormLog", "Звуковой сигнал"),
                                            QT_TRANSLATE_NOOP("TFormLog", "Аварийное охлаждение"),
                                            QT_TRANSLATE_NOOP("TFormLog", "Аварийное реле")};
    return QCoreApplication::translate("TFormLog", kCaptions[index]);
}

TFormLog::TFormLog(const journal::JournalStore& journal, OutputAnalysis& analysis,
                   ChooseFont chooseFont, QWidget* parent)
    : QMainWindow(parent),
      journal_(journal),
      analysis_(analysis),
      chooseFont_(std::move(chooseFont)) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("TFormLog", "Данные"));
    resize(543, 455);

    Memo1 = new journal::JournalView(report, this);
    setCentralWidget(Memo1);
    StatusBar1 = statusBar();

    QMenu* reports = menuBar()->addMenu(QCoreApplication::translate("TFormLog", "Анализ"));
    QAction** items[] = {&N2, &N3, &N4, &N5, &N6, &N7, &N8};
    for (int i = 0; i < 7; ++i) {
        const char kind = reportKinds()[static_cast<std::size_t>(i)].letter;
        *items[i] = reports->addAction(reportCaption(i), this, [this, kind] {
            core::runGuarded([this, kind] { runReport(kind); });
        });
    }
    NDailySummary = reports->addAction(
        QCoreApplication::translate("TFormLog", "Сводка по дням"), this,
        [this] { core::runGuarded([this] { runReport(OutputAnalysis::kDailySummary); }); });
    reports->addSeparator();
    N10 =
        reports->addAction(QCoreApplication::translate("TFormLog", "Выход"), this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(QCoreApplication::translate("TFormLog", "Правка"));
    N12 = edit->addAction(QCoreApplication::translate("TFormLog", "Копировать все"), this,
                          [this] { N12Click(); });
    // A selection in the report is copied by the report's own Ctrl+C.
    N12->setShortcut(QKeySequence::Copy);
    edit->addSeparator();
    N13 = edit->addAction(QCoreApplication::translate("TFormLog", "Шрифт"), this,
                          [this] { core::runGuarded([this] { N13Click(); }); });

    core::runGuarded([this] { FormCreate(); });
}

void TFormLog::FormCreate() {
    journal::applyStoredFont(*Memo1, settings::SettingsFile::forApplication(), keys::FontNameLog,
                             keys::FontSizeLog);
    showReport();
}

void TFormLog::runReport(char kind) {
    analysis_.setKind(kind);
    showReport();
}

void TFormLog::showReport() {
    // The summary's columns one under the other; its text keeps the tabs
    // for a spreadsheet. (Aligning measures every line: not while an output
    // report of millions of lines is written.)
    Memo1->setColumnsAligned(false);
    analysis_.run(journal_, report);
    Memo1->setColumnsAligned(analysis_.kind() == OutputAnalysis::kDailySummary);
    // From its heading on, wherever the last report was read.
    Memo1->setCaret({0, 0});
}

void TFormLog::N12Click() {
    Memo1->selectAll();
    Memo1->copy();
}

void TFormLog::N13Click() {
    const std::optional<QFont> chosen = chooseFont_(this, Memo1->font());
    if (!chosen) {
        return;
    }
    journal::refuseOversizedFont(*chosen);
    Memo1->setFont(journal::nameAndSizeOf(*chosen));
    settings::SettingsFile file = settings::SettingsFile::forApplication();
    journal::storeFont(file, keys::FontNameLog, keys::FontSizeLog, *chosen);
}

}  // namespace im::analysis
