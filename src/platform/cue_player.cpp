#include "platform/cue_player.h"

#include <QFileInfo>

namespace culegere {

CuePlayer::CuePlayer(std::function<void()> alert, SoundMaker makeSound)
    : m_alert(std::move(alert)), m_makeSound(std::move(makeSound))
{
}

CuePlayer::~CuePlayer() = default;

void CuePlayer::play(const QString &waveFile)
{
    if (m_sound)
        m_sound->stop();
    if (!QFileInfo::exists(waveFile)) {
        if (m_sound)
            m_sound->clear();
        m_alert();
        return;
    }
    if (!m_soundAsked) {
        m_soundAsked = true;
        m_sound = m_makeSound();
    }
    if (!m_sound) {
        m_alert();
        return;
    }
    m_sound->play(waveFile);
}

} // namespace culegere
