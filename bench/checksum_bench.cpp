// Reads a generated CD image track by track, alternately with and without the per-track
// checksums (AccurateRip v1/v2, CRC32, peak), and prints the median CPU time of each and their
// ratio (CPU time, so that other work on the machine does not blur it). The image is read
// from the page cache, far faster than any drive, so that ratio is only an upper bound; the
// last line sets the checksums' CPU time against the time a 52x drive (the fastest audio
// extraction drives reach) takes to deliver the same audio.
// Usage: checksum_bench [MINUTES] [RUNS]   (build with CMAKE_BUILD_TYPE=Release)
#include "disc/cd_disc.h"
#include "disc/cd_track_reader.h"
#include "disc/track_checksums.h"
#include "tools/cd_image_writer.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

QString writeImage(const QString &dir, int minutes)
{
    cdimage::Disc disc;
    const int64_t frames = int64_t(minutes) * 60 * 44100 / 10;
    for (int t = 0; t < 10; ++t)
        disc.tracks.push_back({frames, QStringLiteral("Track %1").arg(t + 1), false, 0});
    const QString cue = dir + QStringLiteral("/bench.cue");
    QString error;
    if (!cdimage::writeImage(cue, disc, cdimage::patternFrame, &error))
        std::fprintf(stderr, "checksum_bench: %s\n", qPrintable(error));
    return cue;
}

// CPU milliseconds to read every track; the checksums are summed as the grabber sums them.
double readAll(const std::shared_ptr<const CdDisc> &disc, bool checksums, uint32_t *sink)
{
    const std::clock_t start = std::clock();
    const CdToc &toc = disc->toc();
    for (const CdTocTrack &track : toc.tracks) {
        auto reader = CdTrackReader::open(disc, track, CdReadSettings{});
        TrackChecksummer sums(int64_t(track.sectors) * 588, &track == &toc.tracks.front(),
                              &track == &toc.tracks.back());
        bool error = false;
        for (SampleBlock b = reader->read(88200, &error); !b.isEmpty(); b = reader->read(88200, &error)) {
            if (checksums)
                sums.add(b.samples.data(), b.samples.size());
            *sink += uint32_t(b.samples.size());
        }
        *sink += sums.result().crc32;
    }
    return double(std::clock() - start) * 1000 / CLOCKS_PER_SEC;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    QTemporaryDir dir;
    std::shared_ptr<const CdDisc> disc = CdDisc::open(writeImage(dir.path(), minutes));
    if (!disc)
        return 1;
    uint32_t sink = 0;
    readAll(disc, true, &sink); // warms the page cache
    std::vector<double> with, without;
    for (int i = 0; i < runs; ++i) {
        without.push_back(readAll(disc, false, &sink));
        with.push_back(readAll(disc, true, &sink));
    }
    const double a = median(without), b = median(with);
    const double mb = double(minutes) * 60 * 44100 * 4 / 1e6;
    std::printf("%d min of audio, %d runs, median\n", minutes, runs);
    std::printf("without checksums: %8.1f ms CPU  (%6.1f MB/s)\n", a, mb / a * 1000);
    std::printf("with checksums:    %8.1f ms CPU  (%6.1f MB/s)\n", b, mb / b * 1000);
    std::printf("ratio to page-cache reading: %.3f  (%+.1f %%)   [%u]\n", b / a, (b / a - 1) * 100, sink & 1);
    constexpr double kDriveMBps = 52 * 176400 / 1e6;
    const double driveMs = mb / kDriveMBps * 1000;
    std::printf("ratio to a 52x drive (%.1f MB/s, %.0f ms): %.3f  (%+.2f %%)\n", kDriveMBps, driveMs,
                (driveMs + b - a) / driveMs, (b - a) / driveMs * 100);
    return 0;
}
