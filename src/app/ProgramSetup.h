#pragma once

class QApplication;
class QLocale;
class QString;
class QTranslator;

namespace im::app {

// What the program sets up before its first window: the locale (numbers and
// record lines follow the system's), its name, its icon, and the toolkit's
// own translations for the locale, so that standard buttons and the file,
// colour and font dialogs speak the operator's language. No application
// display name is set: the toolkit would append it to every window title.
// The program's own catalogue for the locale is installed too (none is
// needed for Russian, the language of its texts). Returns whether the
// toolkit's translations were found.
bool setUpProgram(QApplication& app);

// The program's catalogue for the locale: one in the folder given (the
// executable's), named after the program and the locale
// ("incubator-monitor_de.qm"), replaces the one built in, so that an
// operator can add or mend a language. Returns whether one was found.
bool loadProgramCatalogue(QTranslator& translator, const QLocale& locale, const QString& folder);

}  // namespace im::app
