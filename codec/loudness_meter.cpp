#include "codec/loudness_meter.h"
#include "codec/vector_state.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <algorithm>
#include <cmath>
#include <ebur128.h>

struct LoudnessMeter::State {
    ebur128_state *meter = nullptr;
    ~State()
    {
        if (meter)
            ebur128_destroy(&meter);
    }
};

LoudnessMeter::LoudnessMeter() : m(std::make_unique<State>()) {}
LoudnessMeter::~LoudnessMeter() = default;
LoudnessMeter::LoudnessMeter(LoudnessMeter &&) noexcept = default;
LoudnessMeter &LoudnessMeter::operator=(LoudnessMeter &&) noexcept = default;

bool LoudnessMeter::ready(int rate, int channels)
{
    if (!m->meter && rate > 0 && channels > 0)
        m->meter = ebur128_init(unsigned(channels), unsigned(rate),
                                EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_HISTOGRAM);
    return m->meter && m->meter->samplerate == unsigned(rate) && m->meter->channels == unsigned(channels);
}

void LoudnessMeter::add(const SampleBlock &block)
{
    clearUpperVectorState();
    if (!block.isEmpty() && ready(block.sampleRate, block.channels))
        ebur128_add_frames_short(m->meter, block.samples.data(), size_t(block.frames()));
}

void LoudnessMeter::add(const WideSampleBlock &block)
{
    // Left-justified: full scale is 2^31 at every depth, as libebur128 takes int.
    clearUpperVectorState();
    if (!block.isEmpty() && ready(block.sampleRate, block.channels))
        ebur128_add_frames_int(m->meter, block.samples.data(), block.samples.size() / size_t(block.channels));
}

std::optional<LoudnessValues> LoudnessMeter::values() const
{
    return together({this});
}

std::optional<LoudnessValues> LoudnessMeter::together(const std::vector<const LoudnessMeter *> &meters)
{
    std::vector<ebur128_state *> states;
    double peak = 0;
    for (const LoudnessMeter *meter : meters) {
        if (!meter->m->meter)
            continue;
        states.push_back(meter->m->meter);
        for (unsigned c = 0; c < meter->m->meter->channels; ++c) {
            double channelPeak = 0;
            if (ebur128_sample_peak(meter->m->meter, c, &channelPeak) == EBUR128_SUCCESS)
                peak = std::max(peak, channelPeak);
        }
    }
    double loudness = -HUGE_VAL;
    if (states.empty()
        || ebur128_loudness_global_multiple(states.data(), states.size(), &loudness) != EBUR128_SUCCESS
        || !std::isfinite(loudness))
        return std::nullopt;
    return LoudnessValues{loudness, peak};
}

ReplayGainMode replayGainMode(const IniFile &ini)
{
    const QString mode = ini.read(settings::replayGain);
    if (mode == QLatin1String("album"))
        return ReplayGainMode::Album;
    return mode == QLatin1String("track") ? ReplayGainMode::Track : ReplayGainMode::None;
}
