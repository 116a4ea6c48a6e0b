#include "app/fm_main.h"

// Track list: built with the track list.

void Tfm_main::btn_refreshClick() {}

void Tfm_main::selectAll() {}

void Tfm_main::selectNone() {}

void Tfm_main::sklv_mainDblClick() {}

void Tfm_main::startTrackNameEdit() {}

void Tfm_main::Edit1Exit() {}
