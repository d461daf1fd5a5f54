#pragma once

#include <QObject>
#include <QTimer>

namespace im::journal {
class JournalStore;
}

namespace im::remote {

class WebPublisher;

// Keeps the web page's history in step with a journal that is opened,
// cleared or edited: a second after the last such change, a copy of the
// journal (its text shared, not duplicated) is read on a thread of its
// own, and the lines appended meanwhile are added before the history
// replaces the page's. Appends alone need nothing: their lines reach the
// page as they are recorded.
class JournalHistory : public QObject {
    Q_OBJECT
public:
    JournalHistory(const journal::JournalStore& journal, WebPublisher& web,
                   QObject* parent = nullptr);

    void rewritten();

private:
    void rebuild();

    const journal::JournalStore& journal_;
    WebPublisher& web_;
    QTimer settle_;
    quint64 generation_ = 0;
};

}  // namespace im::remote
