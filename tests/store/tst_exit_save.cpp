// The exit save: chapters, catalogue and headers, each file replaced whole,
// nothing replaced when any of them cannot be written.
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;
using test::TempAppFolder;

namespace {

template <typename Record> Record recordOf(const QByteArray &file, int n)
{
    return RecordImage(file, Record::Size).record<Record>(n);
}

} // namespace

class TstExitSave : public QObject
{
    Q_OBJECT

private slots:
    void emptyRunWritesThreeHeaders()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        QVERIFY(files.saveAtExit(c).ok());
        QCOMPARE(dir.read(datafile::Chapters), QByteArray(204, '\0'));
        QCOMPARE(dir.read(datafile::Problems), QByteArray(458, '\0'));
        QCOMPARE(dir.read(datafile::Users), QByteArray("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
                                                       "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0",
                                                       30) +
                                                QByteArray::fromHex("0200") + QByteArray(10, '\0'));
        QVERIFY(!files.isOpen());
    }

    void deletedLastChapterLeavesStaleRecords()
    {
        TempAppFolder dir;
        Collection start;
        test::addChapter(start, "A");
        test::addChapter(start, "B");
        test::addChapter(start, "C");
        dir.writeCollection(start);

        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        c.ChapterCount = 2; // the last chapter deleted
        QVERIFY(files.saveAtExit(c).ok());

        const QByteArray caps = dir.read(datafile::Chapters);
        QCOMPARE(caps.size(), 4 * 204);
        QCOMPARE(recordOf<ChapterRecord>(caps, 1).ProblemTotal, 2);
        QCOMPARE(recordOf<ChapterRecord>(caps, 4).Name.trimmed(), QByteArray("C"));
        Collection next;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(next).ok());
        QCOMPARE(next.ChapterCount, 2);
        QCOMPARE(next.ChapterTable[4], ChapterRecord());
    }

    void onlyTheStoredFieldsAreWritten()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        test::addChapter(c, "Nou", 1);
        c.ChapterTable[2].DrawCount = 4; // a test definition's figure
        test::addProblem(c, "Nou", "00042", 3);
        c.ProblemTable[2].ChosenAnswer = 2;
        c.ProblemTable[2].Chapter.ProblemTotal = 9;
        c.ProblemTable[2].Chapter.DrawCount = 9;
        QVERIFY(files.saveAtExit(c).ok());

        const QByteArray caps = dir.read(datafile::Chapters);
        QCOMPARE(caps.size(), 2 * 204);
        const QByteArray chapter = caps.mid(204);
        QCOMPARE(chapter.left(3), QByteArray("Nou"));
        QCOMPARE(chapter.mid(100, 4), QByteArray::fromHex("0100 0000"));
        QCOMPARE(chapter.mid(104), QByteArray(100, '\0'));

        const QByteArray problem = dir.read(datafile::Problems).mid(458);
        QCOMPARE(problem.size(), 458);
        QCOMPARE(problem.mid(250, 3), QByteArray("Nou"));
        QCOMPARE(problem.mid(350, 104), QByteArray(104, '\0'));
        QCOMPARE(problem.mid(454, 4), QByteArray::fromHex("0300 0000"));
    }

    void resultsStayAsTheyWereWritten()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        const UserRecord r = test::result("Ana", 8, 3, {2026, 5, 5});
        QVERIFY(files.appendResult(c, r).ok());
        QVERIFY(files.saveAtExit(c).ok());
        const QByteArray users = dir.read(datafile::Users);
        QCOMPARE(users.size(), 2 * 42);
        QCOMPARE(recordOf<UserRecord>(users, 1).Grade, 3);
        QCOMPARE(recordOf<UserRecord>(users, 2), r);
    }

    void failedSaveReportsAndKeepsEveryFile()
    {
        TempAppFolder dir;
        Collection start;
        test::addChapter(start, "A", 1);
        test::addProblem(start, "A", "00001");
        dir.writeCollection(start);
        const QByteArray caps = dir.read(datafile::Chapters);
        const QByteArray problems = dir.read(datafile::Problems);
        const QByteArray users = dir.read(datafile::Users);

        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        for (int i = 0; i < 40; ++i)
            test::addProblem(c, "A", test::pictureIndex(i + 2));
        c.ChapterTable[2].ProblemTotal = 41;
        {
            // Room for the chapters, not for the grown catalogue.
            test::FileSizeLimit full(4096);
            const StoreResult result = files.saveAtExit(c);
            QCOMPARE(result.error, StoreError::CannotWrite);
            QCOMPARE(result.fileName, datafile::Problems);
        }
        QCOMPARE(dir.read(datafile::Chapters), caps); // not replaced alone
        QCOMPARE(dir.read(datafile::Problems), problems);
        QCOMPARE(dir.read(datafile::Users), users);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3); // no leftovers
        QVERIFY(files.isOpen()); // the program stays and can try again

        QVERIFY(files.saveAtExit(c).ok());
        Collection next;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(next).ok());
        QCOMPARE(next.ProblemCount, 41);
        QCOMPARE(next.ChapterTable[2].ProblemTotal, 41);
    }
};

QTEST_GUILESS_MAIN(TstExitSave)
#include "tst_exit_save.moc"
