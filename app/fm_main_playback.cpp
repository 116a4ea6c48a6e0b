#include "app/fm_main.h"

// Playback: built with the track list.

void Tfm_main::btn_playClick() {}

void Tfm_main::btn_pauseClick() {}

void Tfm_main::btn_stopClick() {}

void Tfm_main::AudioPlayer1EndBlockPlay() {}

void Tfm_main::AudioPlayer1EndPlay() {}
