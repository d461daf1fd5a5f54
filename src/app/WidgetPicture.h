#pragma once

#include <QString>

class QWidget;

namespace im::app {

// The widget as it is shown, at its size, as a PNG file that replaces the
// file at the path atomically: a failed write leaves the old file whole.
// Throws core::Error, "Cannot create file" with the reason, when the file
// cannot be written.
void saveWidgetPicture(QWidget& widget, const QString& path);

}  // namespace im::app
