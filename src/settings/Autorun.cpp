#include "settings/Autorun.h"

#include "core/AtomicFile.h"
#include "core/ErrorReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

#include <unistd.h>

namespace im::settings {

namespace {

const char* const kEntryName = "incubator-monitor.desktop";

// Can this user create or replace a file in dir (or create dir)?
bool writableFolder(const QString& dir) {
    QString existing = QDir::cleanPath(dir);
    while (!QFileInfo(existing).exists()) {
        const QString parent = QFileInfo(existing).path();
        if (parent == existing) {
            return false;
        }
        existing = parent;
    }
    return QFileInfo(existing).isDir() &&
           ::access(QFile::encodeName(existing).constData(), W_OK | X_OK) == 0;
}

// The Exec value of an entry file, exactly as written after "Exec=".
std::optional<QString> execOf(const QByteArray& entry) {
    bool inMainGroup = false;
    for (const QByteArray& raw : entry.split('\n')) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
        } else if (inMainGroup && line.startsWith("Exec=")) {
            return QString::fromUtf8(line.mid(5));
        }
    }
    return std::nullopt;
}

}  // namespace

AutorunLocation AutorunLocation::forThisSystem() {
    return {QStringLiteral("/etc/xdg/autostart"),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/autostart")};
}

Autorun::Autorun(AutorunLocation location, QString executablePath)
    : location_(std::move(location)), executablePath_(std::move(executablePath)) {}

QString Autorun::execValue(const QString& executablePath) {
    // Inside the quotes, ", `, $ and \ take a backslash; a literal % is
    // written %%. The key's string escapes apply on top: every backslash is
    // doubled and control characters get their letter escapes.
    QString quoted;
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        } else if (c == u'%') {
            quoted += u'%';
        }
        quoted += c;
    }
    QString value = QStringLiteral("\"");
    for (const QChar c : quoted) {
        switch (c.unicode()) {
            case '\\':
                value += QLatin1String("\\\\");
                break;
            case '\n':
                value += QLatin1String("\\n");
                break;
            case '\t':
                value += QLatin1String("\\t");
                break;
            case '\r':
                value += QLatin1String("\\r");
                break;
            default:
                value += c;
        }
    }
    return value + u'"';
}

QString Autorun::dir() const {
    return writableFolder(location_.machineDir) ? location_.machineDir : location_.userDir;
}

QString Autorun::entryPath() const {
    return dir() + u'/' + QLatin1String(kEntryName);
}

bool Autorun::present() const {
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return execOf(file.read(64 * 1024)) == execValue(executablePath_);
}

void Autorun::write() {
    const QString folder = dir();
    if (!QDir().mkpath(folder)) {
        throw core::Error(
            QCoreApplication::translate("Autorun", "Failed to create key %1").arg(folder));
    }
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Инкубатор\n"
                              "Comment=Монитор инкубатора\n"
                              "Exec=%1\n"
                              "Icon=incubator-monitor\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n")
                              .arg(execValue(executablePath_));
    const QString path = entryPath();
    if (core::replaceFileAtomically(path, entry.toUtf8()) != 0) {
        throw core::Error(
            QCoreApplication::translate("Autorun", "Failed to set data for '%1'").arg(path));
    }
}

void Autorun::remove() {
    QFile::remove(entryPath());
}

}  // namespace im::settings
