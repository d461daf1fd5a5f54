#include "settings/SettingsFile.h"

#include "core/AppLocation.h"
#include "core/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringTokenizer>

#include <limits>

namespace im::settings {

namespace {

constexpr qsizetype kMaxStringLength = 2047;

}  // namespace

// The file as lines, without their line ends. A file written on Windows
// keeps its CR LF line ends when it is rewritten.
struct SettingsFile::Lines {
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
};
using IniText = SettingsFile::Lines;

namespace {

QString decode(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) {
        view = view.sliced(3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) {
        return text;
    }
    // A file carried over from a Windows machine holds its Cyrillic texts
    // (the alarm sound's name) in the Windows-1251 code page.
    QStringDecoder cp1251("windows-1251");
    if (cp1251.isValid()) {
        text = cp1251.decode(view);
        if (!cp1251.hasError()) {
            return text;
        }
    }
    return QString::fromLatin1(view);
}

QString loadText(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).exists()) {
        return {};  // also a link to a file not yet written
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw SettingsReadError(path);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw SettingsReadError(path);
    }
    return decode(bytes);
}

IniText load(const QString& path) {
    IniText ini;
    const QString text = loadText(path);
    if (text.isEmpty()) {
        return ini;
    }
    ini.lines = text.split(QLatin1Char('\n'));
    if (ini.lines.constLast().isEmpty()) {
        ini.lines.removeLast();  // the final line end adds no line
    }
    if (!ini.lines.isEmpty() && ini.lines.constFirst().endsWith(QLatin1Char('\r'))) {
        ini.lineEnd = QStringLiteral("\r\n");
    }
    for (QString& line : ini.lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    return ini;
}

// Views into the line: a value of megabytes is not copied to be looked at.
bool sectionName(QStringView line, QStringView* name) {
    const QStringView t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) {
        return false;
    }
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    *name = (close < 0 ? t.sliced(1) : t.sliced(1, close - 1)).trimmed();
    return true;
}

bool keyAndValue(QStringView line, QStringView* key, QStringView* value) {
    const QStringView t = line.trimmed();
    if (t.startsWith(QLatin1Char(';'))) {
        return false;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) {
        return false;
    }
    *key = t.first(eq).trimmed();
    if (value) {
        *value = t.sliced(eq + 1).trimmed();
    }
    return true;
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first section of that name, or -1.
qsizetype findSection(const QStringList& lines, const QString& section) {
    QStringView name;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (sectionName(lines[i], &name) && sameName(name, section)) {
            return i;
        }
    }
    return -1;
}

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

std::optional<int> parseHex(QStringView digits) {
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    quint64 value = 0;
    for (QChar c : digits) {
        const int d = hexDigitValue(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<quint64>(d);
        if (value > std::numeric_limits<quint32>::max()) {
            return std::nullopt;
        }
    }
    // Eight hex digits carry the sign bit, as a 32-bit value does.
    return static_cast<int>(static_cast<quint32>(value));
}

std::optional<int> parseDecimal(QStringView text) {
    bool negative = false;
    if (!text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'))) {
        negative = text.front() == QLatin1Char('-');
        text = text.sliced(1);
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace

SettingsWriteError::SettingsWriteError(const QString& path)
    : core::Error(QCoreApplication::translate("SettingsFile", "Unable to write to %1").arg(path)) {}

SettingsReadError::SettingsReadError(const QString& path)
    : core::Error(QCoreApplication::translate("SettingsFile", "Unable to read %1").arg(path)) {}

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

SettingsFile SettingsFile::forApplication() {
    return SettingsFile(core::AppLocation::settingsFilePath());
}

std::optional<int> SettingsFile::parseInteger(const QString& text) {
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        return parseHex(QStringView(text).sliced(2));
    }
    if (text.startsWith(QLatin1Char('$'))) {
        return parseHex(QStringView(text).sliced(1));
    }
    return parseDecimal(text);
}

std::optional<QString> SettingsFile::lookup(const QString& section, const QString& key) const {
    // Read without splitting the file into lines: start-up reads it once
    // per setting, and a hand-edited file may hold a value of megabytes.
    const QString text = batch_ ? batch_->lines.join(QLatin1Char('\n')) : loadText(path_);
    bool inSection = false;
    QStringView name, value;
    for (const QStringView line : QStringTokenizer(text, QLatin1Char('\n'))) {
        if (sectionName(line, &name)) {
            if (inSection) {
                break;  // only the first section of that name counts
            }
            inSection = sameName(name, section);
        } else if (inSection && keyAndValue(line, &name, &value) && sameName(name, key)) {
            return value.toString();
        }
    }
    return std::nullopt;
}

QString SettingsFile::ReadString(const QString& section, const QString& key,
                                 const QString& defaultValue) const {
    const std::optional<QString> value = lookup(section, key);
    return value ? value->left(kMaxStringLength) : defaultValue;
}

int SettingsFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const std::optional<QString> value = lookup(section, key);
    if (!value) {
        return defaultValue;
    }
    return parseInteger(*value).value_or(defaultValue);
}

bool SettingsFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::beginBatch() {
    batch_ = std::make_shared<Lines>(load(path_));
}

void SettingsFile::commit() {
    const std::shared_ptr<Lines> batch = std::move(batch_);
    if (batch) {
        store(*batch);
    }
}

void SettingsFile::WriteString(const QString& section, const QString& key, const QString& value) {
    IniText loaded;
    if (!batch_) {
        loaded = load(path_);
    }
    IniText& ini = batch_ ? *batch_ : loaded;
    // A line break inside a value would start a line of its own and could
    // forge other keys; it is stored as a space.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString entry = key + QLatin1Char('=') + clean;

    qsizetype i = findSection(ini.lines, section);
    if (i < 0) {
        ini.lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else {
        qsizetype lastFilled = i;
        qsizetype found = -1;
        QStringView name;
        for (++i; i < ini.lines.size(); ++i) {
            if (sectionName(ini.lines[i], &name)) {
                break;
            }
            if (!ini.lines[i].trimmed().isEmpty()) {
                lastFilled = i;
            }
            if (found < 0 && keyAndValue(ini.lines[i], &name, nullptr) && sameName(name, key)) {
                found = i;
            }
        }
        if (found >= 0) {
            ini.lines[found] = entry;
        } else {
            ini.lines.insert(lastFilled + 1, entry);
        }
    }
    if (!batch_) {
        store(ini);
    }
}

void SettingsFile::store(const Lines& ini) {
    QString text = ini.lines.join(ini.lineEnd);
    text += ini.lineEnd;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // A file holding a secret (the broker's password, the web page's key)
    // is for its owner's eyes only.
    bool secret = false;
    for (const StringKey* key : {&keys::MqttPassword, &keys::WebToken}) {
        qsizetype i = findSection(ini.lines, QLatin1String(key->section));
        QStringView name, value;
        for (++i; i > 0 && i < ini.lines.size() && !sectionName(ini.lines[i], &name); ++i) {
            if (keyAndValue(ini.lines[i], &name, &value) &&
                sameName(name, QString::fromLatin1(key->name))) {
                secret = secret || !value.isEmpty();
                break;
            }
        }
    }
    const core::FileAccess access = secret ? core::FileAccess::OwnerOnly : core::FileAccess::Keep;
    if (core::replaceFileAtomically(path_, text.toUtf8(), access) != 0) {
        throw SettingsWriteError(path_);
    }
}

void SettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void SettingsFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString SettingsFile::read(const StringKey& key) const {
    return ReadString(QLatin1String(key.section), QLatin1String(key.name),
                      QString::fromUtf8(key.defaultValue));
}

int SettingsFile::read(const IntKey& key) const {
    return ReadInteger(QLatin1String(key.section), QLatin1String(key.name), key.defaultValue);
}

bool SettingsFile::read(const BoolKey& key) const {
    return ReadBool(QLatin1String(key.section), QLatin1String(key.name), key.defaultValue);
}

void SettingsFile::write(const StringKey& key, const QString& value) {
    WriteString(QLatin1String(key.section), QLatin1String(key.name), value);
}

void SettingsFile::write(const IntKey& key, int value) {
    WriteInteger(QLatin1String(key.section), QLatin1String(key.name), value);
}

void SettingsFile::write(const BoolKey& key, bool value) {
    WriteBool(QLatin1String(key.section), QLatin1String(key.name), value);
}

}  // namespace im::settings
