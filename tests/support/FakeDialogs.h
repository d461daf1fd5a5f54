#pragma once

#include "app/Dialogs.h"

#include <QStringList>

#include <deque>

namespace im::test {

// Answers the dialogs from queues the test fills, and records every
// question asked. An empty queue answers "cancel".
class FakeDialogs final : public app::Dialogs {
public:
    QString saveFileName(QWidget*, const QString& filter, const QString& proposedName,
                         const QString& defaultSuffix) override {
        asked << QStringLiteral("save %1 %2 %3").arg(filter, proposedName, defaultSuffix);
        return take(fileNames);
    }
    QString openFileName(QWidget*, const QString& filter) override {
        asked << QStringLiteral("open %1").arg(filter);
        return take(fileNames);
    }
    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons) override {
        asked << QStringLiteral("question %1: %2").arg(title, text);
        if (answers.empty()) {
            return QMessageBox::Cancel;
        }
        const QMessageBox::StandardButton a = answers.front();
        answers.pop_front();
        return a;
    }
    void message(QWidget*, const QString& title, const QString& text, QMessageBox::Icon) override {
        asked << QStringLiteral("message %1: %2").arg(title, text);
    }
    std::optional<QColor> color(QWidget*, const QColor& initial) override {
        asked << QStringLiteral("color %1").arg(initial.name());
        if (colors.empty()) {
            return std::nullopt;
        }
        const QColor c = colors.front();
        colors.pop_front();
        return c;
    }
    std::optional<QFont> font(QWidget*, const QFont& initial,
                              const std::function<void(const QFont&)>& apply) override {
        asked << QStringLiteral("font %1").arg(initial.family());
        for (const QFont& f : applied) {
            apply(f);
        }
        return chosenFont;
    }

    std::deque<QString> fileNames;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QColor> colors;
    std::vector<QFont> applied;
    std::optional<QFont> chosenFont;
    QStringList asked;

private:
    static QString take(std::deque<QString>& queue) {
        if (queue.empty()) {
            return {};
        }
        QString s = queue.front();
        queue.pop_front();
        return s;
    }
};

}  // namespace im::test
