#include "journal/DailyLog.h"

#include "core/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstring>

namespace im::journal {

DailyLog::DailyLog(std::function<QString()> logDir, const core::Clock& clock)
    : logDir_(std::move(logDir)), clock_(clock) {
    repairInterruptedSaves();
}

void DailyLog::repairInterruptedSaves() const {
    // A save killed in the middle, maybe of another day's file, is taken
    // back, so that every day file ends with a whole line.
    const QString dir = logDir_();
    const QString marker = core::appendMarkerPath(QString());
    for (const QString& name : QDir(dir).entryList({"*.txt" + marker}, QDir::Files)) {
        core::repairInterruptedAppend(dir + u'/' + name.chopped(marker.size()));
    }
}

QString DailyLog::fileNameFor(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
}

QString DailyLog::currentFilePath() const {
    return logDir_() + QLatin1Char('/') + fileNameFor(clock_.now().date());
}

bool DailyLog::save(PendingSave& pending) {
    const QString dir = logDir_();
    const QString path = dir + QLatin1Char('/') + fileNameFor(clock_.now().date());
    int error = 0;
    if (!QDir(dir).exists() && !QDir().mkpath(dir)) {
        error = ENOTDIR;
    } else {
        repairInterruptedSaves();
        error = core::appendToFile(path, pending.text().toUtf8());
    }
    tell(error == 0, path, error);
    if (error != 0) {
        return false;
    }
    pending.clear();
    return true;
}

void DailyLog::tell(bool saved, const QString& path, int error) {
    if (saved == !failing_) {
        return;
    }
    failing_ = !saved;
    if (balloons_ == nullptr) {
        return;
    }
    if (saved) {
        balloons_->ShowBalloon(
            QCoreApplication::translate("DailyLog", "Статистика"),
            QCoreApplication::translate("DailyLog", "Статистика снова сохраняется: ") + path,
            core::BalloonIcon::Info, 10);
    } else {
        balloons_->ShowBalloon(
            QCoreApplication::translate("DailyLog", "Внимание!"),
            QCoreApplication::translate("DailyLog", "Не удалось сохранить статистику: ") + path +
                QLatin1Char('\r') + QString::fromLocal8Bit(std::strerror(error)) +
                QStringLiteral(".\r") +
                QCoreApplication::translate("DailyLog", "Строки сохранятся при следующей попытке."),
            core::BalloonIcon::Warning, 30);
    }
}

}  // namespace im::journal
