// The bundled sample: its text format, the pictures' layout, the sound cues,
// and the application folder the build assembles from them.
#include "store/collection_io.h"
#include "store/problem_paths.h"
#include "tools/cue_synth.h"
#include "tools/problem_picture.h"
#include "tools/sample_collection.h"
#include "tools/sample_source.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
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

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
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

        QTest::newRow("empty text") << QString() << 1;
        QTest::newRow("problem before any chapter") << QStringLiteral("# x\n") + good << 2;
        QTest::newRow("chapter without a name") << QStringLiteral("capitol:  \n") + good << 1;
        QTest::newRow("chapter name over 100 bytes")
            << QStringLiteral("capitol: ") + QString(101, u'x') + u'\n' + good << 1;
        QTest::newRow("chapter defined twice") << cap + good + cap + good << 9;
        QTest::newRow("chapter without problems")
            << cap + QStringLiteral("capitol: B\n") + good << 1;
        QTest::newRow("last chapter without problems")
            << cap + good + QStringLiteral("capitol: B\n") << 9;
        QTest::newRow("fifty chapters") << fifty << 50 * 8 - 7;
        QTest::newRow("variant without statement") << cap + QStringLiteral("a) 1\n") << 2;
        QTest::newRow("variant out of order") << cap + QStringLiteral("Enunt\na) 1\nc) 3\n") << 4;
        QTest::newRow("empty variant") << cap + QStringLiteral("Enunt\na) 1\nb)\n") << 4;
        QTest::newRow("sixth variant")
            << cap + QStringLiteral("Enunt\na) 1\nb) 2\nc) 3\nd) 4\ne) 5\na) 6\n") << 8;
        QTest::newRow("statement between variants")
            << cap + QStringLiteral("Enunt\na) 1\nb) 2\nmai mult text\n") << 5;
        QTest::newRow("statement after the variants")
            << cap + QStringLiteral("Enunt\na) 1\nb) 2\nc) 3\nd) 4\ne) 5\ntext\n") << 8;
        QTest::newRow("answer before the fifth variant")
            << cap + QStringLiteral("Enunt\na) 1\nb) 2\nc) 3\nd) 4\nraspuns: a\n") << 7;
        QTest::newRow("answer outside a-e")
            << cap + problem(QStringLiteral("Enunt"), QStringLiteral("f")) << 8;
        QTest::newRow("answer in capitals")
            << cap + problem(QStringLiteral("Enunt"), QStringLiteral("C")) << 8;
        QTest::newRow("answer of two letters")
            << cap + problem(QStringLiteral("Enunt"), QStringLiteral("ab")) << 8;
        QTest::newRow("answer without a problem")
            << cap + good + QStringLiteral("raspuns: a\n") << 9;
        QTest::newRow("problem cut by a chapter")
            << cap + QStringLiteral("\nEnunt\na) 1\nb) 2\nc) 3\nd) 4\ne) 5\ncapitol: B\n") << 3;
        QTest::newRow("problem cut by the end")
            << cap + QStringLiteral("Enunt\na) 1\nb) 2\nc) 3\nd) 4\ne) 5\n") << 2;
        QTest::newRow("statement alone at the end") << cap + good + QStringLiteral("Enunt\n") << 9;
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
        const QRectF picture(QPointF(0, 0), layout.size);
        for (std::size_t i = 0; i < rects.size(); ++i) {
            QVERIFY2(picture.contains(rects[i]), qPrintable(QString::number(i)));
            for (std::size_t j = i + 1; j < rects.size(); ++j)
                QVERIFY2(!rects[i].intersects(rects[j]),
                         qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
        }
        for (const QRectF &p : layout.paragraphs)
            QVERIFY(p.bottom() < layout.variantCells[0].top());
        // Text wider than the picture wraps; in columns every variant keeps to one line.
        const qreal line = QFontMetricsF(font).height();
        const bool wraps = problem.statement[0].size() > 100;
        QCOMPARE(layout.paragraphs[0].height() > 1.5 * line, wraps);
        if (columns == 1) {
            for (int k = 1; k < 5; ++k)
                QVERIFY(layout.variantCells[k].top() > layout.variantCells[k - 1].bottom());
            QVERIFY(layout.variantCells[0].height() > 1.5 * line);
        } else {
            QCOMPARE(layout.variantCells[columns - 1].top(), layout.variantCells[0].top());
        }
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

    void cuesAreShortDistinctPcmFiles()
    {
        std::set<QString> names;
        std::set<QByteArray> contents;
        for (const CueRecipe &recipe : cueRecipes()) {
            const QByteArray wav = wavFile(synthesiseCue(recipe));
            names.insert(recipe.fileName);
            contents.insert(wav);
            QVERIFY(wav.size() > 44);
            QCOMPARE(wav.left(4), QByteArray("RIFF"));
            QCOMPARE(le32(wav, 4), quint32(wav.size() - 8));
            QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
            QCOMPARE(le16(wav, 20), quint16(1)); // PCM
            QCOMPARE(le16(wav, 22), quint16(1)); // mono
            QCOMPARE(le32(wav, 24), quint32(22050));
            QCOMPARE(le32(wav, 28), quint32(44100));
            QCOMPARE(le16(wav, 34), quint16(16));
            QCOMPARE(wav.mid(36, 4), QByteArray("data"));
            const quint32 data = le32(wav, 40);
            QCOMPARE(data, quint32(wav.size() - 44));
            const double seconds = data / 2 / 22050.0;
            QVERIFY2(seconds >= 0.15 && seconds <= 0.8, qPrintable(recipe.fileName));
            const int count = int(data / 2);
            const auto sample = [&wav](int i) {
                return std::abs(int(qint16(le16(wav, 44 + 2 * i))));
            };
            int peak = 0;
            int edges = 0; // the loudest of the first and last ten samples
            for (int i = 0; i < count; ++i) {
                peak = std::max(peak, sample(i));
                if (i < 10 || i >= count - 10)
                    edges = std::max(edges, sample(i));
            }
            QVERIFY2(peak > 8000 && peak < 32000, qPrintable(recipe.fileName));
            // Faded in and out, so the cue never clicks.
            QVERIFY2(edges < peak / 20, qPrintable(recipe.fileName));
        }
        const std::set<QString> expected{"next.wav",     "exit.wav",     "incarca.wav",
                                         "setareok.wav", "exitform.wav", "birds_22khz_lp-1.wav"};
        QCOMPARE(names, expected);
        QCOMPARE(contents.size(), expected.size());
    }

    void writingTheSampleKeepsTheResults()
    {
        QTemporaryDir dir;
        const QByteArray results("results that must survive");
        QFile users(dir.filePath(datafile::Users));
        QVERIFY(users.open(QIODevice::WriteOnly) && users.write(results) == results.size());
        users.close();
        const SampleParse s =
            parseSample(QStringLiteral("capitol: A\n") + problem("Unu") + problem("Doi", "a"));
        QCOMPARE(writeSampleFolder(s, dir.path(), problemFont()), QString());
        QCOMPARE(readFile(dir.filePath(datafile::Users)), results);
        QVERIFY(QFileInfo::exists(dir.filePath("probleme/probl00002.jpg")));
        QVERIFY(!readFile(dir.filePath(datafile::Problems)).isEmpty());
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

        std::set<QByteArray> names;
        for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
            const ChapterRecord &chapter = c.ChapterTable[row];
            names.insert(chapter.Name.trimmed());
            QVERIFY(chapter.ProblemTotal >= 9);
            int counted = 0;
            for (int p = Collection::FirstRow; p <= c.lastProblemRow(); ++p)
                counted += c.ProblemTable[p].Chapter.Name.trimmed() == chapter.Name.trimmed();
            QCOMPARE(int(chapter.ProblemTotal), counted);
        }
        QVERIFY(names.count("Benzi de completare"));

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
        for (const char *page :
             {"index.html", "ecran-principal.html", "definire-test.html", "capitole.html",
              "probleme.html", "vizualizare.html", "tiparire.html", "intretinere.html"})
            QVERIFY2(readFile(app.filePath(QString("help/") + page)).contains("</html>"), page);
        QVERIFY(QFileInfo(app.filePath("teste")).isDir());
        QVERIFY(QFileInfo(app.filePath("backup")).isDir());
    }
};

QTEST_MAIN(TstSampleFolder)
#include "tst_sample_folder.moc"
