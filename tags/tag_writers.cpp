#include "tags/tag_writers.h"

#include <taglib/asfattribute.h>
#include <taglib/asfpicture.h>
#include <taglib/asftag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

TagLib::String text(const QString &value)
{
    return TagLib::String(value.toStdString(), TagLib::String::UTF8);
}

TagLib::ByteVector bytes(const QByteArray &value)
{
    return TagLib::ByteVector(value.constData(), unsigned(value.size()));
}

// "7/12", or "7" when the total is unknown.
QString numberOfTotal(int number, int total)
{
    return total > 0 ? QStringLiteral("%1/%2").arg(number).arg(total) : QString::number(number);
}

// The fields every format has, through TagLib's common interface.
void writeCommon(TagLib::Tag &tag, const TagSet &tags)
{
    if (tags.has(TagSet::Title))
        tag.setTitle(text(tags.title));
    if (tags.has(TagSet::Artist))
        tag.setArtist(text(tags.artist));
    if (tags.has(TagSet::Album))
        tag.setAlbum(text(tags.album));
    if (tags.has(TagSet::Genre))
        tag.setGenre(text(tags.genre));
    if (tags.has(TagSet::Track))
        tag.setTrack(tags.track > 0 ? unsigned(tags.track) : 0);
}

// The ReplayGain fields of the values measured, under their usual names: "-6.52 dB" and the
// peak with six decimals.
std::vector<std::pair<const char *, QString>> replayGainFields(const TagSet &tags)
{
    std::vector<std::pair<const char *, QString>> fields;
    auto add = [&fields](const char *gain, const char *peak, const LoudnessValues &values) {
        fields.emplace_back(gain, QString::number(values.gainDb(), 'f', 2) + QStringLiteral(" dB"));
        fields.emplace_back(peak, QString::number(values.peak, 'f', 6));
    };
    if (tags.trackGain)
        add("REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK", *tags.trackGain);
    if (tags.albumGain)
        add("REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK", *tags.albumGain);
    return fields;
}

// Opus: the gain to -23 LUFS in 1/256 dB (Q7.8), and no peak.
std::vector<std::pair<const char *, QString>> r128Fields(const TagSet &tags)
{
    auto q78 = [](const LoudnessValues &values) {
        return QString::number(std::clamp(std::lround((-23.0 - values.loudness) * 256), -32768L, 32767L));
    };
    std::vector<std::pair<const char *, QString>> fields;
    if (tags.trackGain)
        fields.emplace_back("R128_TRACK_GAIN", q78(*tags.trackGain));
    if (tags.albumGain)
        fields.emplace_back("R128_ALBUM_GAIN", q78(*tags.albumGain));
    return fields;
}

void setId3Text(TagLib::ID3v2::Tag &tag, const char *id, const QString &value)
{
    if (value.isEmpty())
        return;
    tag.removeFrames(id);
    // Latin-1 where it suffices; TagLib takes UTF-16 for other text, as ID3v2.3 has it.
    auto *frame = new TagLib::ID3v2::TextIdentificationFrame(id);
    frame->setText(text(value));
    tag.addFrame(frame);
}

void setId3UserText(TagLib::ID3v2::Tag &tag, const char *description, const QString &value)
{
    if (value.isEmpty())
        return;
    if (auto *old = TagLib::ID3v2::UserTextIdentificationFrame::find(&tag, description))
        tag.removeFrame(old);
    auto *frame = new TagLib::ID3v2::UserTextIdentificationFrame;
    frame->setDescription(description);
    frame->setText(text(value));
    tag.addFrame(frame);
}

// The recording's MBID is the UFID of MusicBrainz's owner.
void setMusicBrainzUfid(TagLib::ID3v2::Tag &tag, const QString &recordingId)
{
    if (recordingId.isEmpty())
        return;
    const TagLib::ID3v2::FrameList frames = tag.frameList("UFID");
    for (TagLib::ID3v2::Frame *frame : frames) {
        auto *ufid = dynamic_cast<TagLib::ID3v2::UniqueFileIdentifierFrame *>(frame);
        if (ufid && ufid->owner() == "http://musicbrainz.org")
            tag.removeFrame(frame);
    }
    tag.addFrame(new TagLib::ID3v2::UniqueFileIdentifierFrame("http://musicbrainz.org",
                                                              bytes(recordingId.toLatin1())));
}

void setId3Picture(TagLib::ID3v2::Tag &tag, const TagPicture &picture)
{
    if (picture.isEmpty())
        return;
    const TagLib::ID3v2::FrameList frames = tag.frameList("APIC");
    for (TagLib::ID3v2::Frame *frame : frames) {
        auto *apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(frame);
        if (apic && apic->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            tag.removeFrame(frame);
    }
    auto *apic = new TagLib::ID3v2::AttachedPictureFrame;
    apic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    apic->setMimeType(text(picture.mimeType));
    apic->setPicture(bytes(picture.bytes));
    tag.addFrame(apic);
}

void setXiphField(TagLib::Ogg::XiphComment &tag, const char *key, const QString &value)
{
    if (!value.isEmpty())
        tag.addField(key, text(value), true);
}

// A Vorbis comment and a FLAC file hold their pictures alike.
template<class PictureHolder>
void setXiphPicture(PictureHolder &tag, const TagPicture &picture)
{
    if (picture.isEmpty())
        return;
    // The comment's own list deletes its pictures: no copy of it may outlive a removal.
    std::vector<TagLib::FLAC::Picture *> fronts;
    for (TagLib::FLAC::Picture *old : tag.pictureList()) {
        if (old->type() == TagLib::FLAC::Picture::FrontCover)
            fronts.push_back(old);
    }
    for (TagLib::FLAC::Picture *old : fronts)
        tag.removePicture(old);
    auto *flacPicture = new TagLib::FLAC::Picture;
    flacPicture->setType(TagLib::FLAC::Picture::FrontCover);
    flacPicture->setMimeType(text(picture.mimeType));
    flacPicture->setData(bytes(picture.bytes));
    tag.addPicture(flacPicture);
}

void setAsfText(TagLib::ASF::Tag &tag, const char *name, const QString &value)
{
    if (!value.isEmpty())
        tag.setAttribute(name, TagLib::ASF::Attribute(text(value)));
}

void setAsfPicture(TagLib::ASF::Tag &tag, const TagPicture &picture)
{
    if (picture.isEmpty())
        return;
    TagLib::ASF::Picture asfPicture;
    asfPicture.setType(TagLib::ASF::Picture::FrontCover);
    asfPicture.setMimeType(text(picture.mimeType));
    asfPicture.setPicture(bytes(picture.bytes));
    tag.setAttribute("WM/Picture", TagLib::ASF::Attribute(asfPicture));
}

} // namespace

void writeId3v1(TagLib::ID3v1::Tag &tag, const TagSet &tags, int genreNumber)
{
    writeCommon(tag, tags);
    if (tags.has(TagSet::Genre))
        tag.setGenreNumber(genreNumber >= 0 ? unsigned(genreNumber) : 255);
    if (!tags.year().isEmpty())
        tag.setYear(tags.year().toUInt());
}

void writeId3v2(TagLib::ID3v2::Tag &tag, const TagSet &tags)
{
    writeCommon(tag, tags);
    if (tags.has(TagSet::Track) && tags.track > 0 && tags.trackTotal > 0)
        setId3Text(tag, "TRCK", numberOfTotal(tags.track, tags.trackTotal));
    setId3Text(tag, "TPE2", tags.albumArtist);
    if (tags.disc > 0)
        setId3Text(tag, "TPOS", numberOfTotal(tags.disc, tags.discTotal));
    // Saved as v2.3, TagLib writes the date as TYER (and TDAT for a whole date).
    setId3Text(tag, "TDRC", tags.date);
    setId3UserText(tag, "MusicBrainz Album Id", tags.releaseId);
    setId3UserText(tag, "MusicBrainz Release Group Id", tags.releaseGroupId);
    setId3UserText(tag, "MusicBrainz Release Track Id", tags.releaseTrackId);
    setMusicBrainzUfid(tag, tags.recordingId);
    setId3Picture(tag, tags.frontCover);
    for (const auto &[name, value] : replayGainFields(tags))
        setId3UserText(tag, name, value);
}

void writeXiphComment(TagLib::Ogg::XiphComment &tag, const TagSet &tags, GainFields gains)
{
    const bool r128 = gains == GainFields::R128;
    for (const auto &[name, value] : r128 ? r128Fields(tags) : replayGainFields(tags))
        setXiphField(tag, name, value);
    writeCommon(tag, tags);
    if (tags.has(TagSet::Track) && tags.trackTotal > 0)
        setXiphField(tag, "TRACKTOTAL", QString::number(tags.trackTotal));
    setXiphField(tag, "ALBUMARTIST", tags.albumArtist);
    setXiphField(tag, "DATE", tags.date);
    if (tags.disc > 0) {
        setXiphField(tag, "DISCNUMBER", QString::number(tags.disc));
        if (tags.discTotal > 0)
            setXiphField(tag, "DISCTOTAL", QString::number(tags.discTotal));
    }
    setXiphField(tag, "MUSICBRAINZ_ALBUMID", tags.releaseId);
    setXiphField(tag, "MUSICBRAINZ_RELEASEGROUPID", tags.releaseGroupId);
    setXiphField(tag, "MUSICBRAINZ_TRACKID", tags.recordingId);
    setXiphField(tag, "MUSICBRAINZ_RELEASETRACKID", tags.releaseTrackId);
    setXiphPicture(tag, tags.frontCover);
}

void writeAsf(TagLib::ASF::Tag &tag, const TagSet &tags)
{
    writeCommon(tag, tags);
    setAsfText(tag, "WM/AlbumArtist", tags.albumArtist);
    setAsfText(tag, "WM/Year", tags.year());
    if (tags.disc > 0)
        setAsfText(tag, "WM/PartOfSet", numberOfTotal(tags.disc, tags.discTotal));
    setAsfText(tag, "MusicBrainz/Album Id", tags.releaseId);
    setAsfText(tag, "MusicBrainz/Release Group Id", tags.releaseGroupId);
    setAsfText(tag, "MusicBrainz/Track Id", tags.recordingId);
    setAsfText(tag, "MusicBrainz/Release Track Id", tags.releaseTrackId);
    setAsfPicture(tag, tags.frontCover);
    for (const auto &[name, value] : replayGainFields(tags))
        setAsfText(tag, name, value);
}

void writeRiffInfo(TagLib::RIFF::Info::Tag &tag, const TagSet &tags)
{
    writeCommon(tag, tags);
    if (!tags.date.isEmpty())
        tag.setFieldText("ICRD", text(tags.date));
}

void writeFlac(TagLib::FLAC::File &file, const TagSet &tags)
{
    TagSet comments = tags;
    comments.frontCover = TagPicture();
    writeXiphComment(*file.xiphComment(true), comments);
    setXiphPicture(file, tags.frontCover);
}
