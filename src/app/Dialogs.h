#pragma once

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace im::app {

// Everything that waits on the operator: file, colour and font dialogs and
// message boxes. The program shows the real ones; tests answer with fakes.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A filter of one entry "description|pattern"; empty when cancelled. The
    // save dialog does not ask about an existing file itself.
    virtual QString saveFileName(QWidget* parent, const QString& filter,
                                 const QString& proposedName, const QString& defaultSuffix) = 0;
    // fileName proposes a file (its folder opens); empty proposes none.
    virtual QString openFileName(QWidget* parent, const QString& filter,
                                 const QString& fileName = QString()) = 0;
    virtual QMessageBox::StandardButton question(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons) = 0;
    virtual void message(QWidget* parent, const QString& title, const QString& text,
                         QMessageBox::Icon icon) = 0;
    virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
    // The font dialog; given an apply function, with an Apply button that
    // runs it.
    virtual std::optional<QFont> font(QWidget* parent, const QFont& initial,
                                      const std::function<void(const QFont&)>& apply) = 0;
};

// The toolkit's dialogs. The file dialogs open in the folder used last, at
// first in the journal's log folder (not wherever the program was started).
class QtDialogs final : public Dialogs {
public:
    QString saveFileName(QWidget* parent, const QString& filter, const QString& proposedName,
                         const QString& defaultSuffix) override;
    QString openFileName(QWidget* parent, const QString& filter,
                         const QString& fileName = QString()) override;
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons) override;
    void message(QWidget* parent, const QString& title, const QString& text,
                 QMessageBox::Icon icon) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
    std::optional<QFont> font(QWidget* parent, const QFont& initial,
                              const std::function<void(const QFont&)>& apply) override;

private:
    QString folder() const;
    void usedFolderOf(const QString& path);
    QString folder_;
};

// "description|pattern" as the file dialogs of Qt write it.
QString qtFilter(const QString& filter);

}  // namespace im::app
