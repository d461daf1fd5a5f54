#pragma once

#include "journal/JournalStore.h"
#include "journal/ValueDigest.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace im::journal {

// Reads a journal file and splits it into lines on a thread of its own, so
// that a file of hundreds of megabytes leaves the window answering; the
// result is handed to `done` on the thread that started the read. The two
// halves of a large file are read, split and digested side by side, a
// block at a time straight into the journal's chunks.
class JournalLoader : public QObject {
    Q_OBJECT
public:
    struct Result {
        std::unique_ptr<JournalStore> text;  // set when the file was read
        // The values of its lines, for the picture of the whole journal;
        // it stays in step with the text after JournalStore::takeTextOf.
        std::unique_ptr<ValueDigest> digest;
        QString error;  // why not, otherwise
    };
    using Done = std::function<void(Result)>;

    explicit JournalLoader(QObject* parent = nullptr);
    // Waits for a read under way; its result is dropped.
    ~JournalLoader() override;

    // Starts reading, digesting numbers with that decimal separator; a read
    // already under way is dropped first.
    void start(const QString& path, QChar decimalSeparator, Done done);
    // Drops the read under way: `done` is not called for it.
    void cancel();
    bool running() const { return job_ != nullptr; }
    // The part of the file read so far, 0 to 1.
    double progress() const;

private:
    struct Job {
        QString path;
        QChar separator;
        qint64 size = 0;
        std::atomic<qint64> bytesRead{0};
        std::atomic<bool> dropped{false};
        Result result;
        Done done;
    };
    static void read(Job& job);
    static void readPart(Job& job, qint64 from, qint64 to, Result& part);

    std::shared_ptr<Job> job_;
    QThread* thread_ = nullptr;
};

}  // namespace im::journal
