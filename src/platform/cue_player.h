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
    // The sound of the cue played last; nullptr when its file was missing.
    const QSoundEffect *current() const { return m_sound.get(); }

private:
    std::function<void()> m_alert;
    std::unique_ptr<QSoundEffect> m_sound;
};

} // namespace culegere
