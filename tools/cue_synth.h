#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace culegere {

// The sound cues of the application folder, synthesised from a few notes.
//
// Each note is a tone gliding from one pitch to another, with a quick attack
// and a gentle decay; the cue is the sum of its notes, scaled to a fixed peak
// and faded in and out over a few milliseconds so that it starts and ends in
// silence. Everything is computed, nothing is random: a recipe always gives
// the same samples.

inline constexpr int CueSampleRate = 22050;

struct CueNote
{
    double start = 0;    // seconds from the start of the cue
    double duration = 0; // seconds
    double fromHz = 0;
    double toHz = 0;        // the pitch glides linearly from fromHz to toHz
    double level = 1;       // relative loudness
    double overtones = 0.3; // loudness of the second harmonic; the third is a third of it
};

struct CueRecipe
{
    QString fileName;  // "next.wav"
    double length = 0; // seconds
    std::vector<CueNote> notes;
};

// The six cues the program plays.
std::vector<CueRecipe> cueRecipes();

std::vector<qint16> synthesiseCue(const CueRecipe &recipe, int sampleRate = CueSampleRate);

// A RIFF WAVE file: PCM, 16 bits, mono.
QByteArray wavFile(const std::vector<qint16> &samples, int sampleRate = CueSampleRate);

} // namespace culegere
