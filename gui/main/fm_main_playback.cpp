#include "gui/main/fm_main.h"

#include "gui/services/prompter.h"

namespace {

// Reads the next block of the open track and queues it; the block dies here.
void feedOneBlock(Tfm_main &w)
{
    const SampleBlock block = w.AudioGrabber.ReadBlock(w.block_samples);
    w.AudioPlayer1.QueueBlock(block);
}

// The normal pictures of play and pause for the current state: pressed play while playing,
// pressed pause while paused, both plain when stopped.
void showPlaybackState(Tfm_main &w)
{
    w.btn_play->setPicNormal(w.skin_pic[7]);
    w.btn_pause->setPicNormal(w.skin_pic[10]);
    w.markPlayback();
}

// Opens the selected row's track and declares the block format; false (with the message
// shown) when nothing can be played.
bool openSelectedTrack(Tfm_main &w)
{
    const QList<QTreeWidgetItem *> selected = w.sklv_main->selectedItems();
    if (selected.isEmpty()) {
        services::prompter().information(
            QStringLiteral("Please select one track you wish to play!"), &w);
        return false;
    }
    w.AudioGrabber.OpenTrack(w.sklv_main->indexOfTopLevelItem(selected.first()) + 1);
    if (w.AudioGrabber.errorCode() != 0) {
        services::prompter().error(QStringLiteral("Track Open Error!"), &w);
        w.AudioGrabber.CloseTrack();
        return false;
    }
    w.block_samples = w.AudioPlayer1.BlockSamples(500);
    w.AudioPlayer1.SetPcmFormat(44100, 2);
    return true;
}

// Starts the output on the open track and queues two blocks ahead.
void startOutput(Tfm_main &w)
{
    w.AudioPlayer1.Play();
    if (w.AudioPlayer1.ErrorCode() != 0) {
        services::prompter().error(QStringLiteral("Failed to start device!"), &w);
        w.AudioPlayer1.Stop();
        w.AudioGrabber.CloseTrack();
        // The track is closed now, whether it was new or resumed: nothing plays.
        w.playing = false;
        w.paused = false;
        showPlaybackState(w);
        return;
    }
    w.playing = true;
    w.paused = false;
    showPlaybackState(w);
    feedOneBlock(w);
    feedOneBlock(w);
}

} // namespace

void Tfm_main::btn_playClick()
{
    playClick();
    waitForJobs();
    if (!paused) {
        AudioGrabber.ReadTOC();
        AudioGrabber.setGrabModePreset(0);
        if (playing || !openSelectedTrack(*this))
            return;
    }
    startOutput(*this);
}

void Tfm_main::btn_pauseClick()
{
    playClick();
    if (!playing)
        return;
    if (paused) {
        paused = false;
        showPlaybackState(*this);
        AudioPlayer1.Play();
        feedOneBlock(*this);
        feedOneBlock(*this);
        return;
    }
    paused = true;
    showPlaybackState(*this);
    AudioPlayer1.Stop();
}

void Tfm_main::btn_stopClick()
{
    playClick();
    if (!playing)
        return;
    AudioPlayer1.Stop();
    AudioGrabber.CloseTrack();
    playing = false;
    paused = false;
    showPlaybackState(*this);
}

void Tfm_main::AudioPlayer1EndBlockPlay()
{
    // A request that was on its way when playback paused or stopped is not answered.
    if (playing && !paused)
        feedOneBlock(*this);
}

void Tfm_main::AudioPlayer1EndPlay()
{
    if (!playing)
        return;
    playing = false;
    paused = false;
    AudioPlayer1.Stop();
    AudioGrabber.CloseTrack();
    showPlaybackState(*this);
}

bool Tfm_main::confirmStopPlayback()
{
    if (!playing)
        return true;
    if (!services::prompter().askInformation(
            QStringLiteral("CD Playing will be stopped,do you want to continue?"), this))
        return false;
    btn_stopClick();
    return true;
}
