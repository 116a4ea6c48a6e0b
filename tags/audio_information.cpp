#include "tags/audio_information.h"

#include "codec/asf_header.h"
#include "tags/genres.h"
#include "tags/tag_writers.h"

#include <QFile>
#include <QFileInfo>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/opusfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <type_traits>

namespace {

// TagLib opens almost any bytes; only a file with audio in it is tagged.
bool taggable(const TagLib::File &file)
{
    return file.isValid() && !file.readOnly() && file.audioProperties()
        && file.audioProperties()->sampleRate() > 0;
}

// Each version is saved on its own and leaves the other tag of the file as it is.
bool saveMp3(const char *path, const AudioInformation &info)
{
    TagLib::MPEG::File file(path);
    if (!taggable(file))
        return false;
    if (info.mp3TagInfoVersion == 1) {
        const bool known = info.infoGenre >= 0 && !genreName(info.infoGenre).isEmpty();
        writeId3v1(*file.ID3v1Tag(true), info.tagSet(), known ? info.infoGenre : -1);
        return file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripNone, TagLib::ID3v2::v3,
                         TagLib::File::DoNotDuplicate);
    }
    writeId3v2(*file.ID3v2Tag(true), info.tagSet());
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                     TagLib::File::DoNotDuplicate);
}

// Ogg Vorbis and Ogg Opus files hold the same Vorbis comment.
template<class OggFile>
bool saveOgg(const char *path, const AudioInformation &info)
{
    OggFile file(path);
    if (!taggable(file) || !file.tag())
        return false;
    constexpr bool opus = std::is_same_v<OggFile, TagLib::Ogg::Opus::File>;
    writeXiphComment(*file.tag(), info.tagSet(), opus ? GainFields::R128 : GainFields::ReplayGain);
    return file.save();
}

bool saveFlac(const char *path, const AudioInformation &info)
{
    TagLib::FLAC::File file(path);
    if (!taggable(file))
        return false;
    writeFlac(file, info.tagSet());
    return file.save();
}

// TagLib rewrites the ASF header in place over the size the file declares for it. A size below
// the header's own fields makes it copy the file into itself without end, until the disk is full.
bool asfHeaderSizeSound(const char *path)
{
    const std::optional<quint64> size = asfDeclaredHeaderSize(QFile::decodeName(path));
    return size && *size >= quint64(kAsfHeaderFieldBytes);
}

bool saveWma(const char *path, const AudioInformation &info)
{
    if (!asfHeaderSizeSound(path))
        return false;
    TagLib::ASF::File file(path);
    if (!taggable(file) || !file.tag())
        return false;
    writeAsf(*file.tag(), info.tagSet());
    return file.save();
}

// The INFO list goes into a chunk of its own; the audio chunks and any ID3 chunk stay.
bool saveWav(const char *path, const AudioInformation &info)
{
    TagLib::RIFF::WAV::File file(path);
    if (!taggable(file))
        return false;
    writeRiffInfo(*file.InfoTag(), info.tagSet());
    return file.save(TagLib::RIFF::WAV::File::Info, TagLib::File::StripNone);
}

} // namespace

TagSet AudioInformation::tagSet() const
{
    TagSet tags = extra;
    tags.fields = savedFields;
    tags.title = infoTitle;
    tags.artist = infoArtist;
    tags.album = infoAlbum;
    // A genre name only text tags can hold wins over the number's name there.
    if (tags.genre.isEmpty())
        tags.genre = genreName(infoGenre);
    tags.track = infoTrack;
    return tags;
}

bool AudioInformation::SaveTags(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const QString ext = QFileInfo(path).suffix().toLower();
    if (!QFileInfo(path).isFile())
        return false;
    if (ext == QLatin1String("mp3"))
        return saveMp3(name.constData(), *this);
    if (ext == QLatin1String("ogg"))
        return saveOgg<TagLib::Ogg::Vorbis::File>(name.constData(), *this);
    if (ext == QLatin1String("wma"))
        return saveWma(name.constData(), *this);
    if (ext == QLatin1String("flac"))
        return saveFlac(name.constData(), *this);
    if (ext == QLatin1String("opus"))
        return saveOgg<TagLib::Ogg::Opus::File>(name.constData(), *this);
    if (ext == QLatin1String("wav"))
        return saveWav(name.constData(), *this);
    return false;
}

std::optional<AudioProperties> AudioInformation::ReadProperties(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const TagLib::FileRef ref(QFile::encodeName(path).constData(), true,
                              TagLib::AudioProperties::Accurate);
    const TagLib::AudioProperties *audio = ref.isNull() ? nullptr : ref.audioProperties();
    if (!audio || audio->sampleRate() <= 0)
        return std::nullopt;
    return AudioProperties{audio->lengthInMilliseconds(), audio->sampleRate(), audio->channels(),
                           audio->bitrate()};
}
