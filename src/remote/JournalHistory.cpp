#include "remote/JournalHistory.h"

#include "journal/JournalStore.h"
#include "journal/RecordLine.h"
#include "remote/History.h"
#include "remote/WebPublisher.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <memory>

namespace im::remote {

JournalHistory::JournalHistory(const journal::JournalStore& journal, WebPublisher& web,
                               QObject* parent)
    : QObject(parent), journal_(journal), web_(web) {
    settle_.setSingleShot(true);
    settle_.setInterval(1000);
    connect(&settle_, &QTimer::timeout, this, &JournalHistory::rebuild);
}

void JournalHistory::rewritten() {
    if (web_.active()) {
        settle_.start();
    }
}

void JournalHistory::rebuild() {
    auto copy = std::make_shared<journal::JournalStore>(journal_);
    copy->onChanged = nullptr;
    const quint64 generation = ++generation_;
    const QChar separator = journal::decimalSeparator().at(0);
    // Told back through the application object: this object may be gone
    // by the time the reading ends.
    QThread* worker = QThread::create([guard = QPointer(this), copy, generation, separator] {
        auto history = std::make_shared<History>(History::of(*copy, separator));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, copy, generation, separator, history] {
                JournalHistory* self = guard.data();
                if (self == nullptr || generation != self->generation_ ||
                    self->journal_.revision() != copy->revision()) {
                    return;  // gone, or another change came and its rebuild follows
                }
                const journal::JournalStore& journal_ = self->journal_;
                for (int line = copy->lineCount(); line < journal_.lineCount(); ++line) {
                    if (const auto parsed =
                            History::parseLine(journal_.lineBytes(line), separator)) {
                        history->add(parsed->first, parsed->second);
                    }
                }
                self->web_.replaceHistory(std::move(*history));
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::LowPriority);
}

}  // namespace im::remote
