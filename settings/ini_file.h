#pragma once

#include <QString>
#include <stdexcept>

struct IntKey;
struct TextKey;

// Raised when the system refuses a write; the message is "Unable to write to <file>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const QString &fileName);
};

// Private-profile style access to one INI file. Every call goes to the file: reads parse it
// afresh, a write changes one key and keeps every other line as it was. Sections and keys
// match without regard to letter case. Safe to use from any thread; nothing is shared.
class IniFile {
public:
    // "open": binds to harvelo.ini at configPath() unless another path is given.
    explicit IniFile(QString path = configPath());

    // $HARVELO_CONFIG_DIR/harvelo.ini, else $XDG_CONFIG_HOME/harvelo/harvelo.ini.
    static QString configPath();
    static constexpr int maxValueLength = 2047;
    // A larger file is read as far as its last line within this many bytes, and said so once
    // on stderr; a write keeps the rest as it is.
    static constexpr qint64 maxFileBytes = 1024 * 1024;

    QString path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal after "0x" or "$"; absent, empty or not a number gives def.
    int readInteger(const QString &section, const QString &key, int def) const;
    // True when the stored integer is non-zero.
    bool readBool(const QString &section, const QString &key, bool def) const;

    // Create the file, section and key as needed; a line break in the value becomes a blank.
    // Throw IniWriteError when refused, and when the file would grow past maxFileBytes.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    // Table-driven forms: the one default per key (settings_keys.h).
    QString read(const TextKey &key) const;
    int read(const IntKey &key) const;
    bool readFlag(const IntKey &key) const;
    void write(const TextKey &key, const QString &value);
    void write(const IntKey &key, int value);

    // "close": nothing is held open between calls; kept so callers read like the other users.
    void close() {}

    // Integer parsing shared with the settings dialog's fields.
    static bool parseInteger(const QString &text, int *value);

    // The file's text is UTF-8; bytes that are not come back as U+DC80 to U+DCFF, one a byte,
    // and are written back as those bytes, so reading and writing a value loses nothing.
    static QString decodeText(const QByteArray &bytes);
    static QByteArray encodeText(const QString &text);
    // False for a path that Qt would hand to the file system as other bytes than it was read
    // from (a stored name that is not UTF-8): it would name a look-alike file or folder.
    static bool isFaithfulPath(const QString &path);
    // Why such a path of `key` is refused, for the user.
    QString unfaithfulPathMessage(const TextKey &key) const;

private:
    void saveFile(const QByteArray &head, qint64 rest) const;

    QString m_path;
};
