#include "journal/DailyLog.h"

#include "core/AtomicFile.h"

#include <QDir>

namespace im::journal {

DailyLog::DailyLog(std::function<QString()> logDir, const core::Clock& clock)
    : logDir_(std::move(logDir)), clock_(clock) {}

QString DailyLog::fileNameFor(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
}

QString DailyLog::currentFilePath() const {
    return logDir_() + QLatin1Char('/') + fileNameFor(clock_.now().date());
}

bool DailyLog::save(PendingSave& pending) const {
    const QString dir = logDir_();
    if (!QDir(dir).exists() && !QDir().mkpath(dir)) {
        return false;
    }
    const QString path = dir + QLatin1Char('/') + fileNameFor(clock_.now().date());
    if (core::appendToFile(path, pending.text().toUtf8()) != 0) {
        return false;
    }
    pending.clear();
    return true;
}

}  // namespace im::journal
