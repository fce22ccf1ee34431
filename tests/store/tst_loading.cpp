// Loading the three data files at start-up, and refusing files that would not
// fit the tables without changing any file.
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;
using test::TempAppFolder;

namespace {

QByteArray userFile(qint16 header, const QList<UserRecord> &records)
{
    QByteArray bytes = userHeader(header);
    for (const UserRecord &r : records)
        bytes += r.encoded();
    return bytes;
}

struct Folder
{
    TempAppFolder dir;
    QByteArray users, caps, problems;
    void snapshot()
    {
        users = dir.read(datafile::Users);
        caps = dir.read(datafile::Chapters);
        problems = dir.read(datafile::Problems);
    }
};

} // namespace

class TstLoading : public QObject
{
    Q_OBJECT

private slots:
    void emptyFolderCreatesThreeEmptyFiles()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        for (const QString &name : {datafile::Users, datafile::Chapters, datafile::Problems}) {
            QVERIFY2(dir.exists(name), qPrintable(name));
            QCOMPARE(dir.read(name).size(), 0);
        }
        QCOMPARE(c.ChapterCount, 0);
        QCOMPARE(c.ProblemCount, 0);
        QCOMPARE(c.NextUserRecord, 2);
    }

    void lowUserHeaderStartsTheLogAtTwo_data()
    {
        QTest::addColumn<qint16>("header");
        QTest::newRow("1") << qint16(1);
        QTest::newRow("0") << qint16(0);
        QTest::newRow("negative") << qint16(-7);
    }
    void lowUserHeaderStartsTheLogAtTwo()
    {
        QFETCH(qint16, header);
        TempAppFolder dir;
        dir.write(datafile::Users, userFile(header, {test::result("A", 5, 0, {2026, 1, 1})}));
        Collection c;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(c).ok());
        QCOMPARE(c.NextUserRecord, 2);
        QCOMPARE(c.UserTable[2], UserRecord()); // the record is not read
    }

    void userHeaderFiveReadsRowsTwoToFive()
    {
        TempAppFolder dir;
        const QList<UserRecord> results = {test::result("Ana", 9, 10, {2026, 3, 1}),
                                           test::result("Bogdan", 4, 0, {2026, 3, 2}),
                                           test::result("Ion", 10, 77, {2026, 3, 3})};
        dir.write(datafile::Users, userFile(5, results));
        Collection c;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(c).ok());
        QCOMPARE(c.NextUserRecord, 5);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(c.UserTable[2 + i], results[i]);
        QCOMPARE(c.UserTable[5], UserRecord()); // past the end of the file
    }

    void chaptersAndProblemsTransferTheirFields()
    {
        TempAppFolder dir;
        ChapterRecord chapter;
        chapter.Name.assign("  Geometrie ");
        chapter.ProblemTotal = 1;
        chapter.DrawCount = 5;        // not the file's to say
        chapter.Reserved.assign("x"); // never loaded
        ProblemRecord problem;
        problem.ImagePath.assign("C:\\A\\Probleme\\probl00001.jpg");
        problem.Chapter.Name.assign("  Geometrie ");
        problem.Chapter.ProblemTotal = 9;
        problem.CorrectAnswer = 3;
        problem.ChosenAnswer = 2;
        dir.write(datafile::Chapters, chapterHeader(1) + chapter.encoded());
        dir.write(datafile::Problems, problemHeader(1) + problem.encoded());

        Collection c;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(c).ok());
        QCOMPARE(c.ChapterCount, 1);
        QCOMPARE(c.ChapterTable[2].Name, chapter.Name);
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 1);
        QCOMPARE(c.ChapterTable[2].DrawCount, 0);
        QCOMPARE(c.ChapterTable[2].Reserved, FixedText<100>());
        QCOMPARE(c.ProblemCount, 1);
        QCOMPARE(c.ProblemTable[2].ImagePath, problem.ImagePath);
        QCOMPARE(c.ProblemTable[2].Chapter.Name, problem.Chapter.Name);
        QCOMPARE(c.ProblemTable[2].CorrectAnswer, 3);
        QCOMPARE(c.ProblemTable[2].ChosenAnswer, 0);
        QCOMPARE(c.ProblemTable[2].Chapter.ProblemTotal, 0);
    }

    void chapterHeaderZeroReadsNoChapter()
    {
        TempAppFolder dir;
        ChapterRecord stale;
        stale.Name.assign("Vechi");
        dir.write(datafile::Chapters, chapterHeader(0) + stale.encoded());
        Collection c;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(c).ok());
        QCOMPARE(c.ChapterCount, 0);
        QCOMPARE(c.ChapterTable[2], ChapterRecord());
    }

    void namesInAnotherLetterCaseAreTheSameFiles()
    {
        TempAppFolder dir;
        dir.write("CAPS.STN", chapterHeader(1) + ChapterRecord().encoded());
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        QCOMPARE(c.ChapterCount, 1);
        QVERIFY(!dir.exists(datafile::Chapters));
        QCOMPARE(files.chaptersPath(), dir.filePath("CAPS.STN"));
    }

    void refusedHeadersChangeNoFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("error");
        QTest::newRow("101 results")
            << datafile::Users << userHeader(101) << int(StoreError::HeaderTooLarge);
        QTest::newRow("50 chapters")
            << datafile::Chapters << chapterHeader(50) << int(StoreError::HeaderTooLarge);
        QTest::newRow("7000 problems")
            << datafile::Problems << problemHeader(7000) << int(StoreError::HeaderTooLarge);
        QTest::newRow("negative chapters")
            << datafile::Chapters << chapterHeader(-1) << int(StoreError::HeaderNegative);
        QTest::newRow("negative problems")
            << datafile::Problems << problemHeader(-300) << int(StoreError::HeaderNegative);
    }
    void refusedHeadersChangeNoFile()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(int, error);
        Folder folder;
        folder.dir.write(file, content);
        DataFiles files{AppFolder(folder.dir.path())};
        Collection c;
        c.ChapterCount = 3; // must stay untouched
        const StoreResult result = files.openAndLoad(c);
        QCOMPARE(int(result.error), error);
        QCOMPARE(result.fileName, file);
        QCOMPARE(c.ChapterCount, 3);
        QVERIFY(!files.isOpen());
        QCOMPARE(folder.dir.read(file), content);
        // The files that were missing are not created by a refused start.
        QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files), QStringList{file});
    }

    void fileThatCannotBeOpenedIsNamed()
    {
        TempAppFolder dir;
        QDir(dir.path()).mkdir(datafile::Problems); // a folder where the file should be
        Collection c;
        const StoreResult result = DataFiles(AppFolder(dir.path())).openAndLoad(c);
        QCOMPARE(result.error, StoreError::CannotOpen);
        QCOMPARE(result.fileName, datafile::Problems);
        QVERIFY(!dir.exists(datafile::Users));
    }
};

QTEST_GUILESS_MAIN(TstLoading)
#include "tst_loading.moc"
