// The integrity check: catalogued problems against the picture folder, and
// the chapters' totals against the number of problems.
#include "store/integrity.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;

namespace {

// `problems` problems in two chapters whose totals add up to `total`, and
// the picture file names of problems 1..`pictures`.
struct Catalogue
{
    Collection collection;
    QStringList pictures;

    Catalogue(int problems, int total, int pictureCount)
    {
        test::addChapter(collection, "A", qint16(total / 2));
        test::addChapter(collection, "B", qint16(total - total / 2));
        for (int i = 1; i <= problems; ++i)
            test::addProblem(collection, i % 2 ? "A" : "B", test::pictureIndex(i));
        for (int i = 1; i <= pictureCount; ++i)
            pictures.append("probl" + test::pictureIndex(i) + ".jpg");
    }
};

} // namespace

class TstIntegrity : public QObject
{
    Q_OBJECT

private slots:
    void pictureIndex_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("index");
        QTest::newRow("lower case") << "probl00012.jpg"
                                    << "00012";
        QTest::newRow("upper case") << "probl00012.JPG"
                                    << "00012";
        QTest::newRow("mixed case") << "PROBL00013.Jpg"
                                    << "00013";
        QTest::newRow("first .jpg counts") << "a12345.jpg.jpg"
                                           << "12345";
        QTest::newRow("four characters: none") << "0012.jpg"
                                               << "";
        QTest::newRow("no .jpg: none") << "probl00012.jpeg"
                                       << "";
    }
    void pictureIndex()
    {
        QFETCH(QString, name);
        QFETCH(QString, index);
        QCOMPARE(culegere::pictureIndex(name), index);
    }

    void summaries_data()
    {
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("total");
        QTest::addColumn<bool>("agree");
        QTest::newRow("120 of 120") << 120 << 120 << true;
        QTest::newRow("empty") << 0 << 0 << true;
        QTest::newRow("totals 119 for 120") << 120 << 119 << false;
    }
    void summaries()
    {
        QFETCH(int, problems);
        QFETCH(int, total);
        QFETCH(bool, agree);
        Catalogue c(problems, total, problems + 5); // unused pictures are not reported
        const IntegrityReport report = checkIntegrity(c.collection, c.pictures);
        QVERIFY(report.missing.isEmpty());
        QCOMPARE(report.problemCount, problems);
        QCOMPARE(report.chapterTotal, total);
        QCOMPARE(report.totalsAgree(), agree);
    }

    void missingPicturesInRowOrder()
    {
        Catalogue c(20, 20, 20);
        c.pictures.removeAll("probl00012.jpg");
        c.pictures.removeAll("probl00003.jpg");
        const IntegrityReport report = checkIntegrity(c.collection, c.pictures);
        QCOMPARE(report.missing.size(), 2);
        QCOMPARE(report.missing[0].index, QString("00003"));
        QCOMPARE(report.missing[0].row, 4);
        QCOMPARE(report.missing[1].index, QString("00012"));
    }

    void anIndexAnywhereInThePathCounts()
    {
        Catalogue c(3, 3, 0);
        c.pictures = {"x00001.JPG", "00002.jpg", "probl00003.jpG"};
        QVERIFY(checkIntegrity(c.collection, c.pictures).missing.isEmpty());
        // Matching the path is exact: another letter case is another index.
        Collection upper;
        test::addProblem(upper, "A", "ab0cd");
        QCOMPARE(checkIntegrity(upper, {"problAB0CD.jpg"}).missing.size(), 1);
    }

    void missingPathLosesWhatFollowsANul()
    {
        Collection c;
        test::addProblem(c, "A", "00001");
        QByteArray path = c.ProblemTable[2].ImagePath.bytes();
        path[10] = '\0';
        c.ProblemTable[2].ImagePath.assign(path);
        const IntegrityReport report = checkIntegrity(c, {});
        QCOMPARE(report.missing.size(), 1);
        QCOMPARE(c.ProblemTable[2].ImagePath.bytes(), path.left(10) + QByteArray(240, ' '));
        QCOMPARE(report.missing[0].index, QString::fromLatin1(path.left(10)));
    }

    void listsJpegFilesOfTheFolderInAnyCase()
    {
        test::TempAppFolder dir;
        dir.write("Probleme/probl00001.jpg", "x");
        dir.write("Probleme/probl00002.JPG", "x");
        dir.write("Probleme/notes.txt", "x");
        QStringList files = listPictureFiles(AppFolder(dir.path()));
        files.sort();
        QCOMPARE(files, QStringList({"probl00001.jpg", "probl00002.JPG"}));
        QCOMPARE(listPictureFiles(AppFolder(dir.filePath("none"))), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstIntegrity)
#include "tst_integrity.moc"
