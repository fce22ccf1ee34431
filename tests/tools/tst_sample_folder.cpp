// The bundled sample: its text format, the pictures' layout, the sound cues,
// and the application folder the build assembles from them.
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

#include <set>

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

SampleProblem withVariants(const QStringList &statement, const QString &a, const QString &b,
                           const QString &c, const QString &d, const QString &e)
{
    SampleProblem p;
    p.index = QStringLiteral("00001");
    p.statement = statement;
    p.variants = {a, b, c, d, e};
    return p;
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
        QCOMPARE(s.chapters[1].name, QStringLiteral("Fractii"));
        const SampleProblem &first = s.chapters[0].problems.at(0);
        QCOMPARE(first.index, QStringLiteral("00001"));
        QCOMPARE(first.statement, QStringList({QStringLiteral("Cât face 2 + 3?"),
                                               QStringLiteral("Alegeți răspunsul.")}));
        QCOMPARE(first.variants[1], QStringLiteral("5"));
        QCOMPARE(first.variants[4], QStringLiteral("8"));
        QCOMPARE(first.correct, 1);
        QCOMPARE(first.line, 4);
        QCOMPARE(s.chapters[1].problems.at(0).index, QStringLiteral("00002"));
        QCOMPARE(s.chapters[1].problems.at(0).correct, 4);
        QCOMPARE(s.problemCount(), 2);
    }

    void malformedTextIsRefusedAtItsLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        const QString cap = QStringLiteral("capitol: A\n");
        const QString good = problem(QStringLiteral("Enunt"));
        QString fifty;
        for (int k = 1; k <= 50; ++k)
            fifty += QStringLiteral("capitol: C%1\n").arg(k) + good;

        const QString five = QStringLiteral("Enunt\na) 1\nb) 2\nc) 3\nd) 4\ne) 5\n");
        auto row = [](const char *name, int line, const QString &text) {
            QTest::newRow(name) << text << line;
        };
        row("empty text", 1, QString());
        row("problem before any chapter", 2, "# x\n" + good);
        row("chapter without a name", 1, "capitol:  \n" + good);
        row("chapter name over 100 bytes", 1, "capitol: " + QString(101, u'x') + u'\n' + good);
        row("chapter defined twice", 9, cap + good + cap + good);
        row("chapter without problems", 1, cap + "capitol: B\n" + good);
        row("last chapter without problems", 9, cap + good + "capitol: B\n");
        row("fifty chapters", 50 * 8 - 7, fifty);
        row("variant without statement", 2, cap + "a) 1\n");
        row("variant out of order", 4, cap + "Enunt\na) 1\nc) 3\n");
        row("empty variant", 4, cap + "Enunt\na) 1\nb)\n");
        row("sixth variant", 8, cap + five + "a) 6\n");
        row("statement between variants", 5, cap + "Enunt\na) 1\nb) 2\nmai mult text\n");
        row("statement after the variants", 8, cap + five + "text\n");
        row("answer before the fifth variant", 7, cap + five.chopped(5) + "raspuns: a\n");
        row("answer outside a-e", 8, cap + problem("Enunt", "f"));
        row("answer in capitals", 8, cap + problem("Enunt", "C"));
        row("answer of two letters", 8, cap + problem("Enunt", "ab"));
        row("answer without a problem", 9, cap + good + "raspuns: a\n");
        row("problem cut by a chapter", 3, cap + "\n" + five + "capitol: B\n");
        row("problem cut by the end", 2, cap + five);
        row("statement alone at the end", 9, cap + good + "Enunt\n");
    }

    void malformedTextIsRefusedAtItsLine()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        const SampleParse s = parseSample(text);
        QVERIFY(!s.ok());
        QCOMPARE(s.errorLine, line);
        QVERIFY(!s.error.isEmpty());
        QVERIFY(s.chapters.empty());
    }

    void variantsLayOutInColumnsOrOneUnderTheOther_data()
    {
        QTest::addColumn<SampleProblem>("problem");
        QTest::addColumn<int>("columns");
        const QStringList one{QStringLiteral("Cât face 2 + 3?")};
        const QString longText = QStringLiteral("un triunghi care are toate unghiurile ascuțite, "
                                                "iar două dintre laturile lui sunt egale");
        QTest::newRow("short") << withVariants(one, "4", "5", "6", "7", "8") << 5;
        QTest::newRow("sets") << withVariants(one, "{1, 2, 3}", "{0, 1, 2, 3, 4}", "{4}",
                                              "{0, 1, 2, 3}", "{1, 2, 3, 4}")
                              << 3;
        QTest::newRow("sentences")
            << withVariants(one, longText, longText, longText, longText, longText) << 1;
        QTest::newRow("long statement") << withVariants({QStringLiteral("cuvânt ").repeated(30),
                                                         QStringLiteral("Al doilea paragraf.")},
                                                        "1", "2", "3", "4", "5")
                                        << 5;
    }

    // Statement above the variants, nothing overlapping, all inside the
    // picture; in columns the variants share a line, else each has its own.
    void variantsLayOutInColumnsOrOneUnderTheOther()
    {
        QFETCH(SampleProblem, problem);
        QFETCH(int, columns);
        const QFont font = problemFont();
        QVERIFY2(fontAvailable(font), "DejaVu Sans is missing (fonts-dejavu-core)");
        const ProblemLayout layout = layoutProblem(problem, font);
        QCOMPARE(layout.columns, columns);
        QCOMPARE(layout.size.width(), PictureWidth);
        QVERIFY(layout.size.height() >= MinPictureHeight);
        std::vector<QRectF> rects = layout.paragraphs;
        rects.insert(rects.end(), layout.variantCells.begin(), layout.variantCells.end());
        for (std::size_t i = 0; i < rects.size(); ++i) {
            QVERIFY(QRectF(QPointF(0, 0), layout.size).contains(rects[i]));
            for (std::size_t j = i + 1; j < rects.size(); ++j)
                QVERIFY(!rects[i].intersects(rects[j]));
        }
        QVERIFY(layout.paragraphs.back().bottom() < layout.variantCells[0].top());
        for (int k = 1; k < 5; ++k)
            QCOMPARE(layout.variantCells[k].top() > layout.variantCells[k - 1].bottom(),
                     columns == 1 || k % columns == 0);
    }

    void picturesAreTheSameEachTime()
    {
        const SampleProblem p =
            withVariants({QStringLiteral("Câte laturi are un pătrat?")}, "3", "4", "5", "6", "8");
        const QByteArray jpeg = encodeJpeg(renderProblem(p, problemFont()));
        QCOMPARE(encodeJpeg(renderProblem(p, problemFont())), jpeg);
        QImage image;
        QVERIFY(image.loadFromData(jpeg, "JPEG"));
        QCOMPARE(image.size(), layoutProblem(p, problemFont()).size);
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 96); // JPEG keeps whole dots per inch
    }

    // Six distinct cues, each short, loud enough, faded in and out so that
    // it never clicks, and written as its samples.
    void cuesAreShortDistinctAndFaded()
    {
        std::set<QString> names;
        std::set<std::vector<qint16>> sounds;
        for (const CueRecipe &recipe : cueRecipes()) {
            const std::vector<qint16> samples = synthesiseCue(recipe);
            names.insert(recipe.fileName);
            sounds.insert(samples);
            const double seconds = double(samples.size()) / CueSampleRate;
            QVERIFY2(seconds >= 0.15 && seconds <= 0.8, qPrintable(recipe.fileName));
            int peak = 0;
            int edges = 0; // the loudest of the first and last ten samples
            for (std::size_t i = 0; i < samples.size(); ++i) {
                peak = std::max(peak, std::abs(int(samples[i])));
                if (i < 10 || i + 10 >= samples.size())
                    edges = std::max(edges, std::abs(int(samples[i])));
            }
            QVERIFY2(peak > 8000 && peak < 32000, qPrintable(recipe.fileName));
            QVERIFY2(edges < peak / 20, qPrintable(recipe.fileName));
            const QByteArray wav = wavFile(samples);
            QCOMPARE(
                wav.right(qsizetype(2 * samples.size())),
                QByteArray(
                    reinterpret_cast<const char *>(samples.data()),
                    qsizetype(2 * samples.size()))); // 16-bit little-endian, as on this machine
        }
        const std::set<QString> expected{"next.wav",     "exit.wav",     "incarca.wav",
                                         "setareok.wav", "exitform.wav", "birds_22khz_lp-1.wav"};
        QCOMPARE(names, expected);
        QCOMPARE(sounds.size(), expected.size());
    }

    void writingTheSampleKeepsTheResults()
    {
        test::TempAppFolder dir;
        dir.write(datafile::Users, "results that must survive");
        const SampleParse s =
            parseSample(QStringLiteral("capitol: A\n") + problem("Unu") + problem("Doi", "a"));
        QCOMPARE(writeSampleFolder(s, dir.path(), problemFont()), QString());
        QCOMPARE(dir.read(datafile::Users), QByteArray("results that must survive"));
        QVERIFY(dir.exists("probleme/probl00002.jpg"));
        QVERIFY(!dir.read(datafile::Problems).isEmpty());
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
        QVERIFY(source.chapters.size() >= 6);
        QVERIFY(source.problemCount() >= 54);
        QCOMPARE(int(c.ChapterCount), int(source.chapters.size()));
        QCOMPARE(int(c.ProblemCount), source.problemCount());

        QCOMPARE(test::countersBreak(c), QString());
        bool reserved = false;
        for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
            QVERIFY(c.ChapterTable[row].ProblemTotal >= 9); // enough for a test each
            reserved |= c.ChapterTable[row].Name.trimmed() == "Benzi de completare";
        }
        QVERIFY(reserved);

        int row = Collection::FirstRow;
        std::set<int> answers;
        for (const SampleChapter &chapter : source.chapters) {
            for (const SampleProblem &p : chapter.problems) {
                const ProblemRecord &record = c.ProblemTable[row++];
                QCOMPARE(record.Chapter.Name.trimmedText(), chapter.name);
                QCOMPARE(int(record.CorrectAnswer), p.correct);
                answers.insert(p.correct);
                const QString picture = problemImagePath(kAppDir, record.ImagePath);
                QCOMPARE(QFileInfo(picture).fileName(), QStringLiteral("probl%1.jpg").arg(p.index));
                QImageReader reader(picture);
                const QSize size = reader.size();
                QVERIFY2(reader.canRead(), qPrintable(picture));
                QCOMPARE(size.width(), PictureWidth);
                QVERIFY(size.height() >= MinPictureHeight && size.height() <= 300);
            }
        }
        QCOMPARE(answers.size(), std::size_t(5));

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
        QVERIFY(QFileInfo(app.filePath("teste")).isDir());
        QVERIFY(QFileInfo(app.filePath("backup")).isDir());
    }
};

QTEST_MAIN(TstSampleFolder)
#include "tst_sample_folder.moc"
