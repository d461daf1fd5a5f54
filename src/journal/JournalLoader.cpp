#include "journal/JournalLoader.h"

#include "journal/JournalFiles.h"

#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <exception>

namespace im::journal {

JournalLoader::JournalLoader(QObject* parent) : QObject(parent) {}

JournalLoader::~JournalLoader() {
    cancel();
}

void JournalLoader::start(const QString& path, Done done) {
    cancel();
    auto job = std::make_shared<Job>();
    job->path = path;
    job->size = QFileInfo(path).size();
    job->done = std::move(done);
    job_ = job;
    thread_ = QThread::create([job] {
        try {
            const QByteArray bytes = readJournalFile(job->path, &job->bytesRead);
            auto text = std::make_unique<JournalStore>();
            text->setFileBytes(bytes);
            job->result.text = std::move(text);
        } catch (const std::exception& e) {
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
    // The read cannot be stopped halfway; waiting here is rare (a second
    // open or the end of the program during a read) and bounded by the
    // file's size limit.
    QThread* thread = thread_;
    thread_ = nullptr;
    disconnect(thread, nullptr, this, nullptr);
    thread->wait();
    delete thread;
}

double JournalLoader::progress() const {
    if (!job_ || job_->size <= 0) {
        return 0;
    }
    return std::min(1.0, double(job_->bytesRead.load(std::memory_order_relaxed)) / job_->size);
}

}  // namespace im::journal
