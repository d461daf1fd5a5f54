#pragma once

#include <QString>

namespace im::settings {

// Where autostart entries live: the machine's folder, used when this user
// may write there (the program then starts for every user), otherwise the
// user's own.
struct AutorunLocation {
    QString machineDir;
    QString userDir;
    // /etc/xdg/autostart and $XDG_CONFIG_HOME/autostart.
    static AutorunLocation forThisSystem();
};

// Starting the program with the desktop session: a desktop entry whose
// Exec holds the quoted path of the executable and nothing else.
class Autorun {
public:
    Autorun(AutorunLocation location, QString executablePath);

    // The path as one quoted argument of an Exec key: every character that
    // quoting or the key's string escapes could read otherwise is escaped,
    // so no path can add an argument or a field code.
    static QString execValue(const QString& executablePath);

    // The entry's file in the folder in use.
    QString entryPath() const;
    // The entry exists and its Exec is exactly the quoted path (compared
    // with case).
    bool present() const;
    // Writes the entry, replacing any other; throws core::Error ("Failed to
    // create key <folder>", "Failed to set data for '<file>'").
    void write();
    // Removes the entry; a missing one, or one that may not be removed, is
    // left alone without a word.
    void remove();

private:
    QString dir() const;

    AutorunLocation location_;
    QString executablePath_;
};

}  // namespace im::settings
