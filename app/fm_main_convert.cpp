#include "app/fm_main.h"

// File conversion commands.

void Tfm_main::WavToMp3Click() {}

void Tfm_main::WavToWmaClick() {}

void Tfm_main::WavToOggClick() {}

void Tfm_main::DecodeClick() {}

void Tfm_main::NormalizeClick() {}
