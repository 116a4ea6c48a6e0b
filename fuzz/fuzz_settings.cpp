// The settings file: read some keys, write one, and read it back. The write must keep the value
// readable whatever the file held before.
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    IniFile ini(fuzz::writeInput(QStringLiteral("harvelo.ini"), data, size));
    ini.read(settings::skin);
    ini.read(settings::cddbServer);
    ini.readString(QStringLiteral("Harvelo"), QStringLiteral("OutputDir"), QString());
    const QString value = QStringLiteral("fuzzed value");
    try {
        ini.writeString(QStringLiteral("harvelo"), QStringLiteral("fuzzkey"), value);
    } catch (const IniWriteError &) {
        fuzz::fail("a write to a writable settings file was refused");
    }
    if (ini.readString(QStringLiteral("HARVELO"), QStringLiteral("FUZZKEY"), QString()) != value)
        fuzz::fail("a key just written reads back otherwise");
    return 0;
}
