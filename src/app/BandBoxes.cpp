#include "app/BandBoxes.h"

#include "core/ErrorReport.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace im::app {

BandBoxes::BandBoxes(std::array<QLineEdit*, 6> boxes, link::AlarmThresholds& thresholds,
                     std::function<void(const QString&)> message, QObject* parent)
    : QObject(parent), boxes_(boxes), thresholds_(thresholds), message_(std::move(message)) {
    for (QLineEdit* box : boxes_) {
        box->installEventFilter(this);
    }
}

void BandBoxes::setTexts(const alarms::BandTexts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        boxes_[i]->setText(texts[i]);
    }
    accepted_ = texts;
    alarms::recomputeThresholds(texts, thresholds_);
}

void BandBoxes::EditT1HExit(int i) {
    const std::size_t b = std::size_t(i);
    QLineEdit* box = boxes_[b];
    const alarms::BoxExit exit = alarms::boxExit(b, box->text());
    box->setText(exit.text);
    if (!exit.conversionError.isEmpty()) {
        throw core::Error(exit.conversionError);
    }
    if (!exit.rangeMessage.isEmpty()) {
        message_(exit.rangeMessage);
        box->setText(accepted_[b]);
    } else if (exit.threshold) {
        accepted_[b] = exit.text;
        thresholds_.*alarms::kBoxThresholds[b] = *exit.threshold;
    }
}

int BandBoxes::indexOf(QObject* box) const {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i] == box) {
            return int(i);
        }
    }
    return -1;
}

bool BandBoxes::filterKey(int i, QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // The next box in order; after the last, the first.
        boxes_[std::size_t(i + 1) % boxes_.size()]->setFocus(Qt::TabFocusReason);
        return true;
    }
    // Characters only: keys without printable text edit (Delete brings
    // \x7f on X11, arrows bring none) and keep working like the editing
    // shortcuts; the exit validation checks what they leave.
    const QString text = key->text();
    if (text.size() != 1 || (!text[0].isPrint() && text[0] != alarms::kBackspace)) {
        return false;
    }
    if (text[0] != alarms::kBackspace &&
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        static constexpr QKeySequence::StandardKey editing[] = {
            QKeySequence::Copy,      QKeySequence::Cut,  QKeySequence::Paste,
            QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo};
        if (std::any_of(std::begin(editing), std::end(editing),
                        [key](QKeySequence::StandardKey k) { return key->matches(k); })) {
            return false;
        }
        // Any other chord types nothing here (QLineEdit inserts the 5 of
        // Alt+5), and goes on to the window like a key the box ignores.
        key->ignore();
        return true;
    }
    QLineEdit* box = boxes_[std::size_t(i)];
    const std::optional<QChar> passed =
        i < 4 ? alarms::temperatureKey(text[0], box->text(), box->hasSelectedText())
              : alarms::humidityKey(text[0]);
    if (!passed) {
        return true;
    }
    if (*passed != text[0]) {
        box->insert(QString(*passed));
        return true;
    }
    return false;
}

bool BandBoxes::eventFilter(QObject* watched, QEvent* event) {
    const int i = indexOf(watched);
    if (i < 0) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        return filterKey(i, static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::FocusOut) {
        // Only when the focus goes to another control of the window: not
        // when the window itself loses it, nor for a menu or a popup.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // Once the focus has moved: a message box in the midst of the
            // move would leave it half done.
            QMetaObject::invokeMethod(
                this, [this, i] { core::runGuarded([this, i] { EditT1HExit(i); }); },
                Qt::QueuedConnection);
        }
    }
    return false;
}

}  // namespace im::app
