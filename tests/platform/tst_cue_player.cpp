// The sound cues: one at a time, a new cue always silencing the one playing,
// a missing file sounding the alert instead; the sound module loaded only
// when a cue plays, and its absence no more than an alert.
#include "platform/cue_player.h"
#include "support/temp_app_folder.h"
#include "tools/cue_synth.h"

#include <QtTest>

using namespace culegere;

namespace {

// A short, silent wave file.
const QByteArray kSilence = wavFile(std::vector<qint16>(800, 0));

const QString kModuleDir = QStringLiteral(CULEGERE_CUE_MODULE_DIR);

} // namespace

class TstCuePlayer : public QObject
{
    Q_OBJECT

private slots:
    void aNewCueSilencesTheOnePlaying()
    {
        test::TempAppFolder dir;
        dir.write("next.wav", kSilence);
        dir.write("exit.wav", kSilence);
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
        dir.write("next.wav", kSilence);
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
