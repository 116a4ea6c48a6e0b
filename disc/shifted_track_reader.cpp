#include "disc/shifted_track_reader.h"

#include "disc/cd_disc.h"

#include <algorithm>

namespace {

constexpr int64_t kSectorFrames = 588;

// The end of the last audio track: past it lies the lead-out or a data session.
int64_t audioEndFrame(const CdToc &toc)
{
    int64_t end = 0;
    for (const CdTocTrack &t : toc.tracks) {
        if (t.audio)
            end = std::max(end, int64_t(t.firstLsn + t.sectors) * kSectorFrames);
    }
    return end;
}

} // namespace

std::unique_ptr<ShiftedTrackReader> ShiftedTrackReader::open(std::shared_ptr<const CdDisc> disc,
                                                             const CdToc &toc,
                                                             const CdTocTrack &track,
                                                             const CdReadSettings &settings,
                                                             int offset)
{
    if (!disc || !track.audio || track.sectors <= 0)
        return nullptr;
    const int64_t start = int64_t(track.firstLsn) * kSectorFrames + offset;
    const int64_t end = start + int64_t(track.sectors) * kSectorFrames;
    const int64_t readable = audioEndFrame(toc);
    const int64_t dataStart = std::clamp<int64_t>(start, 0, readable);
    const int64_t dataEnd = std::clamp<int64_t>(end, dataStart, readable);
    std::unique_ptr<ShiftedTrackReader> reader(new ShiftedTrackReader);
    if (dataEnd <= dataStart) {
        reader->m_leadZeros = end - start;
    } else {
        reader->m_leadZeros = dataStart - start;
        reader->m_dataFrames = dataEnd - dataStart;
        reader->m_trailZeros = end - dataEnd;
    }
    if (reader->m_dataFrames > 0) {
        const int first = int(dataStart / kSectorFrames);
        const int last = int((dataEnd + kSectorFrames - 1) / kSectorFrames);
        reader->m_skip = dataStart - int64_t(first) * kSectorFrames;
        reader->m_reader = CdTrackReader::open(std::move(disc), CdTocTrack{track.number, first, last - first, true},
                                               settings);
        if (!reader->m_reader)
            return nullptr;
    }
    return reader;
}

SampleBlock ShiftedTrackReader::read(int samples, bool *error)
{
    *error = false;
    const size_t wanted = size_t(std::max(0, samples)) & ~size_t(1);
    // Between the lead zeros and the end of the data the drive's blocks pass on as they are.
    if (m_leadZeros == 0 && m_skip == 0 && m_reader && m_dataFrames > 0) {
        SampleBlock block = m_reader->read(int(std::min<int64_t>(int64_t(wanted) / 2, m_dataFrames) * 2), error);
        if (!block.isEmpty()) {
            block.samples.resize(size_t(std::min<int64_t>(block.frames(), m_dataFrames)) * 2);
            m_dataFrames -= block.frames();
            return block;
        }
        m_dataFrames = 0; // the drive gave less than the range: the rest is missing
    }
    std::vector<int16_t> out;
    out.reserve(wanted);
    appendZeros(out, m_leadZeros, wanted);
    appendData(out, wanted, error);
    if (m_dataFrames == 0)
        appendZeros(out, m_trailZeros, wanted);
    return SampleBlock(std::move(out), 44100, 2);
}

void ShiftedTrackReader::appendZeros(std::vector<int16_t> &out, int64_t &zeros, size_t wanted) const
{
    const int64_t frames = std::min<int64_t>(zeros, int64_t(wanted - out.size()) / 2);
    out.insert(out.end(), size_t(frames) * 2, int16_t(0));
    zeros -= frames;
}

void ShiftedTrackReader::appendData(std::vector<int16_t> &out, size_t wanted, bool *error)
{
    while (m_reader && m_dataFrames > 0 && out.size() < wanted && !*error) {
        const int64_t skip = m_skip;
        const int64_t room = int64_t(wanted - out.size()) / 2;
        const int64_t ask = std::min(room, m_dataFrames) + skip;
        SampleBlock block = m_reader->read(int(ask * 2), error);
        if (block.isEmpty()) {
            m_dataFrames = 0; // the drive gave less than the range: the rest is missing
            break;
        }
        const int64_t got = block.frames();
        const int64_t dropped = std::min(got, skip);
        m_skip -= dropped;
        const int64_t take = std::min(got - dropped, m_dataFrames);
        out.insert(out.end(), block.samples.begin() + dropped * 2, block.samples.begin() + (dropped + take) * 2);
        m_dataFrames -= take;
    }
}

int64_t ShiftedTrackReader::unreadableFrames() const
{
    return m_reader ? m_reader->unreadableFrames() : 0;
}
