// The cue sheet a rip writes, read back: the input gives the artist, the album and up to four
// track titles (separated by the byte 0x1E), with anything in them. The rip's files are named
// from the titles as a rip names them, and the sheet must read back through our cue reader
// (libcue underneath) with every file found, every name as cueSheetName gives it, and the
// disc's table of contents, an enhanced CD's data session included.
#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "disc/image/cd_image.h"
#include "jobs/part_file.h"
#include "rip/cue_writer.h"
#include "rip/output_naming.h"
#include "rip/rip_log.h"
#include "settings/settings_keys.h"
#include "fuzz/fuzz_support.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kSectorBytes = 2352;
constexpr int kMaxTracks = 4;

// A 16-bit stereo 44.1 kHz WAV of `sectors` silent sectors.
QByteArray silentWav(int sectors)
{
    const quint32 bytes = quint32(sectors * kSectorBytes);
    return fuzz::wavHeader(bytes) + QByteArray(qsizetype(bytes), '\0');
}

QStringList defaultReplacements()
{
    QStringList values;
    for (const settings::Replacement &r : settings::replacements)
        values << r.key.defaultValue();
    return values;
}

// Tracks of 2, 3, 4... sectors; every second one has a one-sector pregap at the end of the file
// before it, which the sheet gives as INDEX 00 there. An input of an odd number of parts is an
// enhanced CD: a data track of 5 sectors follows in a session of its own.
RipReport reportOf(const QList<QByteArray> &parts, DiscCodes &codes)
{
    RipReport report;
    report.artist = QString::fromUtf8(parts.value(0));
    report.album = QString::fromUtf8(parts.value(1));
    const int tracks = int(std::clamp<qsizetype>(parts.size() - 2, 1, kMaxTracks));
    int lsn = 0;
    for (int n = 1; n <= tracks; ++n) {
        const int sectors = n + 1;
        report.toc.tracks.push_back({n, lsn, sectors, true});
        codes.pregapSectors.append(n % 2 == 0 ? 1 : 0);
        codes.isrcs.append(QString());
        const QString title = QString::fromUtf8(parts.value(n + 1));
        const QString name = fittedName(QString::number(n) + QLatin1Char('-')
                                            + cleanName(title, defaultReplacements()),
                                        QStringLiteral(".wav"));
        const QByteArray wav = silentWav(sectors);
        const QString path = fuzz::writeInput(name, reinterpret_cast<const uint8_t *>(wav.constData()),
                                              size_t(wav.size()));
        report.tracks.append({n, path, title, {}, 0, {}, {}});
        lsn += sectors;
    }
    if (parts.size() % 2 == 1) {
        lsn += kSessionGapSectors;
        report.toc.tracks.push_back({tracks + 1, lsn, 5, false});
        lsn += 5;
    }
    report.toc.leadoutLsn = lsn;
    return report;
}

void checkReadBack(const RipReport &report, const CdImageLayout &layout)
{
    if (layout.toc.tracks.size() != report.toc.tracks.size() || layout.toc.leadoutLsn != report.toc.leadoutLsn)
        fuzz::fail("the sheet reads back with another number of tracks or another lead-out");
    for (size_t i = 0; i < report.toc.tracks.size(); ++i) {
        const CdTocTrack &read = layout.toc.tracks[i], &disc = report.toc.tracks[i];
        if (read.firstLsn != disc.firstLsn || read.sectors != disc.sectors || read.audio != disc.audio)
            fuzz::fail("a track reads back at another place");
    }
    if (layout.text.artist != cueSheetName(report.artist) || layout.text.album != cueSheetName(report.album))
        fuzz::fail("the artist or album reads back otherwise");
    for (qsizetype i = 0; i < report.tracks.size(); ++i) {
        if (layout.text.titles.value(i) != cueSheetName(report.tracks[i].title))
            fuzz::fail("a title reads back otherwise");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    DiscCodes codes;
    const RipReport report = reportOf(fuzz::bytes(data, size).split('\x1e'), codes);
    const QString folder = QFileInfo(report.tracks.first().path).absolutePath();
    const QByteArray sheet = cueSheetText(report, codes, folder).toUtf8();
    QString error;
    const auto layout = readCueSheet(sheet, folder, &error);
    if (!layout) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(error), sheet.constData());
        fuzz::fail("the rip's own cue sheet does not read back");
    }
    checkReadBack(report, *layout);
    for (const RippedTrack &track : report.tracks)
        QFile::remove(track.path);
    return 0;
}
