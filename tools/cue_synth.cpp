#include "tools/cue_synth.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace culegere {

namespace {

constexpr double kPeak = 0.55 * 32767; // well below full scale: pleasant, never clipped
constexpr double kFade = 0.008;        // seconds of fade at each end of a cue
constexpr double kAttack = 0.006;
constexpr double kRelease = 0.012;

// C major, fifth octave and around.
constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, A5 = 880.0, C6 = 1046.5, E6 = 1318.5;

double envelope(double t, double duration)
{
    const double attack = std::min(kAttack, duration / 4);
    const double rise = std::min(1.0, t / attack);
    const double release = std::clamp((duration - t) / kRelease, 0.0, 1.0);
    return rise * std::exp(-3.0 * t / duration) * release;
}

CueNote note(double start, double duration, double hz, double level = 1, double overtones = 0.3)
{
    return {start, duration, hz, hz, level, overtones};
}

CueNote glide(double start, double duration, double fromHz, double toHz, double level,
              double overtones)
{
    return {start, duration, fromHz, toHz, level, overtones};
}

// A short trill of rising chirps closed by a falling one, high and pure.
CueRecipe birds()
{
    CueRecipe recipe{QStringLiteral("birds_22khz_lp-1.wav"), 0.72, {}};
    for (int k = 0; k < 7; ++k) {
        const double lift = (k % 2) * 250.0;
        recipe.notes.push_back(
            glide(0.02 + k * 0.085, 0.055, 2600 + lift, 3800 + lift, 0.7 + 0.05 * k, 0));
    }
    recipe.notes.push_back(glide(0.615, 0.095, 4000, 2800, 1, 0));
    return recipe;
}

} // namespace

std::vector<CueRecipe> cueRecipes()
{
    return {
        {QStringLiteral("next.wav"), 0.22, {note(0, 0.09, A5, 0.8), note(0.07, 0.15, E6)}},
        {QStringLiteral("exit.wav"),
         0.70,
         {note(0, 0.24, G5), note(0.14, 0.26, E5), note(0.28, 0.42, C5)}},
        {QStringLiteral("incarca.wav"),
         0.50,
         {note(0, 0.12, C5, 0.8), note(0.08, 0.12, E5, 0.85), note(0.16, 0.12, G5, 0.9),
          note(0.24, 0.26, C6)}},
        {QStringLiteral("setareok.wav"),
         0.42,
         {note(0, 0.2, G5, 0.8, 0.15), note(0.1, 0.32, C6, 1, 0.15)}},
        {QStringLiteral("exitform.wav"), 0.26, {glide(0, 0.26, 740, 440, 1, 0.2)}},
        birds(),
    };
}

std::vector<qint16> synthesiseCue(const CueRecipe &recipe, int sampleRate)
{
    const auto count = static_cast<std::size_t>(std::lround(recipe.length * sampleRate));
    std::vector<double> mix(count, 0.0);
    for (const CueNote &n : recipe.notes) {
        const auto first = static_cast<std::size_t>(std::lround(n.start * sampleRate));
        const auto length = static_cast<std::size_t>(std::lround(n.duration * sampleRate));
        double phase = 0;
        for (std::size_t i = 0; i < length && first + i < count; ++i) {
            const double t = static_cast<double>(i) / sampleRate;
            const double hz = n.fromHz + (n.toHz - n.fromHz) * t / n.duration;
            const double wave = std::sin(phase) + n.overtones * std::sin(2 * phase) +
                                n.overtones / 3 * std::sin(3 * phase);
            mix[first + i] += n.level * envelope(t, n.duration) * wave;
            phase += 2 * std::numbers::pi * hz / sampleRate;
        }
    }

    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0 ? kPeak / peak : 0;
    const double fade = kFade * sampleRate;
    std::vector<qint16> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double edge = static_cast<double>(std::min(i, count - 1 - i));
        const double gain = std::min(1.0, edge / fade);
        samples[i] = static_cast<qint16>(std::lround(mix[i] * scale * gain));
    }
    return samples;
}

QByteArray wavFile(const std::vector<qint16> &samples, int sampleRate)
{
    const auto dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray wav;
    wav.reserve(static_cast<qsizetype>(44 + dataBytes));
    const auto put32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    const auto put16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    put32(36 + dataBytes);
    wav.append("WAVEfmt ");
    put32(16);                                   // size of the format chunk
    put16(1);                                    // PCM
    put16(1);                                    // mono
    put32(static_cast<quint32>(sampleRate));     // samples per second
    put32(static_cast<quint32>(sampleRate * 2)); // bytes per second
    put16(2);                                    // bytes per sample frame
    put16(16);                                   // bits per sample
    wav.append("data");
    put32(dataBytes);
    for (qint16 s : samples)
        put16(static_cast<quint16>(s));
    return wav;
}

} // namespace culegere
