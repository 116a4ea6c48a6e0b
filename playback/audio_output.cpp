#include "playback/audio_output.h"

#include "playback/null_audio_output.h"
#include "playback/qt_audio_output.h"

std::unique_ptr<AudioOutput> AudioOutput::create()
{
    if (qEnvironmentVariable("HARVELO_AUDIO_OUTPUT") == QLatin1String("null"))
        return std::make_unique<NullAudioOutput>();
    return std::make_unique<QtAudioOutput>();
}
