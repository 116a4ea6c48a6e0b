#include "app/fm_main.h"

// Rip command and output-format buttons.

void Tfm_main::btn_mp3Click() {}

void Tfm_main::btn_wavClick() {}

void Tfm_main::btn_wmaClick() {}

void Tfm_main::btn_oggClick() {}

void Tfm_main::btn_ripcdClick() {}
void Tfm_main::formatButtonClick(int) {}
