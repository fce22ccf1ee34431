// Replays, without libFuzzer, what the fuzz targets run: every input of the
// seed corpus (corpus/<target>/) and every finding saved as a regression
// (regressions/<target>/*.hex) goes through the same checks, so a finding
// once fixed stays fixed in the normal build.
#include "harness.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace culegere::fuzz;

Q_DECLARE_METATYPE(culegere::fuzz::Target)

namespace {

const QString kFuzzDir = QStringLiteral(CULEGERE_FUZZ_DIR);

// A saved finding is text: hex bytes ("0a", or a run like "0a0b0c") or
// printable ASCII in double quotes, either followed by *N to repeat it N
// times; '#' starts a comment. False, with `error` set, on a malformed text.
bool parseHex(const QString &text, QByteArray &bytes, QString &error)
{
    static const QRegularExpression unit(
        QStringLiteral(R"re((?:"([ -~]*?)"|([0-9A-Fa-f]+))(?:\*(\d+))?(?=[\s#]|$))re"));
    bytes.clear();
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        for (qsizetype at = 0;;) {
            while (at < line.size() && line[at].isSpace())
                ++at;
            if (at == line.size() || line[at] == u'#')
                break;
            const QRegularExpressionMatch m =
                unit.match(line, at, QRegularExpression::NormalMatch,
                           QRegularExpression::AnchorAtOffsetMatchOption);
            if (!m.hasMatch() || m.captured(2).size() % 2 != 0) {
                error = QStringLiteral("line %1: cannot read \"%2\"").arg(n + 1).arg(line.mid(at));
                return false;
            }
            const QByteArray one = m.capturedStart(1) >= 0
                                       ? m.captured(1).toLatin1()
                                       : QByteArray::fromHex(m.captured(2).toLatin1());
            bytes += one.repeated(m.captured(3).isEmpty() ? 1 : m.captured(3).toInt());
            at = m.capturedEnd();
        }
    }
    return true;
}

QStringList inputs(const QString &folder, Target target, const QStringList &filter = {})
{
    return QDir(kFuzzDir + u'/' + folder + u'/' + targetName(target))
        .entryList(filter, QDir::Files, QDir::Name);
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
        QTest::addColumn<QString>("file");
        for (const Target target : kTargets) {
            const QString name = targetName(target);
            for (const QString &file : inputs("corpus", target))
                QTest::addRow("corpus/%s/%s", qPrintable(name), qPrintable(file))
                    << target << "corpus/" + name + u'/' + file;
            for (const QString &file : inputs("regressions", target, {"*.hex"}))
                QTest::addRow("regressions/%s/%s", qPrintable(name), qPrintable(file))
                    << target << "regressions/" + name + u'/' + file;
        }
    }
    void replay()
    {
        QFETCH(Target, target);
        QFETCH(QString, file);
        QFile in(kFuzzDir + u'/' + file);
        QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(file));
        QByteArray input = in.readAll();
        QString error;
        if (file.endsWith(".hex"))
            QVERIFY2(parseHex(QString::fromUtf8(input), input, error), qPrintable(error));
        const QString finding = checkInput(target, input);
        QVERIFY2(finding.isEmpty(), qPrintable(finding));
    }

    // A path gone wrong must not leave the replay with nothing to replay.
    void everyTargetHasInputs()
    {
        for (const Target target : kTargets) {
            QVERIFY2(inputs("corpus", target).size() >= 5, qPrintable(targetName(target)));
            QVERIFY2(inputs("regressions", target, {"*.hex"}).size() >= 3,
                     qPrintable(targetName(target)));
        }
    }

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
        const StartupFiles files = splitStartupInput(input);
        QTEST(files.users, "users");
        QTEST(files.chapters, "chapters");
        QTEST(files.problems, "problems");
    }

    void hexText()
    {
        QByteArray bytes;
        QString error;
        QVERIFY(parseHex("# a comment\n0a FF*3 \"a#b\"*2 0102 00*0 # more\n", bytes, error));
        QCOMPARE(bytes, QByteArray("\x0a\xff\xff\xff"
                                   "a#ba#b\x01\x02"));
        for (const char *bad : {"abc", "zz", "\"ab", "00*"})
            QVERIFY2(!parseHex(QString::fromLatin1(bad), bytes, error), bad);
    }
};

QTEST_MAIN(TstFuzzReplay)
#include "tst_fuzz_replay.moc"
