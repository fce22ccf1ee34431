// The exit save: chapters, catalogue and headers replaced whole and as one
// set, nothing replaced when any of them cannot be written; a set left half
// in place is finished by the next start-up or the next write.
#include "store/backup.h"
#include "store/collection_io.h"
#include "store/commit_record.h"
#include "store/data_files.h"
#include "support/driver.h"
#include "support/file_size_limit.h"
#include "support/immutable_file.h"

#include <QtTest>

using namespace culegere;
using test::TempAppFolder;

namespace {

// The three files an exit writes for chapters A (one problem) and B (none).
QList<QByteArray> exitFilesOfTwoChapters()
{
    Collection c;
    test::addChapter(c, "A", 1);
    test::addChapter(c, "B", 0);
    test::addProblem(c, "A", "00001");
    return {chaptersFileForExit({}, c), problemsFileForExit({}, c), usersFileWithHeader({}, 2)};
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
    // The exit writes the headers and the kept fields of the rows in use,
    // byte for byte, keeps the results logged since (an empty log counts
    // from 2) and leaves the records past the rows in use as they were: a
    // deleted last chapter stays in the file, past its count.
    void exitWritesTheRowsInUse()
    {
        TempAppFolder dir;
        Collection start;
        for (const char *name : {"A", "B", "C"})
            test::addChapter(start, name);
        dir.writeCollection(start);
        dir.write(datafile::Users, {});
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        const UserRecord r = test::result("Ana", 8, 3, {2026, 5, 5});
        QVERIFY(files.appendResult(c, r).ok());
        c.ChapterCount = 2; // the last chapter deleted
        c.ChapterTable[2].Name.assign("Nou");
        c.ChapterTable[2].ProblemTotal = 1;
        c.ChapterTable[2].DrawCount = 4; // a test definition's figure
        test::addProblem(c, "Nou", "00042", 3);
        c.ProblemTable[2].ChosenAnswer = 2;
        c.ProblemTable[2].Chapter.ProblemTotal = 9;
        c.ProblemTable[2].Chapter.DrawCount = 9;
        QVERIFY(files.saveAtExit(c).ok());
        QVERIFY(!files.isOpen());

        QCOMPARE(dir.read(datafile::Users),
                 QByteArray(30, '\0') + "\x03" + QByteArray(11, '\0') + r.encoded());
        const QByteArray caps = dir.read(datafile::Chapters);
        QCOMPARE(caps.size(), 4 * 204);
        QCOMPARE(caps.left(204), QByteArray(100, '\0') + "\x02" + QByteArray(103, '\0'));
        QCOMPARE(caps.mid(204, 204), "Nou" + QByteArray(97, ' ') + QByteArray::fromHex("01000000") +
                                         QByteArray(100, '\0'));
        QCOMPARE(caps.mid(3 * 204, 4), QByteArray("C   "));
        QCOMPARE(dir.read(datafile::Problems).left(458), problemHeader(1));
        const QByteArray problem = dir.read(datafile::Problems).mid(458);
        QCOMPARE(problem.size(), 458);
        QCOMPARE(problem.mid(250, 3), QByteArray("Nou"));
        QCOMPARE(problem.mid(350, 104), QByteArray(104, '\0'));
        QCOMPARE(problem.mid(454, 4), QByteArray::fromHex("0300 0000"));
        const std::optional<Collection> next = test::collectionOnDisk(dir.path());
        QCOMPARE(next->ChapterCount, 2);
        QCOMPARE(next->ChapterTable[4], ChapterRecord());
    }

    void failedSaveReportsAndKeepsEveryFile()
    {
        Edited e;
        for (int i = 0; i < 40; ++i)
            test::addProblem(e.c, "B", test::pictureIndex(i + 3));
        e.c.ChapterTable[3].ProblemTotal = 41;
        {
            // Room for the chapters, not for the grown catalogue.
            test::FileSizeLimit full(4096);
            const StoreResult result = e.files.saveAtExit(e.c);
            QCOMPARE(result.error, StoreError::CannotWrite);
            QCOMPARE(result.fileName, datafile::Problems);
        }
        QCOMPARE(dataFiles(e.dir), e.before); // the chapters not replaced alone
        QCOMPARE(otherFiles(e.dir), QStringList());
        QVERIFY(e.files.isOpen()); // the program stays and can try again
        QVERIFY(e.files.saveAtExit(e.c).ok());
        QCOMPARE(dataFiles(e.dir), e.expect());
    }

    // New files beside the old ones and a commit record cut short or naming
    // files no save names (the crash tests make the records a save writes):
    // the next start-up undoes the save and keeps every other file.
    void recordNoSaveWritesIsUndone_data()
    {
        QTest::addColumn<QString>("record");
        QTest::newRow("record cut short") << "cut";
        QTest::newRow("record naming another file") << "foreign";
        QTest::newRow("record naming a file twice") << "twice";
    }
    void recordNoSaveWritesIsUndone()
    {
        QFETCH(QString, record);
        TempAppFolder dir;
        dir.writeCollection(Collection());
        dir.write(datafile::Users, {});
        const QList<QByteArray> before = dataFiles(dir);
        const QList<QByteArray> after = exitFilesOfTwoChapters();
        dir.write("Caps.stn.copie1", "the teacher's copy");

        std::vector<commitrecord::Entry> entries;
        for (int i = 0; i < 3; ++i) {
            const QString fresh = QStringLiteral(".culegere.new-00000000000%1").arg(i);
            entries.push_back({fresh, kDataFiles[i]});
            dir.write(fresh, after[i]);
        }
        if (record == "foreign")
            entries[0].target = "Caps.stn.copie1";
        if (record == "twice")
            entries[1].target = "caps.STN";
        QByteArray bytes = commitrecord::encode(entries);
        if (record == "cut")
            bytes.chop(5);
        dir.write(commitrecord::FileName, bytes);

        Collection loaded;
        QVERIFY(DataFiles(AppFolder(dir.path())).openAndLoad(loaded).ok());
        QCOMPARE(dataFiles(dir), before);
        QCOMPARE(loaded.ChapterCount, 0);
        QCOMPARE(otherFiles(dir), QStringList{"Caps.stn.copie1"});
        QCOMPARE(dir.read("Caps.stn.copie1"), QByteArray("the teacher's copy"));
    }

    // A record damaged on the disk after k renames, cut at every length: the
    // next start-up never loads a mixed set. Nothing renamed: all old; some
    // renamed: the rest put in place by the lines left or by each new file's
    // shape; a new file of no data file's shape: refused, nothing touched.
    void tornRecordNeverLoadsAMixedSet()
    {
        const QList<QByteArray> after = exitFilesOfTwoChapters();
        std::vector<commitrecord::Entry> entries;
        for (int i = 0; i < 3; ++i)
            entries.push_back({".culegere.new-00000000000" + QString::number(i), kDataFiles[i]});
        const QByteArray record = commitrecord::encode(entries);
        auto many = std::make_unique<Collection>(); // a count past one byte
        for (int i = 0; i < 300; ++i)
            test::addProblem(*many, "A", test::pictureIndex(i + 1));
        QCOMPARE(commitrecord::dataFileShapedAs(problemsFileForExit({}, *many)),
                 datafile::Problems);
        for (int renamed = 0; renamed <= 3; ++renamed) {
            for (qsizetype length = 0; length <= record.size(); ++length) {
                TempAppFolder dir;
                dir.writeCollection(Collection());
                const QList<QByteArray> before = dataFiles(dir);
                const bool shapeless = renamed == 1 && length == 0;
                for (int i = 0; i < 3; ++i)
                    dir.write(i < renamed ? kDataFiles[i] : entries[i].newFile,
                              shapeless && i == 2 ? "no data file" : after[i]);
                dir.write(commitrecord::FileName, record.left(length));
                const test::FolderBytes left = test::folderBytes(dir.path());
                Collection loaded;
                const StoreResult result = DataFiles(AppFolder(dir.path())).openAndLoad(loaded);
                const QString where =
                    QStringLiteral("%1 renamed, %2 bytes").arg(renamed).arg(length);
                if (shapeless) {
                    QCOMPARE(result.error, StoreError::SetMixed);
                    QCOMPARE(result.fileName, datafile::Chapters);
                    QCOMPARE(test::folderBytes(dir.path()), left);
                    continue;
                }
                QVERIFY2(result.ok(), qPrintable(where));
                QVERIFY2(dataFiles(dir) ==
                             (renamed == 0 && length < record.size() ? before : after),
                         qPrintable(where));
                QCOMPARE(otherFiles(dir), QStringList());
            }
        }
    }

    // An exit whose earlier set cannot be put in place (Caps.stn refuses to
    // be replaced) writes its own set over the earlier one: the newest edits
    // are the ones on the disk, once the file can be replaced again. The
    // pictures of deleted problems go only once the set that drops them is
    // there.
    void laterExitReplacesAnUnfinishedSave()
    {
        Edited e;
        e.dir.addPicture("00001", {8, 8});
        test::ImmutableFile stuck(e.dir.filePath(datafile::Chapters));
        if (!stuck.held())
            QSKIP("the file system cannot make a file immutable here");
        e.c.PicturesToRemove = {e.dir.filePath("probleme/probl00001.jpg")};
        e.c.ProblemCount = 1; // 00001 goes; 00002 of B takes its row
        e.c.ProblemTable[2] = e.c.ProblemTable[3];
        e.c.ChapterTable[2].ProblemTotal = 0;
        QCOMPARE(e.files.saveAtExit(e.c).error, StoreError::SaveNotFinished);
        QVERIFY(!e.dir.exists("probleme/probl00001.jpg"));
        test::addChapter(e.c, "C", 0);
        const StoreResult second = e.files.saveAtExit(e.c);
        QCOMPARE(second.error, StoreError::SaveNotFinished);
        QCOMPARE(second.fileName, datafile::Chapters);
        QCOMPARE(otherFiles(e.dir).size(), 2); // one new file and the record, of the second set
        stuck.release();
        Collection next;
        QVERIFY(DataFiles(AppFolder(e.dir.path())).openAndLoad(next).ok());
        QCOMPARE(chapterNames(next), QStringList({"A", "B", "C"}));
        QCOMPARE(dataFiles(e.dir), e.expect());
    }

    // A rename that fails once the set is recorded (here the catalogue
    // refuses to be replaced): the set stands, and whichever comes next puts
    // the rest of it in place before it writes.
    void setHalfInPlaceIsFinishedByWhatComesNext_data()
    {
        QTest::addColumn<QString>("next");
        QTest::newRow("the next exit") << "exit";
        QTest::newRow("a result") << "result";
        QTest::newRow("a backup") << "backup";
    }
    void setHalfInPlaceIsFinishedByWhatComesNext()
    {
        QFETCH(QString, next);
        Edited e;
        test::ImmutableFile stuck(e.dir.filePath(datafile::Problems));
        if (!stuck.held())
            QSKIP("the file system cannot make a file immutable here");
        const StoreResult result = e.files.saveAtExit(e.c);
        QCOMPARE(result.error, StoreError::SaveNotFinished);
        QCOMPARE(result.fileName, datafile::Problems);
        QCOMPARE(e.dir.read(datafile::Chapters), e.expect()[0]); // the rest is in place
        QVERIFY(e.dir.exists(commitrecord::FileName));

        stuck.release();
        const UserRecord r = test::result("Ion", 9, 4, {2026, 5, 6});
        if (next == "exit") {
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
