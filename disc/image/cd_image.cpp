#include "disc/image/cd_image.h"

#include "codec/audio_codec.h"
#include "codec/vector_state.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtEndian>

#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcCdImage, "harvelo.cdimage", QtWarningMsg)

namespace {

constexpr int kFramesPerSector = 588;
constexpr int kBytesPerFrame = 4;
// Sheets are small; anything larger is not one.
constexpr qint64 kMaxSheetBytes = 1 << 20;
// The longest overburned discs hold a little under 100 minutes.
constexpr int64_t kMaxDiscSectors = 100 * 60 * 75;

uint32_t le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

uint16_t le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

bool isCdAudioFormat(const QByteArray &fmt)
{
    if (fmt.size() < 16)
        return false;
    const uint16_t tag = le16(fmt.constData());
    const bool pcm = tag == 1 || (tag == 0xFFFE && fmt.size() >= 26 && le16(fmt.constData() + 24) == 1);
    return pcm && le16(fmt.constData() + 2) == 2 && le32(fmt.constData() + 4) == 44100
           && le16(fmt.constData() + 14) == 16;
}

// A value from a sheet, as a note may show it on a terminal: short, and printable.
QString shownValue(const QString &value)
{
    QString shown = value.left(40);
    for (QChar &c : shown) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return shown;
}

} // namespace

QString sheetCode(const QByteArray &keyword, const QString &value, int line, QStringList *notes)
{
    const bool isrc = keyword == "ISRC";
    const QString valid = isrc ? validIsrc(value) : validCatalog(value);
    const bool none = !value.isEmpty() && value.count(QLatin1Char('0')) == value.size();
    if (valid.isEmpty() && !none) {
        notes->append(QStringLiteral("line %1: %2 \"%3\" is not %4; left out")
                          .arg(line)
                          .arg(QString::fromLatin1(keyword), shownValue(value),
                               isrc ? QStringLiteral("an ISRC of 12 letters and digits")
                                    : QStringLiteral("a catalog number of 13 digits")));
    }
    return valid;
}

int CdImageBuilder::addFile(const QString &path, bool bigEndian, bool flac)
{
    for (size_t i = 0; i < m_layout.files.size(); ++i) {
        if (m_layout.files[i].path == path && m_layout.files[i].bigEndian == bigEndian
            && m_layout.files[i].flac == flac)
            return int(i);
    }
    m_layout.files.push_back({path, bigEndian, flac});
    return int(m_layout.files.size() - 1);
}

void CdImageBuilder::addSilence(int64_t frames)
{
    addFileData(-1, 0, frames);
}

void CdImageBuilder::addFileData(int file, int64_t fileOffset, int64_t frames)
{
    if (frames <= 0)
        return;
    m_layout.spans.push_back({m_frame, frames, file, fileOffset});
    m_frame += frames;
}

void CdImageBuilder::padToSector()
{
    addSilence((kFramesPerSector - m_frame % kFramesPerSector) % kFramesPerSector);
}

void CdImageBuilder::addTrack(int number, int64_t indexFrame, bool audio)
{
    CdTocTrack track;
    track.number = number;
    track.firstLsn = int(std::min<int64_t>(indexFrame / kFramesPerSector, kMaxDiscSectors + 1));
    track.audio = audio;
    m_layout.toc.tracks.push_back(track);
}

QString CdImageBuilder::finish(CdImageLayout *layout)
{
    padToSector();
    std::vector<CdTocTrack> &tracks = m_layout.toc.tracks;
    if (tracks.empty())
        return QStringLiteral("no tracks");
    if (m_frame / kFramesPerSector > kMaxDiscSectors)
        return QStringLiteral("the disc would be longer than 100 minutes");
    m_layout.toc.leadoutLsn = int(m_frame / kFramesPerSector);
    for (size_t i = 0; i < tracks.size(); ++i) {
        const int next = i + 1 < tracks.size() ? tracks[i + 1].firstLsn : m_layout.toc.leadoutLsn;
        tracks[i].sectors = next - tracks[i].firstLsn;
        if (tracks[i].sectors <= 0)
            return QStringLiteral("track %1 has no audio").arg(tracks[i].number);
    }
    *layout = std::move(m_layout);
    return {};
}

std::optional<WavData> locateWavData(QFile &file, QString *error)
{
    const QString name = QFileInfo(file.fileName()).fileName();
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        *error = QStringLiteral("%1 is not a WAV file").arg(name);
        return std::nullopt;
    }
    bool formatOk = false;
    for (int chunks = 0; chunks < 64; ++chunks) {
        const int64_t start = file.pos();
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            break;
        const int64_t size = le32(header.constData() + 4);
        if (header.startsWith("fmt ")) {
            formatOk = isCdAudioFormat(file.read(std::min<int64_t>(size, 64)));
            if (!formatOk)
                break;
        } else if (header.startsWith("data") && formatOk) {
            // Writers that stream leave the size 0 or too large; the file's end bounds the data.
            const int64_t offset = start + 8;
            const int64_t rest = std::max<int64_t>(0, file.size() - offset);
            const int64_t bytes = size == 0 ? rest : std::min(size, rest);
            return WavData{offset, bytes / kBytesPerFrame * kBytesPerFrame};
        }
        // Chunks are padded to an even size.
        if (!file.seek(start + 8 + size + (size & 1)))
            break;
    }
    *error = formatOk ? QStringLiteral("%1 holds no audio data").arg(name)
                      : QStringLiteral("%1 is not 16-bit stereo 44.1 kHz audio").arg(name);
    return std::nullopt;
}

QString resolveImageFile(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    QString slashed = name;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString &candidate : {name, slashed, QFileInfo(slashed).fileName()}) {
        if (!candidate.isEmpty() && QFileInfo(dir.filePath(candidate)).isFile())
            return dir.filePath(candidate);
    }
    return {};
}

std::optional<CdImageLayout> readCdImage(const QString &path, QString *error)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (suffix != QLatin1String("cue") && suffix != QLatin1String("toc")) {
        *error = QStringLiteral("%1 is not a .cue or .toc image").arg(info.fileName());
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSheetBytes) {
        *error = QStringLiteral("%1 cannot be read").arg(info.fileName());
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    QString reason;
    auto layout = suffix == QLatin1String("cue") ? readCueSheet(text, info.absolutePath(), &reason)
                                                 : readTocFile(text, info.absolutePath(), &reason);
    if (!layout) {
        *error = QStringLiteral("%1: %2").arg(info.fileName(), reason);
        return layout;
    }
    for (const QString &note : std::as_const(layout->notes))
        qCWarning(lcCdImage, "%s: %s", qPrintable(info.fileName()), qPrintable(note));
    return layout;
}

CdImageReader::CdImageReader(const CdImageLayout &layout) : m_layout(layout)
{
    m_files.resize(layout.files.size());
    m_decoders.resize(layout.files.size());
    m_nextFrame.resize(layout.files.size(), 0);
}

CdImageReader::~CdImageReader() = default;

bool CdImageReader::readSector(int lsn, int16_t *out)
{
    if (lsn < 0 || lsn >= m_layout.toc.leadoutLsn)
        return false;
    const int64_t first = int64_t(lsn) * kFramesPerSector;
    const int64_t end = first + kFramesPerSector;
    // The span holding `first`: the last that starts at or before it.
    auto span = std::upper_bound(m_layout.spans.begin(), m_layout.spans.end(), first,
                                 [](int64_t frame, const CdImageSpan &s) { return frame < s.firstFrame; });
    if (span == m_layout.spans.begin())
        return false;
    for (--span; span != m_layout.spans.end() && span->firstFrame < end; ++span) {
        const int64_t from = std::max(first, span->firstFrame);
        const int64_t to = std::min(end, span->firstFrame + span->frames);
        if (!readSpan(*span, from, to - from, out + (from - first) * 2))
            return false;
    }
    return true;
}

bool CdImageReader::readSpan(const CdImageSpan &span, int64_t from, int64_t frames, int16_t *out)
{
    if (span.file < 0) {
        std::fill(out, out + frames * 2, int16_t(0));
        return true;
    }
    if (m_layout.files[size_t(span.file)].flac)
        return readFlac(span.file, span.fileOffset / kBytesPerFrame + (from - span.firstFrame),
                        frames, out);
    std::unique_ptr<QFile> &file = m_files[size_t(span.file)];
    if (!file) {
        file = std::make_unique<QFile>(m_layout.files[size_t(span.file)].path);
        if (!file->open(QIODevice::ReadOnly)) {
            file.reset();
            return false;
        }
    }
    const int64_t bytes = frames * kBytesPerFrame;
    if (!file->seek(span.fileOffset + (from - span.firstFrame) * kBytesPerFrame)
        || file->read(reinterpret_cast<char *>(out), bytes) != bytes)
        return false;
    const bool swap = m_layout.files[size_t(span.file)].bigEndian
                      != (QSysInfo::ByteOrder == QSysInfo::BigEndian);
    for (int64_t i = 0; swap && i < frames * 2; ++i)
        out[i] = int16_t(qbswap(quint16(out[i])));
    return true;
}

bool CdImageReader::readFlac(int file, int64_t frame, int64_t frames, int16_t *out)
{
    std::unique_ptr<AudioReader> &decoder = m_decoders[size_t(file)];
    if (!decoder) {
        decoder = makeFlacReader();
        if (decoder->open(m_layout.files[size_t(file)].path) != AudioError::None) {
            decoder.reset();
            return false;
        }
        m_nextFrame[size_t(file)] = 0;
    }
    if (frame != m_nextFrame[size_t(file)] && !decoder->seek(frame)) {
        decoder.reset(); // a failed seek leaves the decoder lost: open it afresh next time
        return false;
    }
    clearUpperVectorState();
    const int got = decoder->read(out, int(frames));
    m_nextFrame[size_t(file)] = frame + std::max(got, 0);
    return got == frames;
}
