#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSoundEffect;

namespace culegere {

// Plays the sound cues, one at a time: a new cue always silences the one
// playing, also when its own file is missing (the desktop's alert sounds in
// its place). Never waits for a sound to end.
class CuePlayer
{
public:
    explicit CuePlayer(std::function<void()> alert);
    ~CuePlayer();
    CuePlayer(const CuePlayer &) = delete;
    CuePlayer &operator=(const CuePlayer &) = delete;

    void play(const QString &waveFile);
    // The one sound the cues play through (nullptr before the first cue); a
    // cue whose file is missing leaves it silent and without a source. It is
    // kept rather than made anew for each cue: a sound destroyed while its
    // file is still loading leaks Qt's loader.
    const QSoundEffect *current() const { return m_sound.get(); }

private:
    std::function<void()> m_alert;
    std::unique_ptr<QSoundEffect> m_sound;
};

} // namespace culegere
