// Backup of the data files into the folder "backup".
#include "store/backup.h"
#include "store/collection_io.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;
using test::TempAppFolder;

namespace {

struct Opened
{
    TempAppFolder dir;
    DataFiles files{AppFolder(dir.path())};
    Collection collection;

    Opened()
    {
        Collection c;
        test::addChapter(c, "Ecuatii", 30);
        for (int i = 0; i < 30; ++i)
            test::addProblem(c, "Ecuatii", QString::number(10000 + i));
        c.UserTable[2] = test::result("Ana", 9, 1, {2026, 2, 2});
        c.NextUserRecord = 3;
        dir.writeCollection(c);
        if (!files.openAndLoad(collection).ok())
            qFatal("cannot open");
    }
    void expectCopies() const
    {
        QCOMPARE(dir.read("backup/users.stn"), dir.read(datafile::Users));
        QCOMPARE(dir.read("backup/caps.stn"), dir.read(datafile::Chapters));
        QCOMPARE(dir.read("backup/problems.stn"), dir.read(datafile::Problems));
    }
};

} // namespace

class TstBackup : public QObject
{
    Q_OBJECT

private slots:
    void olderCopiesAreReplaced()
    {
        Opened o;
        o.dir.write("backup/users.stn", "old");
        o.dir.write("backup/caps.stn", "old");
        o.dir.write("backup/problems.stn", "old");
        const BackupReport report = backupDataFiles(o.files, AppFolder(o.dir.path()));
        QVERIFY(report.copiedAll());
        QVERIFY(report.notReopened.isEmpty());
        o.expectCopies();
        QCOMPARE(QDir(o.dir.filePath("backup")).entryList(QDir::Files).size(), 3);
    }

    void missingFolderIsCreated()
    {
        Opened o;
        QVERIFY(!o.dir.exists("backup"));
        QVERIFY(backupDataFiles(o.files, AppFolder(o.dir.path())).copiedAll());
        o.expectCopies();
    }

    void copiesWhatIsOnDiskAndKeepsWorking()
    {
        Opened o;
        test::addChapter(o.collection, "Nou"); // reaches the disk only at exit
        QVERIFY(backupDataFiles(o.files, AppFolder(o.dir.path())).copiedAll());
        QCOMPARE(RecordImage(o.dir.read("backup/caps.stn"), ChapterRecord::Size)
                     .record<ChapterRecord>(1)
                     .ProblemTotal,
                 1);

        // The files are open again: a result corrected now is stored.
        QVERIFY(o.files.appendResult(o.collection, test::result("Ion", 7, 0, {2026, 3, 3})).ok());
        QCOMPARE(RecordImage(o.dir.read(datafile::Users), UserRecord::Size)
                     .record<UserRecord>(3)
                     .Name.trimmed(),
                 QByteArray("Ion"));
    }

    void failedCopyKeepsTheOldOne()
    {
        Opened o;
        o.dir.write("backup/problems.stn", "old problems");
        o.dir.write("backup/caps.stn", "old caps");
        BackupReport report;
        {
            // Room for the small files, not for the catalogue.
            test::FileSizeLimit full(1024);
            report = backupDataFiles(o.files, AppFolder(o.dir.path()));
        }
        QCOMPARE(report.failedCopies, QStringList{"problems.stn"});
        QVERIFY(report.notReopened.isEmpty());
        QCOMPARE(o.dir.read("backup/problems.stn"), QByteArray("old problems"));
        QCOMPARE(o.dir.read("backup/caps.stn"), o.dir.read(datafile::Chapters));
        QCOMPARE(QDir(o.dir.filePath("backup")).entryList(QDir::Files).size(), 3); // no leftovers
    }

    void everyDataFileThatVanishedIsReported()
    {
        Opened o;
        for (const QString &name : {datafile::Users, datafile::Problems}) {
            QFile::remove(o.dir.filePath(name));
            QDir(o.dir.path()).mkdir(name); // cannot be copied nor opened again
        }
        const BackupReport report = backupDataFiles(o.files, AppFolder(o.dir.path()));
        QCOMPARE(report.failedCopies, QStringList({"users.stn", "problems.stn"}));
        QCOMPARE(report.notReopened, QStringList({datafile::Users, datafile::Problems}));
        QVERIFY(!o.files.appendResult(o.collection, UserRecord()).ok());
        // Each is tried again by the next write, once it can be opened.
        QDir(o.dir.path()).rmdir(datafile::Users);
        QVERIFY(o.files.appendResult(o.collection, UserRecord()).ok());
    }

    void copiesKeepTheSpellingFound()
    {
        Opened o;
        o.dir.write("Backup/USERS.STN", "old");
        QVERIFY(backupDataFiles(o.files, AppFolder(o.dir.path())).copiedAll());
        QCOMPARE(o.dir.read("Backup/USERS.STN"), o.dir.read(datafile::Users));
        QVERIFY(!o.dir.exists("backup"));
    }
};

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
