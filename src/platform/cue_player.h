#pragma once

#include "platform/cue_sound.h"

#include <functional>
#include <memory>

namespace culegere {

// Plays the sound cues, one at a time: a new cue always silences the one
// playing, also when its own file is missing (the desktop's alert sounds in
// its place). Never waits for a sound to end.
//
// The sound is made by `makeSound` when the first cue whose file is there
// plays, and only then (loadCueSound in the program). Where no sound can be
// made (the sound module is missing or does not load) every cue sounds the
// alert instead, as a missing file does; the program goes on.
class CuePlayer
{
public:
    using SoundMaker = std::function<std::unique_ptr<CueSound>()>;
    CuePlayer(std::function<void()> alert, SoundMaker makeSound);
    ~CuePlayer();
    CuePlayer(const CuePlayer &) = delete;
    CuePlayer &operator=(const CuePlayer &) = delete;

    void play(const QString &waveFile);
    // The one sound the cues play through (nullptr before the first cue, or
    // when none could be made); a cue whose file is missing leaves it silent
    // and without a file. It is kept rather than made anew for each cue: a
    // sound destroyed while its file is still loading leaks Qt's loader.
    const CueSound *current() const { return m_sound.get(); }

private:
    std::function<void()> m_alert;
    SoundMaker m_makeSound;
    bool m_soundAsked = false; // a sound that could not be made is not sought again
    std::unique_ptr<CueSound> m_sound;
};

} // namespace culegere
