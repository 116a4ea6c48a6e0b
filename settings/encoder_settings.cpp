#include "settings/encoder_settings.h"

#include "codec/audio_file.h"
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

FlacEncoderSettings FlacEncoderSettings::read(const IniFile &ini)
{
    return {ini.read(settings::flacLevel), ini.readFlag(settings::flacVerify)};
}

OpusEncoderSettings OpusEncoderSettings::read(const IniFile &ini)
{
    return {ini.read(settings::opusBitrate), ini.read(settings::opusBitrateMode)};
}

void setFlacAndOpusFormats(AudioFile &file, const IniFile &ini)
{
    const FlacEncoderSettings flac = FlacEncoderSettings::read(ini);
    const OpusEncoderSettings opus = OpusEncoderSettings::read(ini);
    file.SetFlacFormat(flac.level, flac.verify);
    file.SetOpusFormat(opus.bitrate, opus.mode);
}
