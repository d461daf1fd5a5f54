#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace im::core {

// Replaces the file at path by data so that a reader, a crash or a kill at
// any moment sees either the old content or the new one, never a mixture:
// the data goes to a temporary file in the same folder, is flushed to the
// disk and then renamed over the old file, which keeps its mode and owner.
// - A symbolic link is written through to its target and stays a link.
// - An existing file that may not be written (no write permission for this
//   user, or none for anybody) is refused with EACCES and left alone.
// - A writable file in a folder that may not be written, or whose owner a
//   new file could not keep, is rewritten in place (not atomic, but its room
//   is reserved before the old content is touched, and it is flushed).
// - A temporary file left by a write that was killed is removed the next
//   time the file is written.
// - With OwnerOnly, the file ends up readable and writable by its owner
//   alone, and no other user can read the new content at any moment.
// Returns 0 on success, otherwise the errno of the step that failed (the old
// file is then untouched and the temporary file removed).
enum class FileAccess { Keep, OwnerOnly };
int replaceFileAtomically(const QString& path, const QByteArray& data,
                          FileAccess access = FileAccess::Keep);
// The same with the content written by write(fd), which returns 0 or an errno;
// for large contents that should not be copied into one buffer first.
int replaceFileAtomically(const QString& path, const std::function<int(int fd)>& write,
                          FileAccess access = FileAccess::Keep);

// Writes all of data to fd, retrying short writes; 0 or errno.
int writeAll(int fd, QByteArrayView data);

// Appends data to the file at path, creating it when missing. When the
// append fails part-way, the file is cut back to its old length, so that a
// later retry of the same data does not leave a duplicated fragment. While
// it runs, a marker file beside it (appendMarkerPath) holds the old length,
// so that an append cut short by a kill is taken back by the next append to
// the file or by repairInterruptedAppend: the file always ends where a whole
// append ended. Returns 0 on success, otherwise the errno of the failing step.
int appendToFile(const QString& path, const QByteArray& data);
QString appendMarkerPath(const QString& path);
// Cuts the file back to the length its marker holds and removes the marker;
// 0 (also when there is no marker) or errno.
int repairInterruptedAppend(const QString& path);

}  // namespace im::core
