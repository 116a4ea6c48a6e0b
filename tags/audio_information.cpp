#include "tags/audio_information.h"

#include "tags/genres.h"

#include <QFile>
#include <QFileInfo>
#include <taglib/asffile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

namespace {

// TagLib opens almost any bytes; only a file with audio in it is tagged.
bool taggable(const TagLib::File &file)
{
    return file.isValid() && !file.readOnly() && file.audioProperties()
        && file.audioProperties()->sampleRate() > 0;
}

TagLib::String text(const QString &value)
{
    return TagLib::String(value.toStdString(), TagLib::String::UTF8);
}

// A tag that holds the genre as text gets the genre's name; -1 (or an unknown number) none.
void fill(TagLib::Tag &tag, const AudioInformation &info)
{
    const auto saved = [&info](AudioInformation::Field field) { return info.savedFields & field; };
    if (saved(AudioInformation::Title))
        tag.setTitle(text(info.infoTitle));
    if (saved(AudioInformation::Artist))
        tag.setArtist(text(info.infoArtist));
    if (saved(AudioInformation::Album))
        tag.setAlbum(text(info.infoAlbum));
    if (saved(AudioInformation::Genre))
        tag.setGenre(text(genreName(info.infoGenre)));
    if (saved(AudioInformation::Track))
        tag.setTrack(info.infoTrack > 0 ? unsigned(info.infoTrack) : 0);
}

// Each version is saved on its own and leaves the other tag of the file as it is.
bool saveMp3(const char *path, const AudioInformation &info)
{
    TagLib::MPEG::File file(path);
    if (!taggable(file))
        return false;
    if (info.mp3TagInfoVersion == 1) {
        TagLib::ID3v1::Tag *tag = file.ID3v1Tag(true);
        fill(*tag, info);
        const bool known = info.infoGenre >= 0 && !genreName(info.infoGenre).isEmpty();
        if (info.savedFields & AudioInformation::Genre)
            tag->setGenreNumber(known ? unsigned(info.infoGenre) : 255);
        return file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripNone, TagLib::ID3v2::v3,
                         TagLib::File::DoNotDuplicate);
    }
    fill(*file.ID3v2Tag(true), info);
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                     TagLib::File::DoNotDuplicate);
}

bool saveOgg(const char *path, const AudioInformation &info)
{
    TagLib::Ogg::Vorbis::File file(path);
    if (!taggable(file) || !file.tag())
        return false;
    fill(*file.tag(), info);
    return file.save();
}

bool saveWma(const char *path, const AudioInformation &info)
{
    TagLib::ASF::File file(path);
    if (!taggable(file) || !file.tag())
        return false;
    fill(*file.tag(), info);
    return file.save();
}

// The INFO list goes into a chunk of its own; the audio chunks and any ID3 chunk stay.
bool saveWav(const char *path, const AudioInformation &info)
{
    TagLib::RIFF::WAV::File file(path);
    if (!taggable(file))
        return false;
    fill(*file.InfoTag(), info);
    return file.save(TagLib::RIFF::WAV::File::Info, TagLib::File::StripNone);
}

} // namespace

bool AudioInformation::SaveTags(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const QString ext = QFileInfo(path).suffix().toLower();
    if (!QFileInfo(path).isFile())
        return false;
    if (ext == QLatin1String("mp3"))
        return saveMp3(name.constData(), *this);
    if (ext == QLatin1String("ogg"))
        return saveOgg(name.constData(), *this);
    if (ext == QLatin1String("wma"))
        return saveWma(name.constData(), *this);
    if (ext == QLatin1String("wav"))
        return saveWav(name.constData(), *this);
    return false;
}
