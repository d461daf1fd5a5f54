#include "journal/JournalFiles.h"

#include "core/AtomicFile.h"
#include "core/ErrorReport.h"

#include <QDateTime>
#include <QFile>

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
        throw core::Error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason(err)));
    }
}

QByteArray readJournalFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw core::Error(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw core::Error(
            QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    }
    return bytes;
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
