#include "platform/cue_player.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace culegere {

CuePlayer::CuePlayer(std::function<void()> alert) : m_alert(std::move(alert)) {}

CuePlayer::~CuePlayer() = default;

void CuePlayer::play(const QString &waveFile)
{
    if (m_sound)
        m_sound->stop();
    if (!QFileInfo::exists(waveFile)) {
        if (m_sound)
            m_sound->setSource(QUrl());
        m_alert();
        return;
    }
    if (!m_sound)
        m_sound = std::make_unique<QSoundEffect>();
    m_sound->setSource(QUrl::fromLocalFile(waveFile));
    m_sound->play();
}

} // namespace culegere
