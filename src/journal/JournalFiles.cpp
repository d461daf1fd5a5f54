#include "journal/JournalFiles.h"

#include "core/AtomicFile.h"
#include "core/ErrorReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace im::journal {

namespace {

QString reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

}  // namespace

void saveJournalAs(const JournalStore& journal, const QString& path) {
    // Written a few thousand lines at a time: a month of lines is never
    // copied into one buffer.
    const int err = core::replaceFileAtomically(path, [&journal](int fd) {
        QByteArray block;
        const QByteArray lineEnd("\r\n");
        const int segments = journal.segmentCount();
        for (int s = 0; s < segments; ++s) {
            if (s > 0) {
                block += lineEnd;
            }
            const QByteArrayView bytes = journal.lineBytes(s);
            block.append(bytes.data(), bytes.size());
            if (block.size() >= (1 << 20) || s + 1 == segments) {
                if (const int e = core::writeAll(fd, block)) {
                    return e;
                }
                block.clear();
            }
        }
        return 0;
    });
    if (err != 0) {
        throwCannotCreate(path, err);
    }
}

void throwCannotCreate(const QString& path, int err) {
    throw core::Error(QCoreApplication::translate("JournalFiles", "Cannot create file \"%1\". %2")
                          .arg(path, reason(err)));
}

std::unique_ptr<QFile> openJournalFile(const QString& path) {
    // Only a regular file: a pipe or a device would block the window or
    // never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        throw core::Error(QCoreApplication::translate(
                              "JournalFiles", "Cannot open file \"%1\". It is not a regular file.")
                              .arg(path));
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        throw core::Error(QCoreApplication::translate("JournalFiles", "Cannot open file \"%1\". %2")
                              .arg(path, file->errorString()));
    }
    if (file->size() > kLargestJournalFile) {
        throw core::Error(QCoreApplication::translate("JournalFiles",
                                                      "Cannot open file \"%1\". It holds %2 MB; a "
                                                      "journal file may hold at most %3 MB.")
                              .arg(path)
                              .arg(file->size() >> 20)
                              .arg(kLargestJournalFile >> 20));
    }
    return file;
}

void throwCannotRead(const QString& path, const QFile& file) {
    throw core::Error(QCoreApplication::translate("JournalFiles", "Cannot read file \"%1\". %2")
                          .arg(path, file.errorString()));
}

QByteArray readJournalFile(const QString& path, std::atomic<qint64>* bytesRead) {
    const std::unique_ptr<QFile> opened = openJournalFile(path);
    QFile& file = *opened;
    // Read a block at a time, so that a watcher sees the read advance; a
    // file that grows meanwhile is read to its end, up to the limit.
    constexpr qint64 kBlock = 16 << 20;
    QByteArray bytes(file.size(), Qt::Uninitialized);
    qint64 at = 0;
    for (;;) {
        if (at == bytes.size()) {
            if (at > kLargestJournalFile) {
                break;
            }
            bytes.resize(at + kBlock);
        }
        const qint64 n = file.read(bytes.data() + at, std::min(kBlock, bytes.size() - at));
        if (n <= 0) {
            break;
        }
        at += n;
        if (bytesRead) {
            bytesRead->store(at, std::memory_order_relaxed);
        }
    }
    bytes.truncate(at);
    if (file.error() != QFileDevice::NoError) {
        throwCannotRead(path, file);
    }
    return fromFileEncoding(std::move(bytes));
}

QByteArray fromFileEncoding(QByteArray bytes) {
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (!marked) {
        return bytes;  // what this program and the recorder write: no mark
    }
    if (*marked == QStringConverter::Utf8) {
        return bytes.sliced(3);
    }
    QStringDecoder decode(*marked);
    const QString text = decode(bytes);
    return text.toUtf8();
}

QString columnText(const JournalStore& journal, QString (*field)(QStringView)) {
    QString text;
    const int count = journal.lineCount();
    text.reserve(qsizetype(count) * 6);
    for (int i = 0; i < count; ++i) {
        text += field(journal.line(i));
        text += QLatin1String("\r\n");
    }
    return text;
}

QString unsavedJournalFileName(const QDateTime& at) {
    return QStringLiteral("unsaved-journal-") + at.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) +
           QStringLiteral(".txt");
}

}  // namespace im::journal
