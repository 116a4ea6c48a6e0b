#include "rip/output_naming.h"

#include "jobs/part_file.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "rip/track_list_format.h"

#include <QDir>
#include <algorithm>

namespace {

// Stands in for what a name may not hold after the user's replacements have run.
constexpr QChar kNeutral = QLatin1Char('#');

QString confined(QString name)
{
    // Control characters from a server, a disc or an edit make names no one can type or see.
    name.removeIf(isControlCharacter);
    name.replace(QLatin1Char('/'), kNeutral);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name.fill(kNeutral);
    return name;
}

enum Rule { Title, TitleArtist, TitleArtistAlbum, ArtistTitle, ArtistNumberTitle,
            ArtistAlbumTitle, ArtistAlbumNumberTitle };

QString stemFor(int rule, const QString &t, const QString &a, const QString &b, int number)
{
    const QString numbered = QString::number(number) + QLatin1Char('-') + t;
    switch (rule) {
    case TitleArtist:
        return t + QLatin1Char('-') + a;
    case TitleArtistAlbum:
        return t + QLatin1Char('-') + a + QLatin1Char('-') + b;
    case ArtistNumberTitle:
    case ArtistAlbumNumberTitle:
        return numbered;
    default: // a rule the settings dialog never writes names the file by its title
        return t;
    }
}

} // namespace

bool isControlCharacter(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

NamingSettings NamingSettings::read(const IniFile &ini, const std::optional<QString> &fixedExtension)
{
    NamingSettings s;
    s.outputDirectory = ini.read(settings::outputDirectory);
    s.filenameFormat = ini.read(settings::filenameFormat);
    for (const settings::Replacement &r : settings::replacements)
        s.replacements << ini.read(r.key);
    s.extension = fixedExtension ? *fixedExtension
                                 : ripExtension(ini.read(settings::outputType), ini);
    return s;
}

const TextKey *NamingSettings::unfaithfulKey() const
{
    if (!IniFile::isFaithfulPath(outputDirectory))
        return &settings::outputDirectory;
    for (size_t i = 0; i < settings::replacements.size(); ++i) {
        if (!IniFile::isFaithfulPath(replacements.value(qsizetype(i))))
            return &settings::replacements[i].key;
    }
    return nullptr;
}

QString extensionForOutputType(int outputType)
{
    static const char *const extensions[] = {".mp3", ".wav", ".wma", ".ogg"};
    if (outputType < 0 || outputType > 3)
        return {};
    return QString::fromLatin1(extensions[outputType]);
}

QString ripExtension(int outputType, const IniFile &ini)
{
    const auto chosen = [&ini](const TextKey &key, const char *value) {
        return ini.read(key).compare(QLatin1String(value), Qt::CaseInsensitive) == 0;
    };
    if (outputType == 1 && chosen(settings::losslessFormat, "flac"))
        return QStringLiteral(".flac");
    if (outputType == 3 && chosen(settings::oggCodec, "opus"))
        return QStringLiteral(".opus");
    return extensionForOutputType(outputType);
}

QString formatName(const QString &extension)
{
    if (extension == QLatin1String(".ogg"))
        return QStringLiteral("OGG Vorbis");
    if (extension == QLatin1String(".opus"))
        return QStringLiteral("Opus");
    return extension.mid(1).toUpper();
}

QString cleanName(const QString &text, const QStringList &replacements)
{
    QString name = text;
    for (size_t i = 0; i < settings::replacements.size(); ++i) {
        const QString value = i < size_t(replacements.size()) ? replacements[int(i)] : QString();
        name.replace(settings::replacements[i].replaced, value, Qt::CaseInsensitive);
    }
    return confined(name);
}

OutputPath planOutputPath(const TrackNames &track, const NamingSettings &settings)
{
    const QString a = fittedName(cleanName(track.artist, settings.replacements));
    const QString b = fittedName(cleanName(track.album, settings.replacements));
    // A title of control characters alone would name the file ".wav": named as untitled.
    const QString t = cleanName(tracklist::trackName(track.title, track.number), settings.replacements);
    const int rule = settings.filenameFormat;

    OutputPath out;
    out.directory = settings.outputDirectory;
    if (rule >= ArtistTitle && rule <= ArtistAlbumNumberTitle) {
        out.directories << out.directory;
        out.directory += QLatin1Char('/') + a;
        out.directories << out.directory;
        if (rule >= ArtistAlbumTitle) {
            out.directory += QLatin1Char('/') + b;
            out.directories << out.directory;
        }
    }
    out.path = out.directory + QLatin1Char('/')
             + fittedName(stemFor(rule, t, a, b, track.number), settings.extension);
    return out;
}

void createDirectoryLevel(const QString &dir)
{
    QDir().mkdir(dir);
}

void createDirectoryLevels(const QStringList &dirs)
{
    for (const QString &dir : dirs)
        createDirectoryLevel(dir);
}
