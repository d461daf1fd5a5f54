#pragma once

#include "settings/SettingsFile.h"

#include <QFont>

class QWidget;

namespace im::journal {

// The largest size a view's font is given from the settings: a size no font
// dialog offers would draw the journal as unreadable boxes.
inline constexpr int kLargestFontSize = 72;

// The part of a chosen font that the program keeps: its name and size; the
// style and the colour are not taken.
QFont nameAndSizeOf(const QFont& font);

// Gives a view the font stored under a name and a size key; a missing key
// keeps the view's current name or size, a size above kLargestFontSize
// gives that size.
void applyStoredFont(QWidget& view, const settings::SettingsFile& file,
                     const settings::StringKey& name, const settings::IntKey& size);

// A chosen font larger than kLargestFontSize is refused, with the reason,
// rather than come back smaller at the next start.
void refuseOversizedFont(const QFont& font);

// Stores a font's name and size under the keys.
void storeFont(settings::SettingsFile& file, const settings::StringKey& name,
               const settings::IntKey& size, const QFont& font);

}  // namespace im::journal
