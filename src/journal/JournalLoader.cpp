#include "journal/JournalLoader.h"

#include "journal/JournalFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStringConverter>
#include <QThread>

#include <exception>
#include <future>

namespace im::journal {

namespace {

// Small enough to stay in the processor's cache between the read and the
// copy into the chunks.
constexpr qint64 kBlock = 256 << 10;
// Smaller files are read by one thread.
constexpr qint64 kTwoHalves = 4 << 20;

// Where the second half of a file begins: after the first LF from the
// middle on, so that no line and no CR LF is cut; the size when there is
// none.
qint64 secondHalf(QFile& file, qint64 size) {
    if (size < kTwoHalves || !file.seek(size / 2)) {
        return size;
    }
    QByteArray block(kBlock, Qt::Uninitialized);
    for (qint64 at = size / 2; at < size;) {
        const qint64 n = file.read(block.data(), std::min(kBlock, size - at));
        if (n <= 0) {
            break;
        }
        if (const qsizetype lf = QByteArrayView(block.constData(), n).indexOf('\n'); lf >= 0) {
            return at + lf + 1;
        }
        at += n;
    }
    return size;
}

}  // namespace

JournalLoader::JournalLoader(QObject* parent) : QObject(parent) {}

JournalLoader::~JournalLoader() {
    cancel();
}

void JournalLoader::start(const QString& path, QChar decimalSeparator, Done done) {
    cancel();
    auto job = std::make_shared<Job>();
    job->path = path;
    job->separator = decimalSeparator;
    job->size = QFileInfo(path).size();
    job->done = std::move(done);
    job_ = job;
    thread_ = QThread::create([job] {
        try {
            read(*job);
        } catch (const std::exception& e) {
            job->result = {};
            job->result.error = QString::fromUtf8(e.what());
        }
    });
    // A pointer that a cancel's delete clears, should its finished signal
    // still be queued.
    QPointer<QThread> thread = thread_;
    connect(thread_, &QThread::finished, this, [this, job, thread] {
        if (thread) {
            thread->deleteLater();
        }
        if (job_ == job) {
            job_.reset();
            thread_ = nullptr;
        }
        if (!job->dropped) {
            job->done(std::move(job->result));
        }
    });
    thread_->start();
}

void JournalLoader::cancel() {
    if (!job_) {
        return;
    }
    job_->dropped = true;
    job_.reset();
    // The read stops at its next block, a fraction of a millisecond away.
    QThread* thread = thread_;
    thread_ = nullptr;
    disconnect(thread, nullptr, this, nullptr);
    thread->wait();
    delete thread;
}

void JournalLoader::read(Job& job) {
    const std::unique_ptr<QFile> file = openJournalFile(job.path);
    const qint64 size = file->size();
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(file->peek(4));
    Result& result = job.result;
    if (marked && *marked != QStringConverter::Utf8) {
        // UTF-16 or UTF-32, as some editors save: decoded whole, a rare case.
        result.text = std::make_unique<JournalStore>();
        result.text->setFileBytes(readJournalFile(job.path, &job.bytesRead));
        result.digest = std::make_unique<ValueDigest>(job.separator);
        result.digest->sync(*result.text);
        return;
    }
    const qint64 from = marked ? 3 : 0;  // after UTF-8's mark
    const qint64 half = std::max(secondHalf(*file, size), from);
    Result tail;
    std::future<void> second;
    if (half < size) {
        second =
            std::async(std::launch::async, [&job, &tail, half] { readPart(job, half, -1, tail); });
    }
    readPart(job, from, half < size ? half : -1, result);
    if (second.valid()) {
        second.get();
        if (job.dropped) {
            return;  // the halves may have stopped anywhere; nobody waits for them
        }
        if (!result.text->endsWithLineEnd()) {
            // The first half ended short of the LF it was cut after: the
            // file shrank while it was read. Read as it is now, whole.
            readPart(job, from, -1, result);
            return;
        }
        result.text->joinText(*tail.text);
        result.digest->join(std::move(*tail.digest), *result.text);
    }
}

void JournalLoader::readPart(Job& job, qint64 from, qint64 to, Result& part) {
    QFile file(job.path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from)) {
        throwCannotRead(job.path, file);
    }
    auto text = std::make_unique<JournalStore>();
    JournalStore::Rebuild lines(*text);
    QByteArray block(kBlock, Qt::Uninitialized);
    // To `to`, or to the end of a file that may grow meanwhile, up to the
    // size limit.
    const qint64 end = to < 0 ? kLargestJournalFile : to;
    for (qint64 at = from; at < end && !job.dropped.load(std::memory_order_relaxed);) {
        const qint64 n = file.read(block.data(), std::min(kBlock, end - at));
        if (n < 0) {
            throwCannotRead(job.path, file);
        }
        if (n == 0) {
            break;
        }
        lines.appendFileBytes(QByteArrayView(block.constData(), n));
        at += n;
        job.bytesRead.fetch_add(n, std::memory_order_relaxed);
    }
    lines.commit();
    part.digest = std::make_unique<ValueDigest>(job.separator);
    part.digest->sync(*text);
    part.text = std::move(text);
}

double JournalLoader::progress() const {
    if (!job_ || job_->size <= 0) {
        return 0;
    }
    return std::min(1.0, double(job_->bytesRead.load(std::memory_order_relaxed)) / job_->size);
}

}  // namespace im::journal
