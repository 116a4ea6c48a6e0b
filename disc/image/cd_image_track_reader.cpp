#include "disc/image/cd_image.h"
#include "disc/cd_track_reader.h"

namespace {

// Image files need no paranoia: every grab mode reads the sectors straight, and a sector the
// files do not hold is unreadable, for the error action to shape.
class ImageTrackReader : public CdTrackReader {
public:
    ImageTrackReader(std::shared_ptr<const CdDisc> disc, const CdTocTrack &track,
                     const CdReadSettings &settings)
        : CdTrackReader(std::move(disc), nullptr, track.firstLsn, track.sectors, settings),
          m_reader(*this->disc().image())
    {
    }

protected:
    bool readSector(int lsn, int16_t *out) override { return m_reader.readSector(lsn, out); }

private:
    CdImageReader m_reader;
};

} // namespace

std::unique_ptr<CdTrackReader> openImageTrackReader(std::shared_ptr<const CdDisc> disc,
                                                    const CdTocTrack &track,
                                                    const CdReadSettings &settings)
{
    return std::make_unique<ImageTrackReader>(std::move(disc), track, settings);
}
