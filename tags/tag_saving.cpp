#include "tags/tag_saving.h"

#include "codec/audio_file.h"
#include "codec/conversion_block.h"
#include "disc/track_checksums.h"
#include "jobs/part_file.h"
#include "tags/audio_information.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kCopyChunk = 1 << 20;

// FNV-1a over the samples' bytes: any changed, missing or added sample changes it.
quint64 addToChecksum(quint64 sum, const std::vector<int16_t> &samples)
{
    for (const int16_t s : samples) {
        const auto u = uint16_t(s);
        sum = (sum ^ (u & 0xFF)) * 1099511628211ull;
        sum = (sum ^ (u >> 8)) * 1099511628211ull;
    }
    return sum;
}

// Copies `from` into the existing file `to` chunk by chunk.
bool copyInto(const QString &from, const QString &to)
{
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunk);
        if (in.error() != QFileDevice::NoError || out.write(chunk) != chunk.size())
            return false;
    }
    out.close();
    return out.error() == QFileDevice::NoError;
}

QString refused(const QString &file)
{
    return QStringLiteral("cannot write tags into ") + file;
}

} // namespace

DecodedAudio decodeAudio(const QString &path)
{
    DecodedAudio audio;
    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(path, 0, 1);
    if (reader.ErrorCode() != 0)
        return audio;
    audio.rate = reader.SampleRate();
    audio.channels = reader.Channels();
    audio.checksum = 14695981039346656037ull;
    for (;;) {
        const SampleBlock block = reader.ReadBlock(conversionBlockSamples(reader));
        if (reader.ErrorCode() != 0)
            return audio;
        if (block.isEmpty())
            break;
        audio.frames += block.frames();
        audio.checksum = addToChecksum(audio.checksum, block.samples);
        audio.crc32 = pcmCrc32(audio.crc32, block.samples.data(), block.samples.size());
    }
    reader.CloseFile();
    audio.complete = true;
    return audio;
}

TagSave saveTagsChecked(AudioInformation &info, const QString &path, int firstVersion,
                        const DecodedAudio &before)
{
    if (!before.complete)
        return TagSave::Refused;
    info.mp3TagInfoVersion = int16_t(firstVersion);
    const bool first = info.SaveTags(path);
    info.mp3TagInfoVersion = int16_t(3 - firstVersion);
    if (!info.SaveTags(path) || !first)
        return TagSave::Refused;
    return decodeAudio(path) == before ? TagSave::Saved : TagSave::AudioChanged;
}

std::optional<QString> tagFileThroughCopy(AudioInformation &info, const QString &file)
{
    const QString real = QFileInfo(file).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile())
        return refused(file);
    const DecodedAudio before = decodeAudio(real);
    if (!before.complete)
        return refused(file) + QStringLiteral(": its audio does not decode to its end");
    PartFile part(real);
    if (!copyInto(real, part.path()))
        return refused(file);
    switch (saveTagsChecked(info, part.path(), 1, before)) {
    case TagSave::Saved:
        break;
    case TagSave::Refused:
        return refused(file);
    case TagSave::AudioChanged:
        return QStringLiteral("tagging %1 would damage its audio; it is left as it was").arg(file);
    }
    if (part.commit())
        return std::nullopt;
    return part.conflicted() ? conflictMessage(file) : refused(file);
}
