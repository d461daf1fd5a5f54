#pragma once

#include "journal/JournalStore.h"

#include <QDateTime>
#include <QString>

namespace im::journal {

// "Сохранить как..": the journal's text exactly as held, replacing the file
// atomically, so a failed write leaves the old file whole. Throws
// core::Error with the system's reason.
void saveJournalAs(const JournalStore& journal, const QString& path);

// The bytes of a file to open into the journal; throws core::Error when the
// file cannot be read, before anything of the journal is touched.
QByteArray readJournalFile(const QString& path);

// One field of every line, each followed by CR LF, for the clipboard.
QString columnText(const JournalStore& journal, QString (*field)(QStringView));

// The file an interrupted session leaves its unsaved journal in.
QString unsavedJournalFileName(const QDateTime& at);

}  // namespace im::journal
