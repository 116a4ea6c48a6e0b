#include "audio/audio_output.h"

#include "audio/null_audio_output.h"
#include "audio/qt_audio_output.h"

std::unique_ptr<AudioOutput> AudioOutput::create()
{
    if (qEnvironmentVariable("HARVELO_AUDIO_OUTPUT") == QLatin1String("null"))
        return std::make_unique<NullAudioOutput>();
    return std::make_unique<QtAudioOutput>();
}
