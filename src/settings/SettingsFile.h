#pragma once

#include "core/ErrorReport.h"
#include "settings/SettingsSchema.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace im::settings {

// A write the file system refused: "Unable to write to <path>".
class SettingsWriteError : public core::Error {
public:
    explicit SettingsWriteError(const QString& path);
};

// An existing settings file that cannot be read.
class SettingsReadError : public core::Error {
public:
    explicit SettingsReadError(const QString& path);
};

// The settings file: INI text, section and key names matched without regard
// to case. There is no cache: every read goes to the file and every write
// reaches it at once, replacing it atomically, so a kill at any moment leaves
// the old file or the new one, whole.
class SettingsFile {
public:
    explicit SettingsFile(QString path);
    // The program's own settings file (beside the executable or in the
    // user's configuration folder).
    static SettingsFile forApplication();

    const QString& path() const { return path_; }

    // A missing file, section or key gives the default; a string is cut to
    // 2047 characters; an integer that does not parse gives the default.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // An existing key keeps its place, a new key goes to the end of its
    // section, a new section to the end of the file. Throws
    // SettingsWriteError when the file cannot be written.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    QString read(const StringKey& key) const;
    int read(const IntKey& key) const;
    bool read(const BoolKey& key) const;
    void write(const StringKey& key, const QString& value);
    void write(const IntKey& key, int value);
    void write(const BoolKey& key, bool value);

    // The writes that follow are gathered in memory (and reads see them)
    // until commit() puts them in the file in one replacement: a close
    // writes twenty keys, and each replacement waits for the disk. Throws
    // SettingsReadError when the file cannot be read.
    void beginBatch();
    // Throws SettingsWriteError; the batch ends either way.
    void commit();

    // The integer reading rule: "0x"/"0X" (with more after it) or "$" start
    // hexadecimal, anything else is decimal; 32-bit, otherwise no value.
    static std::optional<int> parseInteger(const QString& text);

    struct Lines;

private:
    std::optional<QString> lookup(const QString& section, const QString& key) const;
    void store(const Lines& lines);
    QString path_;
    std::shared_ptr<Lines> batch_;
};

}  // namespace im::settings
