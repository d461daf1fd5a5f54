#pragma once

#include <QString>

namespace im::core {

// Where the program keeps its settings file and its log folder: beside the
// executable when that folder is writable (a portable copy), otherwise, and
// always for an installed program, in the user's XDG folders, so that an
// installed program never loses data.
class AppLocation {
public:
    // The full path of the running executable.
    static QString executablePath();
    // Tests pretend the executable lives elsewhere; an empty path undoes it.
    static void setExecutablePathForTesting(const QString& path);

    static QString executableDir();
    // Writable, and no folder a program is installed to.
    static bool executableDirWritable();
    static bool isInstalledFolder(const QString& dir);

    // The executable's path with its extension replaced by ".ini" (the
    // extension is what follows the last "." of the file name; a name
    // without one gets ".ini" appended).
    static QString iniPathBeside(const QString& executablePath);

    // Built anew on every call, from the executable's path.
    static QString settingsFilePath();
    static QString logDirPath();

    // The same for a given executable and state of its folder.
    static QString settingsFilePathFor(const QString& executablePath, bool folderWritable);
    static QString logDirPathFor(const QString& executablePath, bool folderWritable);
};

}  // namespace im::core
