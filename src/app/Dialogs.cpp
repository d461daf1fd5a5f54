#include "app/Dialogs.h"

#include "core/AppLocation.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>

namespace im::app {

namespace {

// A message box is as wide as its text and buttons; a short text leaves
// the title cut where the frame centres it and draws its buttons over it
// (the frames Qt draws itself on Wayland, GNOME's): "Завершение работ".
// The box is made wide enough for its title in a bold face with room for
// the frame's buttons on either side.
void makeRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) {
        return;
    }
    QFont bold = box.font();
    bold.setBold(true);
    constexpr int kFrameButtons = 90;
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 2 * kFrameButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() != 2) {
        return filter;
    }
    return parts[0] + QStringLiteral(" (") + parts[1] + QLatin1Char(')');
}

QString QtDialogs::folder() const {
    return folder_.isEmpty() ? core::AppLocation::logDirPath() : folder_;
}

void QtDialogs::usedFolderOf(const QString& path) {
    if (!path.isEmpty()) {
        folder_ = QFileInfo(path).absolutePath();
    }
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter, const QString& proposedName,
                                const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setDirectory(folder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(qtFilter(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    usedFolderOf(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter, const QString& fileName) {
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QString(), fileName.isEmpty() ? folder() : fileName, qtFilter(filter));
    usedFolderOf(chosen);
    return chosen;
}

QMessageBox::StandardButton QtDialogs::question(QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    makeRoomForTitle(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtDialogs::message(QWidget* parent, const QString& title, const QString& text,
                        QMessageBox::Icon icon) {
    // Texts join their lines with CR LF; the box breaks lines at LF alone.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon, title, shown, QMessageBox::Ok, parent);
    makeRoomForTitle(box);
    box.exec();
}

std::optional<QColor> QtDialogs::color(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QFont> QtDialogs::font(QWidget* parent, const QFont& initial,
                                     const std::function<void(const QFont&)>& apply) {
    QFontDialog dialog(initial, parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (auto* buttons = apply ? dialog.findChild<QDialogButtonBox*>() : nullptr) {
        QPushButton* applyButton = buttons->addButton(
            QCoreApplication::translate("Dialogs", "Применить"), QDialogButtonBox::ApplyRole);
        QObject::connect(applyButton, &QPushButton::clicked, &dialog,
                         [&dialog, &apply] { apply(dialog.currentFont()); });
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedFont();
}

}  // namespace im::app
