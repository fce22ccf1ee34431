// The exit save: chapters, catalogue and headers replaced whole and as one
// set, nothing replaced when any of them cannot be written; a set left half
// in place is finished by the next start-up or the next write.
#include "store/backup.h"
#include "store/collection_io.h"
#include "store/commit_record.h"
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

const QStringList kDataFiles{datafile::Chapters, datafile::Problems, datafile::Users};

// The three data files, as bytes.
QList<QByteArray> dataFiles(const TempAppFolder &dir)
{
    QList<QByteArray> files;
    for (const QString &name : kDataFiles)
        files.append(dir.read(name));
    return files;
}

// The files of the folder that are not the data files.
QStringList otherFiles(const TempAppFolder &dir)
{
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : kDataFiles)
        names.removeOne(name);
    return names;
}

Collection twoChapters()
{
    Collection c;
    test::addChapter(c, "A", 1);
    test::addChapter(c, "B", 0);
    test::addProblem(c, "A", "00001");
    return c;
}

// A collection of one chapter and one problem on disk, plus the edit of it
// that a save writes; `expect` the data files after the save.
struct Edited
{
    TempAppFolder dir;
    DataFiles files{AppFolder(dir.path())};
    Collection c;
    QList<QByteArray> before;

    Edited()
    {
        Collection start;
        test::addChapter(start, "A", 1);
        test::addProblem(start, "A", "00001");
        dir.writeCollection(start);
        dir.write(datafile::Users, userHeader(0)); // an empty log, whose header becomes 2
        before = dataFiles(dir);
        if (!files.openAndLoad(c).ok())
            qFatal("cannot open");
        test::addChapter(c, "B", 1);
        test::addProblem(c, "B", "00002");
    }
    QList<QByteArray> expect() const
    {
        return {chaptersFileForExit(before[0], c), problemsFileForExit(before[1], c),
                usersFileWithHeader(before[2], c.NextUserRecord)};
    }
};

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

    // What a save cut short leaves (new files beside the old ones, a commit
    // record naming them or not) and what the next start-up makes of it.
    void interruptedSaveIsFinishedOrUndone_data()
    {
        QTest::addColumn<int>("renamedAlready"); // of the three files, in order
        QTest::addColumn<QString>("record");     // "complete", "cut", "foreign", "twice", "none"
        QTest::addColumn<bool>("allNew");
        QTest::newRow("recorded, nothing renamed") << 0 << "complete" << true;
        QTest::newRow("recorded, the chapters renamed") << 1 << "complete" << true;
        QTest::newRow("recorded, all renamed") << 3 << "complete" << true;
        QTest::newRow("new files, no record") << 0 << "none" << false;
        QTest::newRow("record cut short") << 0 << "cut" << false;
        QTest::newRow("record naming another file") << 0 << "foreign" << false;
        QTest::newRow("record naming a file twice") << 0 << "twice" << false;
    }
    void interruptedSaveIsFinishedOrUndone()
    {
        QFETCH(int, renamedAlready);
        QFETCH(QString, record);
        QFETCH(bool, allNew);
        TempAppFolder dir;
        dir.writeCollection(Collection());
        dir.write(datafile::Users, {});
        const QList<QByteArray> before = dataFiles(dir);
        const Collection c = twoChapters();
        const QList<QByteArray> after{chaptersFileForExit({}, c), problemsFileForExit({}, c),
                                      usersFileWithHeader({}, 2)};
        dir.write("Caps.stn.copie1", "the teacher's copy");

        std::vector<commitrecord::Entry> entries;
        for (int i = 0; i < 3; ++i) {
            const QString fresh = QStringLiteral(".culegere.new-00000000000%1").arg(i);
            entries.push_back({fresh, kDataFiles[i]});
            dir.write(i < renamedAlready ? kDataFiles[i] : fresh, after[i]);
        }
        if (record == "foreign")
            entries[0].target = "Caps.stn.copie1";
        if (record == "twice")
            entries[1].target = "caps.STN";
        QByteArray bytes = commitrecord::encode(entries);
        if (record == "cut")
            bytes.chop(5);
        if (record != "none")
            dir.write(commitrecord::FileName, bytes);

        Collection loaded;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(loaded).ok());
        QCOMPARE(dataFiles(dir), allNew ? after : before);
        QCOMPARE(loaded.ChapterCount, allNew ? 2 : 0);
        QCOMPARE(otherFiles(dir), QStringList{"Caps.stn.copie1"});
        QCOMPARE(dir.read("Caps.stn.copie1"), QByteArray("the teacher's copy"));
    }

    // A rename that fails once the set is recorded (here the catalogue's
    // name is taken by a folder): the set stands, and whichever comes next
    // puts the rest of it in place before it writes.
    void setHalfInPlaceIsFinishedByWhatComesNext_data()
    {
        QTest::addColumn<QString>("next");
        QTest::newRow("the next start-up") << "start-up";
        QTest::newRow("the next exit") << "exit";
        QTest::newRow("a result") << "result";
        QTest::newRow("a backup") << "backup";
    }
    void setHalfInPlaceIsFinishedByWhatComesNext()
    {
        QFETCH(QString, next);
        Edited e;
        QFile::remove(e.dir.filePath(datafile::Problems));
        e.dir.write("Problems.stn/in-the-way", "");
        const StoreResult result = e.files.saveAtExit(e.c);
        QCOMPARE(result.error, StoreError::SaveNotFinished);
        QCOMPARE(result.fileName, datafile::Problems);
        QCOMPARE(e.dir.read(datafile::Chapters), e.expect()[0]); // the rest is in place
        QVERIFY(e.dir.exists(commitrecord::FileName));

        QDir(e.dir.filePath(datafile::Problems)).removeRecursively();
        const UserRecord r = test::result("Ion", 9, 4, {2026, 5, 6});
        if (next == "start-up") {
            Collection loaded;
            QVERIFY(DataFiles(AppFolder(e.dir.path())).openAndLoad(loaded).ok());
            QCOMPARE(loaded.ProblemCount, 2);
        } else if (next == "exit") {
            QVERIFY(e.files.saveAtExit(e.c).ok());
        } else if (next == "result") {
            QVERIFY(e.files.appendResult(e.c, r).ok());
        } else {
            QVERIFY(backupDataFiles(e.files, AppFolder(e.dir.path())).copiedAll());
            QCOMPARE(e.dir.read("backup/problems.stn"), e.expect()[1]);
        }
        QList<QByteArray> expected = e.expect();
        if (next == "result")
            expected[2] = usersFileWithResult(expected[2], 2, r, 3);
        QCOMPARE(dataFiles(e.dir), expected);
        QCOMPARE(otherFiles(e.dir), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstExitSave)
#include "tst_exit_save.moc"
