// The settings file: read every text key, write one, and read them all again. The input is the
// file; its last two lines, read as the file's text is read, are also the value written. What was
// written reads back as the writer promises (on one line, trimmed, cut to the length a reader
// sees), and no other key changes.
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "fuzz/fuzz_support.h"

#include <QStringList>
#include <vector>

namespace {

std::vector<const TextKey *> textKeys()
{
    std::vector<const TextKey *> keys{&settings::cddbServer, &settings::cgiScript,
                                      &settings::accurateRipServer, &settings::normalize,
                                      &settings::outputDirectory, &settings::writeLog,
                                      &settings::skinName};
    for (const settings::Replacement &r : settings::replacements)
        keys.push_back(&r.key);
    return keys;
}

QStringList readAll(const IniFile &ini, const std::vector<const TextKey *> &keys)
{
    QStringList values;
    for (const TextKey *key : keys)
        values << ini.read(*key);
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    const QByteArray input = fuzz::bytes(data, size);
    IniFile ini(fuzz::writeInput(QStringLiteral("harvelo.ini"), data, size));
    ini.read(settings::skin);
    const std::vector<const TextKey *> keys = textKeys();
    const size_t written = size % keys.size();
    const qsizetype last = input.lastIndexOf('\n');
    const qsizetype before = last > 0 ? input.lastIndexOf('\n', last - 1) : -1;
    const QString value = IniFile::decodeText(input.mid(before + 1));
    QStringList expected = readAll(ini, keys);
    try {
        ini.write(*keys[written], value);
    } catch (const IniWriteError &) {
        fuzz::fail("a write to a writable settings file was refused");
    }
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    expected[qsizetype(written)] = oneLine.trimmed().left(IniFile::maxValueLength);
    if (readAll(ini, keys) != expected)
        fuzz::fail("a value written reads back otherwise, or another key changed");
    return 0;
}
