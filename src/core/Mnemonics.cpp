#include "core/Mnemonics.h"

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace im::core {

namespace {

// The character after the caption's lone '&', if it has one.
QChar existingKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] != QLatin1Char('&')) {
                return caption[i + 1];
            }
            ++i;  // "&&" is a plain ampersand
        }
    }
    return {};
}

void addMnemonics(const QList<QAction*>& actions) {
    QString taken;
    for (QAction* action : actions) {
        if (!action->isSeparator() && action->isVisible()) {
            action->setText(withMnemonic(action->text(), taken));
        }
        if (QMenu* menu = action->menu()) {
            addMnemonics(menu->actions());
        }
    }
}

}  // namespace

QString withMnemonic(const QString& caption, QString& taken) {
    if (const QChar key = existingKey(caption); !key.isNull()) {
        taken += key.toLower();
        return caption;
    }
    const auto free = [&taken](QChar c) {
        return c.isLetterOrNumber() && !taken.contains(c.toLower());
    };
    qsizetype at = -1;
    for (qsizetype i = 0; i < caption.size() && at < 0; ++i) {
        const bool wordStart = i == 0 || !caption[i - 1].isLetterOrNumber();
        if (wordStart && free(caption[i])) {
            at = i;
        }
    }
    for (qsizetype i = 0; i < caption.size() && at < 0; ++i) {
        if (free(caption[i])) {
            at = i;
        }
    }
    if (at < 0) {
        return caption;
    }
    taken += caption[at].toLower();
    // Any ampersand in it already stands doubled, for itself.
    return QString(caption).insert(at, QLatin1Char('&'));
}

void addMnemonics(QMenuBar* bar) {
    addMnemonics(bar->actions());
}

void openMenuOnF10(QWidget* window, QMenuBar* bar) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F10), window);
    QObject::connect(key, &QShortcut::activated, bar, [bar] {
        for (QAction* action : bar->actions()) {
            if (action->isVisible() && action->menu()) {
                bar->setActiveAction(action);
                return;
            }
        }
    });
}

void giveKeyboardWays(QWidget* window, bool overAnother) {
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        addMnemonics(main->menuBar());
        openMenuOnF10(main, main->menuBar());
    }
    if (overAnother && !qobject_cast<QDialog*>(window)) {
        new QShortcut(QKeySequence::Cancel, window, window, &QWidget::close);
    }
}

}  // namespace im::core
