#include "tools/demo_disc.h"

#include <QStringList>

#include <cmath>
#include <numbers>

namespace cdimage {
namespace {

constexpr double kRate = 44100.0;

struct Note {
    double start; // seconds
    double length;
    std::vector<double> pitches; // MIDI note numbers, played together
};

double frequency(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// One note after another, `beat` seconds each.
std::vector<Note> melody(const std::vector<double> &pitches, double beat)
{
    std::vector<Note> notes;
    for (size_t i = 0; i < pitches.size(); ++i) {
        if (pitches[i] > 0)
            notes.push_back({double(i) * beat, beat * 0.95, {pitches[i]}});
    }
    return notes;
}

std::vector<Note> scale()
{
    return melody({60, 62, 64, 65, 67, 69, 71, 72, 71, 69, 67, 65, 64, 62, 60}, 0.4);
}

std::vector<Note> chords()
{
    const std::vector<std::vector<double>> progression{
        {48, 60, 64, 67}, {53, 60, 65, 69}, {55, 59, 62, 67}, {48, 60, 64, 67}};
    std::vector<Note> notes;
    for (size_t i = 0; i < progression.size(); ++i)
        notes.push_back({double(i) * 1.5, 1.45, progression[i]});
    return notes;
}

std::vector<Note> song()
{
    return melody({64, 62, 60, 62, 64, 64, 64, 0, 62, 62, 62, 0, 64, 67, 67, 0,
                   64, 62, 60, 62, 64, 64, 64, 64, 62, 62, 64, 62, 60},
                  0.3);
}

const std::vector<Note> &trackNotes(int track)
{
    static const std::vector<std::vector<Note>> tracks{scale(), chords(), song()};
    return tracks[size_t(std::clamp(track, 1, int(tracks.size())) - 1)];
}

// A soft plucked tone: quick attack, exponential decay, two overtones.
double voice(double pitch, double t, double length)
{
    if (t < 0 || t > length)
        return 0;
    const double envelope = std::min(1.0, t / 0.01) * std::exp(-2.5 * t) * std::min(1.0, (length - t) / 0.02);
    const double phase = 2 * std::numbers::pi * frequency(pitch) * t;
    return envelope * (std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase));
}

double trackSeconds(int track)
{
    double end = 0;
    for (const Note &note : trackNotes(track))
        end = std::max(end, note.start + note.length);
    return end + 0.5;
}

} // namespace

Disc demoDisc()
{
    Disc disc;
    disc.artist = QStringLiteral("The Harvelo Ensemble");
    disc.album = QStringLiteral("Demo Disc");
    const QStringList titles{QStringLiteral("Morning Scale"), QStringLiteral("Three Chords"),
                             QStringLiteral("Evening Song")};
    for (int i = 0; i < titles.size(); ++i)
        disc.tracks.push_back({int64_t(trackSeconds(i + 1) * kRate), titles[i], false, 0});
    return disc;
}

void demoFrame(int track, int64_t frame, int16_t *samples)
{
    const double t = double(frame) / kRate;
    double mix = 0;
    for (const Note &note : trackNotes(track)) {
        for (double pitch : note.pitches)
            mix += voice(pitch, t - note.start, note.length) / double(note.pitches.size());
    }
    const double level = 0.35 * 32767 * mix;
    samples[0] = int16_t(std::clamp(level * 0.9, -32767.0, 32767.0));
    samples[1] = int16_t(std::clamp(level * 1.1 / 1.2, -32767.0, 32767.0));
}

} // namespace cdimage
