// Cue sheets: every line checked first (cue_sheet_text.cpp), libcue then supplies the
// structure, and the layout is built from the files the sheet names. The CD-Text is read in the
// check: libcue's cdtext_get shares its name with libcdio's, and the process gets libcdio's.
#include "disc/image/cd_image.h"
#include "disc/image/cue_sheet_text.h"
#include "disc/image/libcue_parse.h"
#include "disc/text_decoding.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>

#include <libcue.h>

namespace {

constexpr int kFramesPerSector = 588;
constexpr int kAudioSectorBytes = 2352;

int sectorBytes(enum TrackMode mode)
{
    switch (mode) {
    case MODE_MODE1:
    case MODE_MODE2_FORM1:
        return 2048;
    case MODE_MODE2:
    case MODE_MODE2_FORM_MIX:
        return 2336;
    case MODE_MODE2_FORM2:
        return 2324;
    default:
        return kAudioSectorBytes;
    }
}

// A file of the sheet: where its data lies, and how far the tracks so far have used it.
struct SheetFile {
    int index = -1;
    int64_t dataOffset = 0;
    int64_t dataBytes = 0;
    int64_t cursorSector = 0;
    int64_t cursorByte = 0;
};

class CueLayoutBuilder {
public:
    CueLayoutBuilder(const CueText &cue, const QString &folder) : m_cue(cue), m_folder(folder) {}
    std::optional<CdImageLayout> build(const Cd *cd, QString *error);

private:
    bool fail(int line, const QString &reason, QString *error) const;
    SheetFile *openFile(const QByteArray &name, QString *error);
    std::optional<SheetFile> openSheetFile(const QByteArray &name, const QByteArray &type, QString *reason);
    bool addTrack(const Cd *cd, int position, QString *error);
    void addSessionData(const CueSessionData &data);
    void addData(const SheetFile &file, int64_t fromByte, int64_t bytes, enum TrackMode mode);
    int64_t dataStart(const Track *track, bool *gapInPreviousFile) const;
    int pregapSectors(const Track *track) const;

    const CueText &m_cue;
    QString m_folder;
    CdImageBuilder m_builder;
    QHash<QByteArray, SheetFile> m_files;
    QByteArray m_previousFile;
    QList<int> m_pregaps;
};

bool CueLayoutBuilder::fail(int line, const QString &reason, QString *error) const
{
    *error = QStringLiteral("line %1: %2").arg(line).arg(reason);
    return false;
}

SheetFile *CueLayoutBuilder::openFile(const QByteArray &name, QString *error)
{
    if (m_files.contains(name))
        return &m_files[name];
    const CueFile sheetFile = m_cue.files.value(name);
    QString reason;
    const auto opened = openSheetFile(name, sheetFile.type, &reason);
    if (!opened) {
        fail(sheetFile.line, reason, error);
        return nullptr;
    }
    return &m_files.insert(name, *opened).value();
}

// The one place that opens a file the sheet names: where its audio lies, by its type.
std::optional<SheetFile> CueLayoutBuilder::openSheetFile(const QByteArray &name, const QByteArray &type,
                                                         QString *reason)
{
    const QString shown = fromUtf8OrLatin1(name);
    const QString path = resolveImageFile(m_folder, shown);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("cannot open %1").arg(shown);
        return std::nullopt;
    }
    SheetFile opened;
    const bool flac = isFlacImageFile(path, type);
    if (flac) {
        const auto audio = locateFlacData(path, reason);
        if (!audio)
            return std::nullopt;
        opened.dataBytes = audio->bytes;
    } else if (type == "WAVE") {
        const auto wav = locateWavData(file, reason);
        if (!wav)
            return std::nullopt;
        opened.dataOffset = wav->offset;
        opened.dataBytes = wav->bytes;
    } else if (type == "BINARY" || type == "MOTOROLA") {
        opened.dataBytes = file.size();
    } else {
        *reason = QStringLiteral("%1: %2 files are not supported").arg(shown, QString::fromLatin1(type));
        return std::nullopt;
    }
    opened.index = m_builder.addFile(path, type == "MOTOROLA", flac);
    return opened;
}

// Where the track's own data begins in its file: INDEX 00 when the gap is in the same file.
// A FILE line between INDEX 00 and INDEX 01 (gaps appended to the previous track's file)
// leaves INDEX 00 counting in the previous file, behind INDEX 01.
int64_t CueLayoutBuilder::dataStart(const Track *track, bool *gapInPreviousFile) const
{
    const long index0 = track_get_index(track, 0);
    const long index1 = track_get_index(track, 1);
    *gapInPreviousFile = index0 > index1;
    return index0 >= 0 && index0 <= index1 ? index0 : index1;
}

// INDEX 00 to INDEX 01, whether the gap lies in the track's file, in the previous track's
// file (its end), or nowhere (PREGAP, silence the sheet adds).
int CueLayoutBuilder::pregapSectors(const Track *track) const
{
    const long index0 = track_get_index(track, 0);
    const long index1 = track_get_index(track, 1);
    if (index0 < 0)
        return int(std::max(0L, track_get_zero_pre(track)));
    if (index0 <= index1)
        return int(index1 - index0);
    const auto previous = m_files.constFind(m_previousFile);
    return previous == m_files.cend() ? 0 : int(std::max<int64_t>(0, previous->cursorSector - index0));
}

void CueLayoutBuilder::addData(const SheetFile &file, int64_t fromByte, int64_t bytes, enum TrackMode mode)
{
    const int size = sectorBytes(mode);
    if (mode == MODE_AUDIO)
        m_builder.addFileData(file.index, file.dataOffset + fromByte, bytes / 4);
    else
        m_builder.addSilence((bytes + size - 1) / size * kFramesPerSector);
}

bool CueLayoutBuilder::addTrack(const Cd *cd, int position, QString *error)
{
    const CueTrack &sheet = m_cue.tracks[position - 1];
    const Track *track = cd_get_track(cd, position);
    const QByteArray name = track_get_filename(track);
    SheetFile *file = openFile(name, error);
    if (!file)
        return false;
    const long index1 = track_get_index(track, 1);
    bool gapElsewhere = false;
    const int64_t from = dataStart(track, &gapElsewhere);
    if (index1 < 0 || (gapElsewhere && name == m_previousFile) || from < file->cursorSector)
        return fail(sheet.index1Line, QStringLiteral("track %1 starts before the track ahead of it").arg(sheet.number), error);
    // The next track's data in the same file ends this one; else the file's end does.
    const Track *next = position < cd_get_ntrack(cd) ? cd_get_track(cd, position + 1) : nullptr;
    bool nextGapHere = false;
    const int64_t nextStart = next ? dataStart(next, &nextGapHere) : 0;
    const bool sharesFile = next && track_get_filename(next) == name && !nextGapHere;
    const enum TrackMode mode = track_get_mode(track);
    const int size = sectorBytes(mode);
    // Data ahead of the track that no track has taken (its file's first track begins after
    // 00:00:00 without an INDEX 00) stays where it is: the end of the track before, or the
    // first track's pregap. No track moves.
    const int64_t untaken = from - file->cursorSector;
    const int64_t fromByte = file->cursorByte + untaken * size;
    const int64_t toByte = sharesFile ? fromByte + (nextStart - from) * size : file->dataBytes;
    if (toByte <= fromByte || (sharesFile && nextStart < index1))
        return fail(sheet.index1Line, QStringLiteral("track %1 has no audio in %2").arg(sheet.number).arg(fromUtf8OrLatin1(name)), error);
    addData(*file, file->cursorByte, fromByte - file->cursorByte, mode);
    if (track_get_index(track, 0) < 0 && track_get_zero_pre(track) > 0)
        m_builder.addSilence(int64_t(track_get_zero_pre(track)) * kFramesPerSector);
    const int64_t index1Frame = m_builder.frame() + (index1 - from) * kFramesPerSector;
    m_builder.addTrack(sheet.number, index1Frame, mode == MODE_AUDIO);
    // All that comes before the first track is its pregap.
    m_pregaps.append(position == 1 ? int(index1Frame / kFramesPerSector)
                                   : pregapSectors(track) + int(gapElsewhere ? untaken : 0));
    addData(*file, fromByte, toByte - fromByte, mode);
    m_builder.padToSector();
    if (track_get_zero_post(track) > 0)
        m_builder.addSilence(int64_t(track_get_zero_post(track)) * kFramesPerSector);
    file->cursorSector = from + (toByte - fromByte + size - 1) / size;
    file->cursorByte = toByte;
    m_previousFile = name;
    return true;
}

// The data session: silence where the disc has its session gap and its data track, so that the
// table of contents has the disc's true places. Its length, when the sheet does not give it,
// is unknown, and so is the lead-out: the disc IDs that count it cannot be right, and a note
// says so.
void CueLayoutBuilder::addSessionData(const CueSessionData &data)
{
    m_builder.padToSector();
    m_builder.addSilence(int64_t(kSessionGapSectors) * kFramesPerSector);
    m_builder.addTrack(data.number, m_builder.frame(), false);
    m_builder.addSilence(int64_t(std::max(1, data.sectors)) * kFramesPerSector);
    m_pregaps.append(0);
}

std::optional<CdImageLayout> CueLayoutBuilder::build(const Cd *cd, QString *error)
{
    for (int position = 1; position <= cd_get_ntrack(cd); ++position) {
        if (!addTrack(cd, position, error))
            return std::nullopt;
    }
    if (m_cue.sessionData)
        addSessionData(*m_cue.sessionData);
    CdImageLayout layout;
    *error = m_builder.finish(&layout);
    if (!error->isEmpty())
        return std::nullopt;
    if (m_cue.sessionData) {
        // The last audio track ends where its session does, not at the data track.
        layout.toc.tracks[layout.toc.tracks.size() - 2].sectors -= kSessionGapSectors;
    }
    layout.text = m_cue.cdText;
    layout.codes = m_cue.codes;
    layout.codes.pregapSectors = m_pregaps;
    layout.notes = m_cue.notes;
    if (m_cue.sessionData && m_cue.sessionData->sectors < 0)
        layout.notes << QStringLiteral("line %1: the data track's length is not given (REM DATATRACKLENGTH): "
                                       "the freedb and AccurateRip disc IDs cannot be known")
                            .arg(m_cue.sessionData->line);
    return layout;
}

// What libcue said, without its line numbers: they count on from one sheet to the next.
QString libcueComplaint(const QByteArray &output)
{
    static const QRegularExpression lineNumber(QStringLiteral("^\\d+:"));
    QStringList messages;
    for (const QByteArray &line : output.split('\n')) {
        QString message = QString::fromLatin1(line).remove(lineNumber).trimmed().left(80);
        for (QChar &c : message)
            c = c.isPrint() ? c : QLatin1Char('?');
        if (!message.isEmpty() && !messages.contains(message))
            messages << message;
    }
    return QStringLiteral("libcue cannot read it: %1")
        .arg(messages.isEmpty() ? QStringLiteral("no disc") : messages.join(QStringLiteral("; ")));
}

} // namespace

std::optional<CdImageLayout> readCueSheet(const QByteArray &text, const QString &folder, QString *error)
{
    const auto cue = checkCueText(text, error);
    if (!cue)
        return std::nullopt;
    // The checked lines are what libcue reads without a complaint: one it makes all the same
    // is a refusal, not a guess at what it skipped.
    const LibcueParse parse = parseWithLibcue(cue->text);
    if (!parse.cd || !parse.output.isEmpty() || cd_get_ntrack(parse.cd.get()) != int(cue->tracks.size())) {
        *error = libcueComplaint(parse.output);
        return std::nullopt;
    }
    return CueLayoutBuilder(*cue, folder).build(parse.cd.get(), error);
}
