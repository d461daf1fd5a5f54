#pragma once

#include <QString>

class QMenuBar;
class QWidget;

namespace im::core {

// The caption with an access key (the letter underlined and reached with
// Alt): the first letter of one of its words that no neighbour has taken,
// else any free letter or digit; the words stay as they are. `taken` holds
// the neighbours' keys (lower case) and gets this one. A caption that has
// its key already keeps it; one with no free character is left as it is.
QString withMnemonic(const QString& caption, QString& taken);

// Access keys for every menu of the bar and every item of each menu
// (submenus too); the menus' own keys are distinct among the bar's, the
// items' among their menu's. Hidden entries take none.
void addMnemonics(QMenuBar* bar);

// F10 opens the window's first menu from any of its controls, as on the
// other desktops' programs; the toolkit already does it for a lone Alt.
void openMenuOnF10(QWidget* window, QMenuBar* bar);

// All of the above for a window: access keys and F10 for its menus (when it
// has a menu bar); a window over another one that is no dialog (which does
// it by itself) closes on Escape.
void giveKeyboardWays(QWidget* window, bool overAnother);

}  // namespace im::core
