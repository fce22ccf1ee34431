#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace culegere {

// The one sound the cues play through. It is made by the sound module
// (culegere_cue_sound, the only part of the program that links Qt
// Multimedia), which is loaded when the first cue plays: a session that plays
// no cue never loads a sound library, and a start-up waits for none.
class CueSound
{
public:
    virtual ~CueSound() = default;
    // Plays `waveFile` (a full path) in place of whatever was set; never waits.
    virtual void play(const QString &waveFile) = 0;
    virtual void stop() = 0;
    // Leaves the sound silent and without a file.
    virtual void clear() = 0;
    virtual bool isPlaying() const = 0;
    // The file last played, "" after clear().
    virtual QString source() const = 0;
};

// The sound module's name, without the system's prefix and suffix, and the
// function it exports: `CueSound *culegere_make_cue_sound()`, a new sound
// owned by the caller.
inline const QString kCueSoundModule = QStringLiteral("culegere_cue_sound");
inline constexpr char kMakeCueSound[] = "culegere_make_cue_sound";

// Loads the sound module from the first of `folders` that holds one that
// loads, and makes a sound with it; nullptr when none does. The module stays
// loaded for the rest of the process (its sounds live in it).
std::unique_ptr<CueSound> loadCueSound(const QStringList &folders);

} // namespace culegere
