#pragma once

#include "alarms/AlarmBands.h"
#include "link/FrameDecoder.h"

#include <QObject>

#include <array>
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace im::app {

// The six alarm band boxes of the main window: typed characters are
// filtered, Enter moves to the next box and leaving a box completes its
// text. What the operator types sets a threshold only once the box is left
// with it: a half-typed limit would raise an alarm that only a reset clears.
// A value out of range is refused, and the box gets back its last one.
class BandBoxes : public QObject {
public:
    // Range messages go to message(text), plain and without an icon.
    BandBoxes(std::array<QLineEdit*, 6> boxes, link::AlarmThresholds& thresholds,
              std::function<void(const QString& text)> message, QObject* parent = nullptr);

    // The program's own texts: they set the thresholds at once.
    void setTexts(const alarms::BandTexts& texts);

    // Leaving box i (0 to 3 temperature, 4 and 5 humidity).
    void EditT1HExit(int i);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(QObject* box) const;
    bool filterKey(int i, QKeyEvent* key);

    std::array<QLineEdit*, 6> boxes_;
    link::AlarmThresholds& thresholds_;
    std::function<void(const QString&)> message_;
    // The texts that last set the thresholds.
    alarms::BandTexts accepted_;
};

}  // namespace im::app
