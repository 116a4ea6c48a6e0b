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

    QString path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal after "0x" or "$"; absent, empty or not a number gives def.
    int readInteger(const QString &section, const QString &key, int def) const;
    // True when the stored integer is non-zero.
    bool readBool(const QString &section, const QString &key, bool def) const;

    // Create the file, section and key as needed. Throw IniWriteError when refused.
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

private:
    QString m_path;
};
