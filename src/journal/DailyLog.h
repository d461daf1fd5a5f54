#pragma once

#include "core/Balloons.h"
#include "core/Clock.h"

#include <QString>

#include <functional>

namespace im::journal {

// The text collected for the next periodic save: every appended record line,
// each preceded by a carriage return and line feed.
class PendingSave {
public:
    void extend(const QString& line) {
        text_ += QLatin1String("\r\n");
        text_ += line;
    }
    const QString& text() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }
    void clear() { text_.clear(); }

private:
    QString text_;
};

// The periodic save into one file per day, "yyyy-mm-dd.txt" in the log folder,
// named by the date at the moment of saving.
class DailyLog {
public:
    DailyLog(std::function<QString()> logDir, const core::Clock& clock);

    static QString fileNameFor(const QDate& date);
    QString currentFilePath() const;

    // Appends the pending text to the day's file (creating the folder and the
    // file when missing) and empties it. A failure keeps the pending text
    // whole for the next try; returns whether the save reached the file.
    bool save(PendingSave& pending);

    // Failures are told here: the first of a run of failed saves, and the
    // save that works again. Without it they are silent.
    void tellFailuresTo(core::Balloons* balloons) { balloons_ = balloons; }

    // Cuts back the day files whose append a kill interrupted (done when
    // created and before every save).
    void repairInterruptedSaves() const;

private:
    void tell(bool saved, const QString& path, int error);

    std::function<QString()> logDir_;
    const core::Clock& clock_;
    core::Balloons* balloons_ = nullptr;
    bool failing_ = false;
};

}  // namespace im::journal
