#pragma once

#include "journal/JournalStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <memory>

class QFile;

namespace im::journal {

// "Сохранить как..": the journal's text exactly as held, replacing the file
// atomically, so a failed write leaves the old file whole. Throws
// core::Error with the system's reason.
void saveJournalAs(const JournalStore& journal, const QString& path);

// The error of a file that could not be created or replaced: "Cannot create
// file" with the path and the system's reason for errno err.
[[noreturn]] void throwCannotCreate(const QString& path, int err);

// Files above this size are refused: a month of records at one line a second
// is about 180 MB.
inline constexpr qint64 kLargestJournalFile = qint64(1) << 30;

// A file to read into the journal, open; throws core::Error when it is no
// regular file, cannot be opened or is larger than kLargestJournalFile.
std::unique_ptr<QFile> openJournalFile(const QString& path);
// The error of a read that failed: "Cannot read file" with the reason.
[[noreturn]] void throwCannotRead(const QString& path, const QFile& file);

// The bytes of a file to open into the journal, as UTF-8; throws core::Error
// when the file cannot be read (or is no regular file, or is larger than
// kLargestJournalFile), before anything of the journal is touched. The
// bytes read so far go to bytesRead, when given, as the read advances.
QByteArray readJournalFile(const QString& path, std::atomic<qint64>* bytesRead = nullptr);

// A file's bytes as the journal holds them: text that starts with a
// byte-order mark (UTF-16 or UTF-32 as some editors save it, UTF-8 with a
// mark) becomes UTF-8 without it; anything else stays byte for byte.
QByteArray fromFileEncoding(QByteArray bytes);

// One field of every line, each followed by CR LF, for the clipboard.
QString columnText(const JournalStore& journal, QString (*field)(QStringView));

// The file an interrupted session leaves its unsaved journal in.
QString unsavedJournalFileName(const QDateTime& at);

}  // namespace im::journal
