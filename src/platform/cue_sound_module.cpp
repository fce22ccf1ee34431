// The sound module: the cues' sound on Qt Multimedia, loaded by loadCueSound
// when the first cue plays.
#include "platform/cue_sound.h"

#include <QSoundEffect>
#include <QUrl>

namespace culegere {
namespace {

class EffectSound final : public CueSound
{
public:
    void play(const QString &waveFile) override
    {
        m_effect.setSource(QUrl::fromLocalFile(waveFile));
        m_effect.play();
    }
    void stop() override { m_effect.stop(); }
    void clear() override { m_effect.setSource(QUrl()); }
    bool isPlaying() const override { return m_effect.isPlaying(); }
    QString source() const override { return m_effect.source().toLocalFile(); }

private:
    QSoundEffect m_effect;
};

} // namespace
} // namespace culegere

extern "C" Q_DECL_EXPORT culegere::CueSound *culegere_make_cue_sound()
{
    return new culegere::EffectSound;
}
