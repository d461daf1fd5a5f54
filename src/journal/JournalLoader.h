#pragma once

#include "journal/JournalStore.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace im::journal {

// Reads a journal file and splits it into lines on a thread of its own, so
// that a file of hundreds of megabytes leaves the window answering; the
// result is handed to `done` on the thread that started the read.
class JournalLoader : public QObject {
    Q_OBJECT
public:
    struct Result {
        std::unique_ptr<JournalStore> text;  // set when the file was read
        QString error;                       // why not, otherwise
    };
    using Done = std::function<void(Result)>;

    explicit JournalLoader(QObject* parent = nullptr);
    // Waits for a read under way; its result is dropped.
    ~JournalLoader() override;

    // Starts reading; a read already under way is dropped first.
    void start(const QString& path, Done done);
    // Drops the read under way: `done` is not called for it.
    void cancel();
    bool running() const { return job_ != nullptr; }
    // The part of the file read so far, 0 to 1.
    double progress() const;

private:
    struct Job {
        QString path;
        qint64 size = 0;
        std::atomic<qint64> bytesRead{0};
        std::atomic<bool> dropped{false};
        Result result;
        Done done;
    };
    std::shared_ptr<Job> job_;
    QThread* thread_ = nullptr;
};

}  // namespace im::journal
