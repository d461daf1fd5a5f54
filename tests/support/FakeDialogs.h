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
        return take(fileNames, QString());
    }
    QString openFileName(QWidget*, const QString& filter, const QString& fileName) override {
        asked << QStringLiteral("open %1 %2").arg(filter, fileName).trimmed();
        return take(fileNames, QString());
    }
    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons) override {
        asked << QStringLiteral("question %1: %2").arg(title, text);
        if (whileAsking) {
            whileAsking();  // what goes on while a person reads the question
        }
        return take(answers, QMessageBox::Cancel);
    }
    void message(QWidget*, const QString& title, const QString& text, QMessageBox::Icon) override {
        asked << QStringLiteral("message %1: %2").arg(title, text);
    }
    std::optional<QColor> color(QWidget*, const QColor& initial) override {
        asked << QStringLiteral("color %1").arg(initial.name());
        return take(colors, std::optional<QColor>());
    }
    std::optional<QFont> font(QWidget*, const QFont& initial,
                              const std::function<void(const QFont&)>& apply) override {
        asked << QStringLiteral("font %1").arg(initial.family());
        for (const QFont& f : applied) {
            if (apply) {
                apply(f);
            }
        }
        return chosenFont;
    }

    std::deque<QString> fileNames;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<std::optional<QColor>> colors;
    std::vector<QFont> applied;
    std::optional<QFont> chosenFont;
    std::function<void()> whileAsking;
    QStringList asked;

private:
    template <typename T, typename Queue>
    static T take(Queue& queue, T none) {
        if (queue.empty()) {
            return none;
        }
        T first = queue.front();
        queue.pop_front();
        return first;
    }
};

}  // namespace im::test
