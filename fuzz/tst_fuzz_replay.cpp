// Replays, without libFuzzer, what the fuzz targets run: every input of the
// seed corpus (corpus/<target>/) and every finding saved as a regression
// (regressions/<target>/) goes through the same checks, so a finding once
// fixed stays fixed in the normal build.
#include "harness.h"

#include <QDir>
#include <QtTest>

using namespace culegere::fuzz;

Q_DECLARE_METATYPE(culegere::fuzz::Target)

namespace {

const QString kFuzzDir = QStringLiteral(CULEGERE_FUZZ_DIR);

QStringList inputs(const QString &folder, Target target)
{
    return QDir(kFuzzDir + u'/' + folder + u'/' + targetName(target))
        .entryList(QDir::Files, QDir::Name);
}

} // namespace

class TstFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("file");
        for (const Target target : kTargets) {
            for (const QString folder : {"corpus", "regressions"}) {
                const QString path = folder + u'/' + targetName(target) + u'/';
                for (const QString &file : inputs(folder, target))
                    QTest::addRow("%s", qPrintable(path + file)) << target << path + file;
            }
        }
    }
    void replay()
    {
        QFETCH(Target, target);
        QFETCH(QString, file);
        QFile in(kFuzzDir + u'/' + file);
        QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(file));
        const QString finding = checkInput(target, in.readAll());
        QVERIFY2(finding.isEmpty(), qPrintable(finding));
    }

    // A path gone wrong must not leave the replay with nothing to replay.
    void everyTargetHasInputs()
    {
        for (const Target target : kTargets) {
            QVERIFY2(inputs("corpus", target).size() >= 5, qPrintable(targetName(target)));
            QVERIFY2(inputs("regressions", target).size() >= 3, qPrintable(targetName(target)));
        }
    }
};

QTEST_GUILESS_MAIN(TstFuzzReplay)
#include "tst_fuzz_replay.moc"
