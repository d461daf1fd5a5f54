#pragma once

#include <QDate>
#include <QString>

class QWidget;

namespace im::journal {
class JournalStore;
}

namespace im::app {

class Dialogs;

// "Сохранить как..": the journal to a file the operator names (the day's
// file name proposed); an existing file is replaced only after "Такой файл
// есть.  Продолжить?" is answered yes. Returns whether it was saved; throws
// core::Error when the file cannot be written.
bool saveJournalAsked(QWidget& window, Dialogs& dialogs, const QDate& today,
                      const journal::JournalStore& journal);

// "Сохранить график как..": the widget as shown, at its size, as a PNG
// named and confirmed in the same way, replaced atomically.
void saveChartAsked(QWidget& window, Dialogs& dialogs, QWidget& chart);

}  // namespace im::app
