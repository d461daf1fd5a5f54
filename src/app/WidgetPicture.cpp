#include "app/WidgetPicture.h"

#include "core/AtomicFile.h"
#include "core/ErrorReport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstring>

namespace im::app {

void saveWidgetPicture(QWidget& widget, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    widget.grab().toImage().save(&buffer, "PNG");
    if (const int err = core::replaceFileAtomically(path, png); err != 0) {
        throw core::Error(
            QCoreApplication::translate("JournalFiles", "Cannot create file \"%1\". %2")
                .arg(path, QString::fromLocal8Bit(std::strerror(err))));
    }
}

}  // namespace im::app
