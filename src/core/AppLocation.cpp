#include "core/AppLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace im::core {

namespace {

QString& testExecutablePath() {
    static QString path;
    return path;
}

QString xdgFolder(const char* variable, const QString& fallbackBelowHome) {
    const QString fromEnv = qEnvironmentVariable(variable);
    if (!fromEnv.isEmpty() && QDir::isAbsolutePath(fromEnv)) {
        return fromEnv;
    }
    return QDir::homePath() + QLatin1Char('/') + fallbackBelowHome;
}

const QString kAppFolder = QStringLiteral("incubator-monitor");

}  // namespace

QString AppLocation::executablePath() {
    if (!testExecutablePath().isEmpty()) {
        return testExecutablePath();
    }
    return QCoreApplication::applicationFilePath();
}

void AppLocation::setExecutablePathForTesting(const QString& path) {
    testExecutablePath() = path;
}

QString AppLocation::executableDir() {
    return QFileInfo(executablePath()).absolutePath();
}

bool AppLocation::isInstalledFolder(const QString& dir) {
    // Folders the package manager or `cmake --install` own: even a user who
    // may write there (root) keeps the data in their own folders.
    const QString clean = QDir::cleanPath(dir);
    return clean == QLatin1String("/bin") || clean == QLatin1String("/sbin") ||
           clean.startsWith(QLatin1String("/usr/")) ||
           clean == QDir::cleanPath(QStringLiteral(IM_INSTALL_BINDIR));
}

bool AppLocation::executableDirWritable() {
    const QString dir = executableDir();
    return !isInstalledFolder(dir) && ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
}

QString AppLocation::iniPathBeside(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = executablePath.lastIndexOf(QLatin1Char('.'));
    if (dot > slash) {
        return executablePath.left(dot) + QStringLiteral(".ini");
    }
    return executablePath + QStringLiteral(".ini");
}

QString AppLocation::settingsFilePath() {
    return settingsFilePathFor(executablePath(), executableDirWritable());
}

QString AppLocation::logDirPath() {
    return logDirPathFor(executablePath(), executableDirWritable());
}

QString AppLocation::settingsFilePathFor(const QString& executablePath, bool folderWritable) {
    const QString beside = iniPathBeside(executablePath);
    if (folderWritable) {
        return beside;
    }
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QLatin1Char('/') + kAppFolder +
           QLatin1Char('/') + QFileInfo(beside).fileName();
}

QString AppLocation::logDirPathFor(const QString& executablePath, bool folderWritable) {
    if (folderWritable) {
        return QFileInfo(executablePath).absolutePath() + QStringLiteral("/log");
    }
    return xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QLatin1Char('/') +
           kAppFolder + QStringLiteral("/log");
}

}  // namespace im::core
