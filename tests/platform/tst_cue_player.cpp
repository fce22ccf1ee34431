// The sound cues: one at a time, a new cue always silencing the one playing,
// a missing file sounding the alert instead; the sound module loaded only
// when a cue plays, and its absence no more than an alert.
#include "platform/cue_player.h"
#include "support/temp_app_folder.h"

#include <QtEndian>
#include <QtTest>

using namespace culegere;

namespace {

// A short, silent PCM wave file: 8 kHz, 8 bits, mono.
QByteArray silentWave()
{
    const QByteArray samples(800, char(0x80));
    auto le32 = [](quint32 v) {
        QByteArray b(4, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    return "RIFF" + le32(36 + samples.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
           le32(8000) + le32(8000) + le16(1) + le16(8) + "data" + le32(samples.size()) + samples;
}

const QString kModuleDir = QStringLiteral(CULEGERE_CUE_MODULE_DIR);

} // namespace

class TstCuePlayer : public QObject
{
    Q_OBJECT

private slots:
    void aNewCueSilencesTheOnePlaying()
    {
        test::TempAppFolder dir;
        dir.write("next.wav", silentWave());
        dir.write("exit.wav", silentWave());
        int alerts = 0;
        int made = 0;
        CuePlayer player([&alerts] { ++alerts; },
                         [&made] {
                             ++made;
                             return loadCueSound({QString(), "/nonexistent", kModuleDir});
                         });

        // A missing file does not load the sound module.
        player.play(dir.filePath("missing.wav"));
        QCOMPARE(made, 0);
        QCOMPARE(alerts, 1);

        player.play(dir.filePath("next.wav"));
        const CueSound *sound = player.current();
        QVERIFY(sound);
        QCOMPARE(sound->source(), dir.filePath("next.wav"));

        player.play(dir.filePath("missing.wav"));
        QVERIFY(!sound->isPlaying()); // silenced, though nothing plays in its place
        QVERIFY(sound->source().isEmpty());
        QCOMPARE(alerts, 2);

        player.play(dir.filePath("next.wav"));
        player.play(dir.filePath("exit.wav"));
        QCOMPARE(player.current(), sound);
        QCOMPARE(sound->source(), dir.filePath("exit.wav"));
        QCOMPARE(alerts, 2);
        QCOMPARE(made, 1);
    }

    // Without the sound module every cue sounds the alert; the module is
    // sought once, not at every cue.
    void withoutTheModuleCuesSoundTheAlert()
    {
        test::TempAppFolder dir;
        dir.write("next.wav", silentWave());
        int alerts = 0;
        int made = 0;
        CuePlayer player([&alerts] { ++alerts; },
                         [&made, &dir] {
                             ++made;
                             return loadCueSound({dir.path(), "/nonexistent"});
                         });
        player.play(dir.filePath("next.wav"));
        player.play(dir.filePath("next.wav"));
        QVERIFY(!player.current());
        QCOMPARE(alerts, 2);
        QCOMPARE(made, 1);
    }
};

QTEST_MAIN(TstCuePlayer)
#include "tst_cue_player.moc"
