#include "app/WarningNotices.h"

namespace im::app {

WarningNotices::WarningNotices(Notifier& notifier, const core::Clock& clock, QObject* parent)
    : QObject(parent), notifier_(notifier), clock_(clock) {}

void WarningNotices::post(const Notice& notice) {
    if (!pending_) {
        QMetaObject::invokeMethod(this, &WarningNotices::flush, Qt::QueuedConnection);
    }
    pending_ = notice;
}

void WarningNotices::flush() {
    if (!pending_) {
        return;
    }
    const Notice notice = *pending_;
    pending_.reset();
    const QDateTime now = clock_.now();
    const bool repeated =
        sent_ == notice && sentAskedAt_.isValid() && sentAskedAt_.msecsTo(now) < notice.timeoutMs;
    sentAskedAt_ = now;
    if (repeated) {
        return;
    }
    sent_ = notice;
    notifier_.show(notice);
}

void WarningNotices::withdrawAlarm() {
    if (pending_ && pending_->urgent) {
        pending_.reset();
    }
    if (sent_ && sent_->urgent) {
        withdrawAll();
    }
}

void WarningNotices::withdrawAll() {
    pending_.reset();
    if (sent_) {
        sent_.reset();
        notifier_.withdraw();
    }
}

}  // namespace im::app
