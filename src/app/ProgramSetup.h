#pragma once

class QApplication;

namespace im::app {

// What the program sets up before its first window: the locale (numbers and
// record lines follow the system's), its name, its icon, and the toolkit's
// own translations for the locale, so that standard buttons and the file,
// colour and font dialogs speak the operator's language. No application
// display name is set: the toolkit would append it to every window title.
// Returns whether the toolkit's translations were found.
bool setUpProgram(QApplication& app);

}  // namespace im::app
