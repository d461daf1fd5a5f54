#include "alarms/AlarmSound.h"

#include "core/AppLocation.h"
#include "core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <alsa/asoundlib.h>
#include <canberra.h>
#include <unistd.h>

namespace im::alarms {

namespace {

constexpr uint32_t kPlayId = 1;

// Without a sound card the sound library prints a complaint for every play,
// every few seconds for weeks; a failed play is silent instead.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

QString writtenOut(const QString& folder, const QByteArray& content) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return {};
    }
    const QString path = folder + QStringLiteral("/incubator-alarm.wav");
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) {
        return path;
    }
    return core::replaceFileAtomically(path, content) == 0 ? path : QString();
}

}  // namespace

QString soundFileFor(const QString& name, const QString& executableDir) {
    if (name.isEmpty()) {
        return {};
    }
    const QString path = QDir(executableDir).filePath(name);
    const QFileInfo info(path);
    return info.isFile() && info.isReadable() ? info.absoluteFilePath() : QString();
}

QString ownAlarmSoundFile() {
    static QString path;
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        return path;
    }
    QFile resource(QStringLiteral(":/sounds/incubator-alarm.wav"));
    if (!resource.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray content = resource.readAll();
    path = writtenOut(QStandardPaths::writableLocation(QStandardPaths::CacheLocation), content);
    if (path.isEmpty()) {
        path = writtenOut(
            QDir::tempPath() + QStringLiteral("/incubator-monitor-") + QString::number(::getuid()),
            content);
    }
    return path;
}

DesktopSound::DesktopSound() {
    snd_lib_error_set_handler(quietAlsa);
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "incubator-monitor",
                            CA_PROP_APPLICATION_ID, "incubator-monitor", nullptr);
}

DesktopSound::~DesktopSound() {
    if (context_) {
        ca_context_destroy(context_);
    }
}

bool DesktopSound::playing() const {
    int busy = 0;
    return context_ && ca_context_playing(context_, kPlayId, &busy) == CA_SUCCESS && busy != 0;
}

int DesktopSound::playFile(const QString& path) {
    return ca_context_play(context_, kPlayId, CA_PROP_MEDIA_FILENAME,
                           QFile::encodeName(path).constData(), CA_PROP_MEDIA_ROLE, "event",
                           nullptr);
}

void DesktopSound::play(const QString& name) {
    if (!context_) {
        return;
    }
    ca_context_cancel(context_, kPlayId);
    const QString file = soundFileFor(name, core::AppLocation::executableDir());
    if (!file.isEmpty()) {
        playFile(file);
        return;
    }
    if (!name.isEmpty() && !name.contains(QLatin1Char('/'))) {
        // A theme's sounds are named without their extension.
        QString event = name;
        const qsizetype dot = event.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) {
            event.truncate(dot);
        }
        if (ca_context_play(context_, kPlayId, CA_PROP_EVENT_ID, event.toUtf8().constData(),
                            CA_PROP_MEDIA_ROLE, "event", nullptr) == CA_SUCCESS) {
            return;
        }
    }
    const QString own = ownAlarmSoundFile();
    if (!own.isEmpty()) {
        playFile(own);
    }
}

}  // namespace im::alarms
