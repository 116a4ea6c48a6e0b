// Cue sheets through libcue. libcue takes what it is given on trust (an INDEX of 99:99:99, an
// index number beyond its table), so every line is checked here first; libcue then supplies
// the structure, and the layout is built from the files the sheet names. The CD-Text is read
// in the same check: libcue's cdtext_get shares its name with libcdio's, and the process gets
// libcdio's.
#include "disc/image/cd_image.h"
#include "disc/text_decoding.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <algorithm>

#include <libcue.h>

namespace {

constexpr int kFramesPerSector = 588;
constexpr int kAudioSectorBytes = 2352;

struct CueText {
    QByteArray text;                  // checked, keywords in upper case, one statement a line
    QHash<QByteArray, QByteArray> fileTypes; // FILE name as libcue returns it -> type
    CdText cdText;
    DiscCodes codes;
    int tracks = 0;
};

// A TITLE or PERFORMER line's text, quoted or not.
QString cdTextValue(const QByteArray &line)
{
    QByteArray value = line.mid(line.indexOf(' ') + 1).trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return fromUtf8OrLatin1(value).trimmed();
}

// CATALOG of the disc and ISRC of a track; libcue 2.2 keeps the catalog to itself.
void takeCode(const QByteArray &keyword, const QByteArray &line, CueText &cue)
{
    const QString value = QString::fromLatin1(line.mid(line.indexOf(' ') + 1).trimmed());
    if (keyword == "CATALOG" && cue.tracks == 0)
        cue.codes.catalog = value;
    else if (keyword == "ISRC" && cue.tracks > 0)
        cue.codes.isrcs[cue.tracks - 1] = value;
}

void takeCdText(const QByteArray &keyword, const QByteArray &line, CueText &cue)
{
    if (keyword == "TITLE" && cue.tracks == 0)
        cue.cdText.album = cdTextValue(line);
    else if (keyword == "PERFORMER" && cue.tracks == 0)
        cue.cdText.artist = cdTextValue(line);
    else if (keyword == "TITLE")
        cue.cdText.titles[cue.tracks - 1] = cdTextValue(line);
}

bool msfValid(const QRegularExpressionMatch &m, int first)
{
    return m.captured(first + 1).toInt() < 60 && m.captured(first + 2).toInt() < 75;
}

// One line: its keyword in upper case, and a reason when libcue must not see it.
QString checkCueLine(QByteArray &line, CueText &cue)
{
    static const QRegularExpression index(QStringLiteral("^INDEX\\s+(\\d{1,2})\\s+(\\d{1,3}):(\\d{1,2}):(\\d{1,2})$"));
    static const QRegularExpression gap(QStringLiteral("^(?:PREGAP|POSTGAP)\\s+(\\d{1,3}):(\\d{1,2}):(\\d{1,2})$"));
    static const QRegularExpression track(QStringLiteral("^TRACK\\s+(\\d{1,2})\\s+\\S+$"));
    static const QRegularExpression file(QStringLiteral("^FILE\\s+(?:\"([^\"]*)\"|(\\S+))\\s+(\\S+)$"));
    const int space = line.indexOf(' ');
    const QByteArray keyword = line.left(space < 0 ? line.size() : space).toUpper();
    line = keyword + (space < 0 ? QByteArray() : line.mid(space));
    // libcue knows the file types and track modes in upper case only.
    const int last = line.lastIndexOf(' ');
    if ((keyword == "FILE" || keyword == "TRACK") && last > 0 && !line.mid(last).contains('"'))
        line = line.left(last) + line.mid(last).toUpper();
    const QString text = QString::fromLatin1(line);
    if (keyword == "INDEX") {
        const auto m = index.match(text);
        if (!m.hasMatch() || !msfValid(m, 2))
            return QStringLiteral("INDEX needs a number and a time mm:ss:ff");
    } else if (keyword == "PREGAP" || keyword == "POSTGAP") {
        const auto m = gap.match(text);
        if (!m.hasMatch() || !msfValid(m, 1))
            return QStringLiteral("%1 needs a time mm:ss:ff").arg(QString::fromLatin1(keyword));
    } else if (keyword == "TRACK") {
        const auto m = track.match(text);
        if (!m.hasMatch() || m.captured(1).toInt() < 1 || ++cue.tracks > 99)
            return QStringLiteral("TRACK needs a number from 1 to 99 and a mode");
        cue.cdText.titles.append(QString());
        cue.codes.isrcs.append(QString());
    } else if (keyword == "FILE") {
        const auto m = file.match(text);
        if (!m.hasMatch())
            return QStringLiteral("FILE needs a name and a type");
        const QString name = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
        cue.fileTypes.insert(name.toLatin1(), m.captured(3).toUpper().toLatin1());
    } else if (keyword == "TITLE" || keyword == "PERFORMER") {
        takeCdText(keyword, line, cue);
    } else if (keyword == "CATALOG" || keyword == "ISRC") {
        takeCode(keyword, line, cue);
    }
    return {};
}

// The line trimmed, with every run of blanks outside double quotes made one blank: a quoted
// name keeps its own blanks, and a FILE name its way to the file.
QByteArray simplifiedOutsideQuotes(const QByteArray &line)
{
    QByteArray out;
    bool quoted = false;
    bool blank = false;
    for (const char c : line.trimmed()) {
        if (!quoted && (c == ' ' || (c >= '\t' && c <= '\r'))) {
            blank = true;
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        quoted = c == '"' ? !quoted : quoted;
        out += c;
    }
    return out;
}

std::optional<CueText> checkCueText(const QByteArray &raw, QString *error)
{
    CueText cue;
    QByteArray text = raw.startsWith("\xEF\xBB\xBF") ? raw.mid(3) : raw;
    text.replace("\r\n", "\n").replace('\r', '\n');
    if (text.contains('\0')) {
        *error = QStringLiteral("not a cue sheet");
        return std::nullopt;
    }
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = simplifiedOutsideQuotes(lines[i]);
        if (line.isEmpty())
            continue;
        const QString reason = checkCueLine(line, cue);
        if (!reason.isEmpty()) {
            *error = QStringLiteral("line %1: %2").arg(i + 1).arg(reason);
            return std::nullopt;
        }
        cue.text += line + '\n';
    }
    return cue;
}

// libcue keeps its parser state in globals.
Cd *parseWithLibcue(const QByteArray &text)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    return cue_parse_string(text.constData());
}

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
    SheetFile *openFile(const QByteArray &name, QString *error);
    bool addTrack(const Cd *cd, int number, QString *error);
    int64_t dataStart(const Track *track, bool *gapInPreviousFile) const;
    int pregapSectors(const Track *track) const;

    const CueText &m_cue;
    QString m_folder;
    CdImageBuilder m_builder;
    QHash<QByteArray, SheetFile> m_files;
    QByteArray m_previousFile;
    QList<int> m_pregaps;
};

SheetFile *CueLayoutBuilder::openFile(const QByteArray &name, QString *error)
{
    if (m_files.contains(name))
        return &m_files[name];
    const QString shown = fromUtf8OrLatin1(name);
    const QByteArray type = m_cue.fileTypes.value(name);
    const QString path = resolveImageFile(m_folder, shown);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1").arg(shown);
        return nullptr;
    }
    SheetFile sheetFile;
    if (type == "WAVE") {
        const auto wav = locateWavData(file, error);
        if (!wav)
            return nullptr;
        sheetFile.dataOffset = wav->offset;
        sheetFile.dataBytes = wav->bytes;
    } else if (type == "BINARY" || type == "MOTOROLA") {
        sheetFile.dataBytes = file.size();
    } else {
        *error = QStringLiteral("%1: %2 files are not supported").arg(shown, QString::fromLatin1(type));
        return nullptr;
    }
    sheetFile.index = m_builder.addFile(path, type == "MOTOROLA");
    return &m_files.insert(name, sheetFile).value();
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

bool CueLayoutBuilder::addTrack(const Cd *cd, int number, QString *error)
{
    const Track *track = cd_get_track(cd, number);
    const QByteArray name = track_get_filename(track);
    SheetFile *file = openFile(name, error);
    if (!file)
        return false;
    const long index1 = track_get_index(track, 1);
    if (index1 < 0) {
        *error = QStringLiteral("track %1 has no INDEX 01").arg(number);
        return false;
    }
    bool gapElsewhere = false;
    const int64_t from = dataStart(track, &gapElsewhere);
    if ((gapElsewhere && name == m_previousFile) || from < file->cursorSector) {
        *error = QStringLiteral("track %1 starts before the track ahead of it").arg(number);
        return false;
    }
    // The next track's data in the same file ends this one; else the file's end does.
    const Track *next = number < cd_get_ntrack(cd) ? cd_get_track(cd, number + 1) : nullptr;
    bool nextGapHere = false;
    const int64_t nextStart = next ? dataStart(next, &nextGapHere) : 0;
    const bool sharesFile = next && track_get_filename(next) == name && !nextGapHere;
    const int size = sectorBytes(track_get_mode(track));
    const int64_t fromByte = file->cursorByte + (from - file->cursorSector) * size;
    const int64_t toByte = sharesFile ? fromByte + (nextStart - from) * size : file->dataBytes;
    if (toByte <= fromByte || (sharesFile && nextStart < index1)) {
        *error = QStringLiteral("track %1 has no audio in %2").arg(number).arg(fromUtf8OrLatin1(name));
        return false;
    }
    const bool audio = track_get_mode(track) == MODE_AUDIO;
    m_pregaps.append(pregapSectors(track));
    if (track_get_index(track, 0) < 0 && track_get_zero_pre(track) > 0)
        m_builder.addSilence(int64_t(track_get_zero_pre(track)) * kFramesPerSector);
    m_builder.addTrack(number, m_builder.frame() + (index1 - from) * kFramesPerSector, audio);
    const int64_t frames = audio ? (toByte - fromByte) / 4 : (toByte - fromByte + size - 1) / size * kFramesPerSector;
    if (audio)
        m_builder.addFileData(file->index, file->dataOffset + fromByte, frames);
    else
        m_builder.addSilence(frames);
    m_builder.padToSector();
    if (track_get_zero_post(track) > 0)
        m_builder.addSilence(int64_t(track_get_zero_post(track)) * kFramesPerSector);
    file->cursorSector = from + (toByte - fromByte + size - 1) / size;
    file->cursorByte = toByte;
    m_previousFile = name;
    return true;
}

std::optional<CdImageLayout> CueLayoutBuilder::build(const Cd *cd, QString *error)
{
    const int count = cd_get_ntrack(cd);
    if (count < 1 || count > 99) {
        *error = QStringLiteral("no tracks");
        return std::nullopt;
    }
    for (int number = 1; number <= count; ++number) {
        if (!addTrack(cd, number, error))
            return std::nullopt;
    }
    CdImageLayout layout;
    *error = m_builder.finish(&layout);
    if (!error->isEmpty())
        return std::nullopt;
    layout.text = m_cue.cdText;
    layout.text.titles.resize(count);
    layout.codes = m_cue.codes;
    layout.codes.isrcs.resize(count);
    layout.codes.pregapSectors = m_pregaps;
    return layout;
}

} // namespace

std::optional<CdImageLayout> readCueSheet(const QByteArray &text, const QString &folder, QString *error)
{
    const auto cue = checkCueText(text, error);
    if (!cue)
        return std::nullopt;
    std::unique_ptr<Cd, void (*)(Cd *)> cd(parseWithLibcue(cue->text), cd_delete);
    if (!cd) {
        *error = QStringLiteral("not a cue sheet");
        return std::nullopt;
    }
    return CueLayoutBuilder(*cue, folder).build(cd.get(), error);
}
