#pragma once

#include "tools/cd_image_writer.h"

// The demo disc that stands in for a CD drive: three short named tracks of simple tunes.
namespace cdimage {

Disc demoDisc();
void demoFrame(int track, int64_t frame, int16_t *samples);

} // namespace cdimage
