#include "rip/written_audio.h"

#include "rip/output_naming.h"
#include "settings/encoder_settings.h"
#include "settings/ini_file.h"
#include "settings/setting_choices.h"
#include "settings/settings_keys.h"
#include "settings/wma_formats.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFullScale = 32767.0; // the normalizer's 100 %

QString channelsText(int channels)
{
    return channels == 1 ? QStringLiteral("mono") : channels == 2 ? QStringLiteral("stereo")
                                                                   : QStringLiteral("%1 channels").arg(channels);
}

QString mp3Text(const IniFile &ini)
{
    const auto mp3 = Mp3EncoderSettings::read(ini);
    return QStringLiteral("MP3, %1 kbit/s, %2 Hz, %3").arg(mp3.bitrate).arg(mp3.frequency).arg(channelsText(mp3.channels));
}

QString oggText(const IniFile &ini)
{
    const auto ogg = OggEncoderSettings::read(ini);
    QString rate = ogg.quality != -1 ? QStringLiteral("quality %1").arg(ogg.quality)
                                     : QStringLiteral("%1 kbit/s").arg(ogg.bitrate);
    if (ogg.minBitrate != 0 || ogg.maxBitrate != 0)
        rate += QStringLiteral(" (%1 to %2 kbit/s)").arg(ogg.minBitrate).arg(ogg.maxBitrate);
    return QStringLiteral("OGG Vorbis, %1, %2 Hz, %3").arg(rate).arg(ogg.frequency).arg(channelsText(ogg.channels));
}

QString wmaText(const IniFile &ini)
{
    const int code = ini.read(settings::wmaFormat);
    const auto found = std::find_if(wmaFormats.cbegin(), wmaFormats.cend(),
                                    [code](const Choice &c) { return c.value == code; });
    return found == wmaFormats.cend() ? QStringLiteral("WMA, format %1").arg(code)
                                      : QStringLiteral("WMA, ") + QString::fromLatin1(found->text);
}

QString flacText(const IniFile &ini)
{
    const auto flac = FlacEncoderSettings::read(ini);
    return QStringLiteral("FLAC, level %1%2, 16-bit, 44100 Hz, stereo")
        .arg(flac.level)
        .arg(flac.verify ? QStringLiteral(", verified") : QString());
}

QString opusText(const IniFile &ini)
{
    const auto opus = OpusEncoderSettings::read(ini);
    const auto mode = std::find_if(choices::opusBitrateModes.cbegin(), choices::opusBitrateModes.cend(),
                                   [&opus](const Choice &c) { return c.value == opus.mode; });
    const QString modeText = mode == choices::opusBitrateModes.cend() ? QStringLiteral("VBR")
                                                                      : QString::fromLatin1(mode->text);
    return QStringLiteral("Opus, %1 kbit/s %2, 48000 Hz, stereo").arg(opus.bitrate).arg(modeText);
}

} // namespace

double WrittenAudio::gainDb() const
{
    if (!normalized())
        return 0;
    return 20 * std::log10(kFullScale * std::clamp(ratio, 0, 100) / 100 / peakBefore);
}

QString WrittenAudio::normalizationText() const
{
    if (!normalizeOn)
        return QStringLiteral("Not normalized");
    if (peakBefore == 0)
        return QStringLiteral("Not normalized: the track is silent");
    return QStringLiteral("Normalized: gain %1%2 dB (peak %3 % to %4 %)")
        .arg(gainDb() >= 0 ? QStringLiteral("+") : QString())
        .arg(gainDb(), 0, 'f', 2)
        .arg(peakBefore * 100.0 / 32768.0, 0, 'f', 1)
        .arg(std::clamp(ratio, 0, 100));
}

QString WrittenAudio::replayGainText() const
{
    auto values = [](const std::optional<LoudnessValues> &v) {
        return v ? QStringLiteral("%1 dB, peak %2").arg(v->gainDb(), 0, 'f', 2).arg(v->peak, 0, 'f', 6)
                 : QStringLiteral("not measured");
    };
    if (!trackGainOn)
        return QStringLiteral("ReplayGain: none");
    QString text = QStringLiteral("ReplayGain: track ") + values(trackGain);
    if (albumGainOn)
        text += QStringLiteral("; album ") + values(albumGain);
    return text;
}

WrittenAudio writtenFormat(const QString &extension, const IniFile &ini)
{
    WrittenAudio audio;
    const QString ext = extension.toLower();
    if (ext == QLatin1String(".mp3"))
        audio.format = mp3Text(ini);
    else if (ext == QLatin1String(".wma"))
        audio.format = wmaText(ini);
    else if (ext == QLatin1String(".ogg"))
        audio.format = oggText(ini);
    else if (ext == QLatin1String(".flac"))
        audio.format = flacText(ini);
    else if (ext == QLatin1String(".opus"))
        audio.format = opusText(ini);
    else
        audio.format = QStringLiteral("WAV, 16-bit PCM, 44100 Hz, stereo");
    audio.lossless = isLosslessExtension(ext);
    return audio;
}

bool isLosslessExtension(const QString &extension)
{
    return extension.compare(QLatin1String(".wav"), Qt::CaseInsensitive) == 0
        || extension.compare(QLatin1String(".flac"), Qt::CaseInsensitive) == 0;
}
