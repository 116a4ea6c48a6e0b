#include "settings/encoder_settings.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"

Mp3EncoderSettings Mp3EncoderSettings::read(const IniFile &ini)
{
    using namespace settings;
    return {ini.read(mp3Frequency), ini.read(mp3Bitrate), ini.read(mp3Channel),
            ini.read(mp3VbrBitrate), ini.read(mp3VbrQuality)};
}

OggEncoderSettings OggEncoderSettings::read(const IniFile &ini)
{
    using namespace settings;
    const bool vbr = ini.readFlag(oggVbrEnabled);
    const bool withQuality = ini.readFlag(oggQualityEnabled);
    return {ini.read(oggFrequency),
            ini.read(oggChannel),
            ini.read(oggBitrate),
            vbr ? ini.read(oggMinBitrate) : 0,
            vbr ? ini.read(oggMaxBitrate) : 0,
            int16_t(withQuality ? ini.read(oggQuality) : -1)};
}
