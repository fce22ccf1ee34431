// Replays, without libFuzzer, what the fuzz targets run: every seed and every
// saved input under regressions/<target>/ goes through the same checks, so a
// finding once fixed stays fixed in the normal build.
#include "harness.h"
#include "seeds.h"

#include <QDir>
#include <QtTest>

using namespace culegere::fuzz;

Q_DECLARE_METATYPE(culegere::fuzz::Target)

namespace {

const QString kRegressions = QStringLiteral(CULEGERE_FUZZ_REGRESSIONS);

QStringList savedInputs(Target target)
{
    return QDir(kRegressions + u'/' + targetName(target))
        .entryList({QStringLiteral("*.hex")}, QDir::Files, QDir::Name);
}

QByteArray le16(quint16 value)
{
    return QByteArray(1, char(value & 0xFF)) + char(value >> 8);
}

} // namespace

class TstFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("savedFile"); // "" for a seed
        QTest::addColumn<QByteArray>("input");
        for (const Target target : kTargets) {
            const QString name = targetName(target);
            for (const Seed &seed : seedInputs(target))
                QTest::addRow("%s/seed-%s", qPrintable(name), qPrintable(seed.name))
                    << target << QString() << seed.bytes;
            for (const QString &file : savedInputs(target))
                QTest::addRow("%s/%s", qPrintable(name), qPrintable(file))
                    << target << (kRegressions + u'/' + name + u'/' + file) << QByteArray();
        }
    }
    void replay()
    {
        QFETCH(Target, target);
        QFETCH(QString, savedFile);
        QFETCH(QByteArray, input);
        if (!savedFile.isEmpty()) {
            QFile file(savedFile);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(savedFile));
            QString error;
            QVERIFY2(parseHexInput(QString::fromUtf8(file.readAll()), input, error),
                     qPrintable(error));
        }
        const QString finding = checkInput(target, input);
        QVERIFY2(finding.isEmpty(), qPrintable(finding));
    }

    // A path gone wrong must not leave the replay with nothing to replay.
    void everyTargetHasSavedInputs()
    {
        for (const Target target : kTargets)
            QVERIFY2(savedInputs(target).size() >= 3, qPrintable(targetName(target)));
    }

    // The framing the saved start-up inputs are written in.
    void startupFraming_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("users");
        QTest::addColumn<QByteArray>("chapters");
        QTest::addColumn<QByteArray>("problems");
        QTest::newRow("all three") << le16(2) + le16(1) + "uucppp" << QByteArray("uu")
                                   << QByteArray("c") << QByteArray("ppp");
        QTest::newRow("lengths cut to the input")
            << le16(5) + le16(9) + "uuu" << QByteArray("uuu") << QByteArray() << QByteArray();
        QTest::newRow("one length byte")
            << QByteArray("\x03", 1) << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("lengths above 32767")
            << le16(0x8001) + le16(0) + "ab" << QByteArray("ab") << QByteArray() << QByteArray();
    }
    void startupFraming()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, users);
        QFETCH(QByteArray, chapters);
        QFETCH(QByteArray, problems);
        const StartupFiles files = splitStartupInput(input);
        QCOMPARE(files.users, users);
        QCOMPARE(files.chapters, chapters);
        QCOMPARE(files.problems, problems);
        const StartupFiles again = splitStartupInput(joinStartupInput(files));
        QCOMPARE(again.users, users);
        QCOMPARE(again.chapters, chapters);
        QCOMPARE(again.problems, problems);
    }

    void hexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("bytes, runs, text, comments") << "# header\n0a FF*3 \"ab\"*2 0102 # tail\n"
                                                     << true
                                                     << QByteArray("\x0a\xff\xff\xff"
                                                                   "abab\x01\x02",
                                                                   10);
        QTest::newRow("zero repeat") << "00*0" << true << QByteArray();
        QTest::newRow("odd digits") << "abc" << false << QByteArray();
        QTest::newRow("not hex") << "zz" << false << QByteArray();
        QTest::newRow("unclosed quote") << "\"ab" << false << QByteArray();
        QTest::newRow("no count") << "00*" << false << QByteArray();
    }
    void hexText()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QByteArray, bytes);
        QByteArray parsed;
        QString error;
        QCOMPARE(parseHexInput(text, parsed, error), ok);
        if (!ok)
            return;
        QCOMPARE(parsed, bytes);
        QByteArray again;
        QVERIFY(parseHexInput(formatHexInput(parsed), again, error));
        QCOMPARE(again, bytes);
    }
};

QTEST_MAIN(TstFuzzReplay)
#include "tst_fuzz_replay.moc"
