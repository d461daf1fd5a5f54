#pragma once

#include "journal/JournalLoader.h"

#include <QString>

#include <functional>

class QWidget;

namespace im::app {

// "Открыть..": a file of a few days opens at once; a larger one is read on
// another thread behind a progress bar the operator may cancel, while frames
// go on arriving as they would before an open. A file that cannot be read
// leaves the journal as it was and is reported by the error guard. A large
// file comes with the digest of its values, which then follows the journal.
class JournalOpening {
public:
    JournalOpening(journal::JournalStore& journal, journal::ValueDigest& digest, QWidget* window);

    // Calls opened once the file's text is the journal's.
    void open(const QString& path, const QString& title, std::function<void()> opened);

private:
    journal::JournalStore& journal_;
    journal::ValueDigest& digest_;
    QWidget* window_;
    journal::JournalLoader* loader_;  // owned by the window
};

}  // namespace im::app
