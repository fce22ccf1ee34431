// The bundled sample: its text format and the application folder the build
// assembles from it.
#include "store/collection_io.h"
#include "store/problem_paths.h"
#include "support/driver.h"
#include "tools/cue_synth.h"
#include "tools/problem_picture.h"
#include "tools/sample_collection.h"
#include "tools/sample_source.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtTest>

using namespace culegere;

namespace {

const QString kAppDir = QStringLiteral(CULEGERE_SAMPLE_APP_DIR);

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString problem(const QString &statement, const QString &answer = QStringLiteral("c"))
{
    return statement + QStringLiteral("\na) 1\nb) 2\nc) 3\nd) 4\ne) 5\nraspuns: ") + answer + u'\n';
}

} // namespace

class TstSampleFolder : public QObject
{
    Q_OBJECT

private slots:
    void goodTextIsRead()
    {
        const QString text = QStringLiteral("# comment\r\n\r\ncapitol: Numere naturale\r\n"
                                            "  Cât face 2 + 3?  \r\n"
                                            "Alegeți răspunsul.\n"
                                            "a) 4\nb) 5\n\nc) 6\nd) 7\ne) 8\nraspuns: b\n"
                                            "capitol: Fractii\n") +
                             problem(QStringLiteral("1/2 + 1/2 = ?"), QStringLiteral("e"));
        const SampleParse s = parseSample(text);
        QVERIFY2(s.ok(), qPrintable(s.error));
        QCOMPARE(s.chapters.size(), std::size_t(2));
        QCOMPARE(s.chapters[0].name, QStringLiteral("Numere naturale"));
        const SampleProblem &first = s.chapters[0].problems.at(0);
        QCOMPARE(first.statement, QStringList({QStringLiteral("Cât face 2 + 3?"),
                                               QStringLiteral("Alegeți răspunsul.")}));
        QCOMPARE(first.variants[4], QStringLiteral("8"));
        QCOMPARE(first.correct, 1);
        QCOMPARE(first.line, 4);
        QCOMPARE(s.chapters[1].problems.at(0).index, QStringLiteral("00002"));
        QCOMPARE(s.chapters[1].problems.at(0).correct, 4);
    }

    void malformedTextIsRefusedAtItsLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        const QString cap = QStringLiteral("capitol: A\n");
        const QString good = problem(QStringLiteral("Enunt"));
        auto row = [](const char *name, int line, const QString &text) {
            QTest::newRow(name) << text << line;
        };
        row("empty text", 1, QString());
        row("problem before any chapter", 2, "# x\n" + good);
        row("chapter defined twice", 9, cap + good + cap + good);
        row("answer outside a-e", 8, cap + problem("Enunt", "f"));
    }

    void malformedTextIsRefusedAtItsLine()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        const SampleParse s = parseSample(text);
        QVERIFY(!s.ok());
        QCOMPARE(s.errorLine, line);
        QVERIFY(!s.error.isEmpty() && s.chapters.empty()); // refused whole, with a reason
    }

    void writingTheSampleKeepsTheResults()
    {
        test::TempAppFolder dir;
        dir.write(datafile::Users, "results that must survive");
        const SampleParse s =
            parseSample(QStringLiteral("capitol: A\n") + problem("Unu") + problem("Doi", "a"));
        QVERIFY2(fontAvailable(problemFont()), "DejaVu Sans is missing (fonts-dejavu-core)");
        QCOMPARE(writeSampleFolder(s, dir.path(), problemFont()), QString());
        QCOMPARE(dir.read(datafile::Users), QByteArray("results that must survive"));
        QVERIFY(!dir.read(datafile::Problems).isEmpty());
        // The same pictures each time.
        const QByteArray picture = dir.read("probleme/probl00002.jpg");
        QVERIFY(!picture.isEmpty());
        QCOMPARE(writeSampleFolder(s, dir.path(), problemFont()), QString());
        QCOMPARE(dir.read("probleme/probl00002.jpg"), picture);
    }

    void generatedFolderHoldsTheSample()
    {
        const QDir app(kAppDir);
        const QByteArray caps = readFile(app.filePath(datafile::Chapters));
        QVERIFY2(!caps.isEmpty(), "build the target culegere_appdir first");
        Collection c;
        QVERIFY(loadCollection({}, caps, readFile(app.filePath(datafile::Problems)), c).ok());

        const SampleParse source =
            parseSample(QString::fromUtf8(readFile(QStringLiteral(CULEGERE_SAMPLE_SOURCE))));
        QVERIFY2(source.ok(),
                 qPrintable(QStringLiteral("line %1: %2").arg(source.errorLine).arg(source.error)));
        QCOMPARE(int(c.ChapterCount), int(source.chapters.size()));
        QCOMPARE(int(c.ProblemCount), source.problemCount());
        QCOMPARE(test::countersBreak(c), QString());

        int row = Collection::FirstRow;
        for (const SampleChapter &chapter : source.chapters) {
            for (const SampleProblem &p : chapter.problems) {
                const ProblemRecord &record = c.ProblemTable[row++];
                QCOMPARE(record.Chapter.Name.trimmedText(), chapter.name);
                QCOMPARE(int(record.CorrectAnswer), p.correct);
                const QString picture = problemImagePath(kAppDir, record.ImagePath);
                QCOMPARE(QImageReader(picture).size().width(), PictureWidth);
            }
        }

        for (const CueRecipe &recipe : cueRecipes())
            QCOMPARE(readFile(app.filePath(recipe.fileName)), wavFile(synthesiseCue(recipe)));
        // help.chm where the build found chmcmd to compile it.
        if (CULEGERE_HELP_CHM)
            QVERIFY(readFile(app.filePath("help.chm")).startsWith("ITSF"));
        else
            QVERIFY(!QFileInfo::exists(app.filePath("help.chm")));
        // The same pages for a browser, where no viewer for help.chm is installed.
        QVERIFY(readFile(app.filePath("help/index.html")).contains("</html>"));
        QVERIFY(QDir(app.filePath("help")).entryList({"*.html"}).size() >= 8);
    }
};

QTEST_MAIN(TstSampleFolder)
#include "tst_sample_folder.moc"
