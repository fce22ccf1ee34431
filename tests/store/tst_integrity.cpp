// The integrity check: catalogued problems against the picture folder, and
// the chapters' totals against the number of problems.
#include "store/integrity.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;

class TstIntegrity : public QObject
{
    Q_OBJECT

private slots:
    void pictureIndex_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("index");
        for (const char *name : {"probl00012.jpg", "probl00012.JPG", "PROBL00012.Jpg"})
            QTest::newRow(name) << name << "00012";
        QTest::newRow("first .jpg counts") << "a12345.jpg.jpg" << QString("12345");
        QTest::newRow("four characters: none") << "0012.jpg" << QString();
        QTest::newRow("no .jpg: none") << "probl00012.jpeg" << QString();
    }
    void pictureIndex()
    {
        QFETCH(QString, name);
        QFETCH(QString, index);
        QCOMPARE(culegere::pictureIndex(name), index);
    }

    // Problems 1..`problems` (picture indexes 00001..) in chapters A and B
    // whose totals add up to `total`, against picture files 1..`pictures`
    // but those in `absent`.
    void missingPicturesAndTotals_data()
    {
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QList<int>>("absent");
        QTest::addColumn<QStringList>("missing"); // "index@row", in row order
        QTest::newRow("empty") << 0 << 0 << 0 << QList<int>{} << QStringList{};
        QTest::newRow("two missing")
            << 20 << 20 << 20 << QList<int>{12, 3} << QStringList{"00003@4", "00012@13"};
        QTest::newRow("the last missing")
            << 20 << 20 << 19 << QList<int>{} << QStringList{"00020@21"};
    }
    void missingPicturesAndTotals()
    {
        QFETCH(int, problems);
        QFETCH(int, total);
        QFETCH(int, pictures);
        QFETCH(QList<int>, absent);
        QFETCH(QStringList, missing);
        Collection c;
        test::addChapter(c, "A", qint16(total / 2));
        test::addChapter(c, "B", qint16(total - total / 2));
        for (int i = 1; i <= problems; ++i)
            test::addProblem(c, i % 2 ? "A" : "B", test::pictureIndex(i));
        QStringList files;
        for (int i = 1; i <= pictures; ++i) {
            if (!absent.contains(i))
                files.append("probl" + test::pictureIndex(i) + ".jpg");
        }
        const IntegrityReport report = checkIntegrity(c, files);
        QStringList found;
        for (const IntegrityReport::Missing &m : report.missing)
            found.append(m.index + u'@' + QString::number(m.row));
        QCOMPARE(found, missing);
        QCOMPARE(report.problemCount, problems);
        QCOMPARE(report.chapterTotal, total);
        QCOMPARE(report.totalsAgree(), problems == total);
    }

    // Problems filed under chapters Caps.stn lacks (a catalogue of one set
    // beside chapters of another) are named, each once; totals that add up
    // do not make that sound.
    void chaptersTheCatalogueNamesMustExist()
    {
        Collection c;
        test::addChapter(c, "A", 4);
        for (const char *chapter : {"A", "Z", "Z", "Y"})
            test::addProblem(c, chapter, "00001");
        const IntegrityReport report = checkIntegrity(c, {});
        QCOMPARE(report.unknownChapters, QStringList({"Z", "Y"}));
        QVERIFY(!report.totalsAgree());
    }

    void missingPathLosesWhatFollowsANul()
    {
        for (const int at : {10, 0}) {
            Collection c;
            test::addProblem(c, "A", "00001");
            QByteArray path = c.ProblemTable[2].ImagePath.bytes();
            path[at] = '\0';
            c.ProblemTable[2].ImagePath.assign(path);
            QCOMPARE(checkIntegrity(c, {}).missing.size(), 1);
            QCOMPARE(c.ProblemTable[2].ImagePath.bytes(),
                     path.left(at) + QByteArray(250 - at, ' '));
        }
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
