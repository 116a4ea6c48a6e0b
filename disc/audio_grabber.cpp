#include "disc/audio_grabber.h"

#include "disc/cd_disc.h"
#include "disc/cd_drive_list.h"
#include "disc/cd_track_reader.h"
#include "disc/disc_lookup.h"
#include "disc/freedb_disc_id.h"
#include "disc/shifted_track_reader.h"
#include "settings/settings_keys.h"

namespace {

enum GrabberError { NoError = 0, OpenError = 1, ReadError = 2 };

constexpr int kFramesPerSector = 588;
constexpr int kSourceOnline = 1;
constexpr int kSourceLocal = 2;

} // namespace

struct AudioGrabber::Private {
    std::vector<CdDriveEntry> drives;
    bool drivesListed = false;
    int driveNum = 1;
    int driveReadType = 0;
    int driveSpeed = 0;
    CdReadSettings read;

    std::shared_ptr<const CdDisc> disc;
    QString discError;
    CdToc toc;
    int trackNum = 1;
    std::unique_ptr<CdTrackReader> reader;
    std::unique_ptr<ShiftedTrackReader> shifted; // instead of reader under a read offset
    int errorCode = NoError;
    TrackChecksummer checksummer;
    int readOffset = 0;
    int64_t unreadableFrames = 0;

    int cddbTimeOut = settings::cddbTimeout.defaultValue;
    QString cddbServer = settings::defaultCddbServer();
    QString cddbScript = settings::defaultCgiScript();
    DiscLookup lookup;

    const std::vector<CdDriveEntry> &driveList()
    {
        if (!drivesListed) {
            drives = listCdDrives();
            drivesListed = true;
        }
        return drives;
    }
    const CdDriveEntry *currentDrive()
    {
        const auto &list = driveList();
        return driveNum >= 1 && driveNum <= int(list.size()) ? &list[size_t(driveNum - 1)] : nullptr;
    }
    QString currentField(QString CdDriveEntry::*field)
    {
        const CdDriveEntry *drive = currentDrive();
        return drive ? drive->*field : QString();
    }
    const CdTocTrack *track(int number) const
    {
        const int index = number - 1;
        return index >= 0 && index < int(toc.tracks.size()) ? &toc.tracks[size_t(index)] : nullptr;
    }
};

AudioGrabber::AudioGrabber() : d(std::make_unique<Private>()) {}
AudioGrabber::~AudioGrabber() = default;

int AudioGrabber::driveCount() const { return int(d->driveList().size()); }
int AudioGrabber::driveNum() const { return d->driveNum; }
void AudioGrabber::setDriveNum(int n) { d->driveNum = n; }

QString AudioGrabber::driveLetter() const { return d->currentField(&CdDriveEntry::path); }
QString AudioGrabber::driveName() const { return d->currentField(&CdDriveEntry::name); }
QString AudioGrabber::driveVendor() const { return d->currentField(&CdDriveEntry::vendor); }
QString AudioGrabber::driveModel() const { return d->currentField(&CdDriveEntry::model); }

int AudioGrabber::driveReadType() const { return d->driveReadType; }
void AudioGrabber::setDriveReadType(int type) { d->driveReadType = type; }
int AudioGrabber::driveSpeed() const { return d->driveSpeed; }
void AudioGrabber::setDriveSpeed(int speed) { d->driveSpeed = speed; }
int AudioGrabber::GrabModePreset() const { return d->read.grabMode; }
void AudioGrabber::setGrabModePreset(int mode) { d->read.grabMode = mode; }
int AudioGrabber::grabOnErrorAction() const { return d->read.errorAction; }
void AudioGrabber::setGrabOnErrorAction(int action) { d->read.errorAction = action; }
int AudioGrabber::grabOnErrorRetries() const { return d->read.retries; }
void AudioGrabber::setGrabOnErrorRetries(int retries) { d->read.retries = retries; }

void AudioGrabber::ReadTOC()
{
    d->drivesListed = false;
    d->toc = {};
    d->lookup.clear();
    d->disc.reset();
    d->discError.clear();
    if (const CdDriveEntry *drive = d->currentDrive())
        d->disc = CdDisc::open(drive->path, &d->discError);
    if (d->disc)
        d->toc = d->disc->toc();
}

int AudioGrabber::trackCount() const { return int(d->toc.tracks.size()); }
int AudioGrabber::trackNum() const { return d->trackNum; }
void AudioGrabber::setTrackNum(int n) { d->trackNum = n; }

int AudioGrabber::trackLength() const
{
    const CdTocTrack *track = d->track(d->trackNum);
    return track ? int(qint64(track->sectors) * 1000 / 75) : 0;
}

int AudioGrabber::trackSamples() const
{
    const CdTocTrack *track = d->track(d->trackNum);
    return track ? track->sectors * kFramesPerSector : 0;
}

QString AudioGrabber::discId() const { return FreedbToc::fromToc(d->toc).discId(); }
QString AudioGrabber::discError() const { return d->discError; }

void AudioGrabber::OpenTrack(int track)
{
    CloseTrack();
    d->trackNum = track;
    d->unreadableFrames = 0;
    const CdTocTrack *entry = d->track(track);
    if (entry && d->disc) {
        d->disc->setSpeed(d->driveSpeed);
        if (d->readOffset == 0)
            d->reader = CdTrackReader::open(d->disc, *entry, d->read);
        else
            d->shifted = ShiftedTrackReader::open(d->disc, d->toc, *entry, d->read, d->readOffset);
        d->checksummer = checksummerFor(d->toc, *entry);
    }
    d->errorCode = d->reader || d->shifted ? NoError : OpenError;
}

SampleBlock AudioGrabber::ReadBlock(int samples)
{
    if (!d->reader && !d->shifted) {
        d->errorCode = ReadError;
        return SampleBlock({}, 44100, 2);
    }
    bool failed = false;
    SampleBlock block = d->reader ? d->reader->read(samples, &failed) : d->shifted->read(samples, &failed);
    d->errorCode = failed ? ReadError : NoError;
    d->checksummer.add(block.samples.data(), block.samples.size());
    d->unreadableFrames = d->reader ? d->reader->unreadableFrames() : d->shifted->unreadableFrames();
    return block;
}

void AudioGrabber::CloseTrack()
{
    d->reader.reset();
    d->shifted.reset();
}
int AudioGrabber::errorCode() const { return d->errorCode; }
TrackChecksums AudioGrabber::trackChecksums() const { return d->checksummer.result(); }
const CdToc &AudioGrabber::toc() const { return d->toc; }
int AudioGrabber::readOffset() const { return d->readOffset; }
void AudioGrabber::setReadOffset(int frames) { d->readOffset = frames; }
int64_t AudioGrabber::unreadableFrames() const { return d->unreadableFrames; }

int AudioGrabber::cddbTimeOut() const { return d->cddbTimeOut; }
void AudioGrabber::setCddbTimeOut(int ms) { d->cddbTimeOut = ms; }
QString AudioGrabber::cddbServerAddress() const { return d->cddbServer; }
void AudioGrabber::setCddbServerAddress(const QString &address) { d->cddbServer = address; }
QString AudioGrabber::cddbCGIScript() const { return d->cddbScript; }
void AudioGrabber::setCddbCGIScript(const QString &script) { d->cddbScript = script; }

bool AudioGrabber::QueryDiscInfo(int source)
{
    if (source == kSourceOnline)
        return d->lookup.queryOnline(d->toc, d->disc.get(), {d->cddbServer, d->cddbScript, d->cddbTimeOut});
    if (source == kSourceLocal)
        return d->lookup.queryLocal(d->toc, d->disc.get());
    return false;
}

QString AudioGrabber::discArtist() const { return d->lookup.names().artist; }
QString AudioGrabber::discAlbum() const { return d->lookup.names().album; }
QString AudioGrabber::discGenre() const { return d->lookup.names().genre; }

QString AudioGrabber::trackTitle() const { return d->lookup.names().shownTitle(d->trackNum - 1); }
QString AudioGrabber::trackArtist() const { return d->lookup.names().ownArtist(d->trackNum - 1); }
const DiscNames &AudioGrabber::discNames() const { return d->lookup.names(); }

QString AudioGrabber::namesSource() const { return d->lookup.source(); }
QStringList AudioGrabber::onlineAnswers() const { return d->lookup.onlineAnswers(); }
const QList<ReleaseCandidate> &AudioGrabber::releaseCandidates() const { return d->lookup.candidates(); }
int AudioGrabber::chosenRelease() const { return int(d->lookup.chosen()); }
bool AudioGrabber::chooseRelease(const QString &releaseId) { return d->lookup.chooseRelease(releaseId); }
void AudioGrabber::setPreferredRelease(const QString &releaseId) { d->lookup.preferredRelease = releaseId; }

DiscCodes AudioGrabber::discCodes() const
{
    return d->disc ? readDiscCodes(*d->disc) : DiscCodes{};
}
