// Backup of the data files into the folder "backup".
#include "store/backup.h"
#include "store/collection_io.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;

namespace {

// A folder of one chapter of 30 problems and a result, its files open.
struct Opened
{
    test::TempAppFolder dir;
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
    BackupReport backup() { return backupDataFiles(files, AppFolder(dir.path())); }
    QStringList copies(const QString &folder) const
    {
        return QDir(dir.filePath(folder))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    }
};

} // namespace

class TstBackup : public QObject
{
    Q_OBJECT

private slots:
    // The copies replace older ones, in a folder "backup" made when missing
    // and under the spelling found when there is one.
    void copiesReplaceTheOlderOnes_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("names"); // of the copies, old or new
        QTest::newRow("no folder yet") << "backup" << QStringList{};
        QTest::newRow("another spelling") << "Backup" << QStringList{"USERS.STN"};
    }
    void copiesReplaceTheOlderOnes()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, names);
        Opened o;
        for (const QString &name : names)
            o.dir.write(folder + u'/' + name, "old");
        test::addChapter(o.collection, "Nou"); // reaches the disk only at exit
        const BackupReport report = o.backup();
        QVERIFY(report.copiedAll());
        QVERIFY(report.notReopened.isEmpty());
        QStringList expected{"caps.stn", "problems.stn", "users.stn"};
        if (!names.isEmpty() && names.size() < 3)
            expected.replace(2, names[0]);
        QCOMPARE(o.copies(folder), expected);
        QCOMPARE(o.dir.read(folder + "/" + expected[2]), o.dir.read(datafile::Users));
        QCOMPARE(o.dir.read(folder + "/caps.stn"), o.dir.read(datafile::Chapters));
        QCOMPARE(o.dir.read(folder + "/problems.stn"), o.dir.read(datafile::Problems));
        QCOMPARE(QDir(o.dir.path()).entryList({"backup"}, QDir::Dirs, QDir::IgnoreCase),
                 QStringList{folder});

        // The files are open again: a result corrected now is stored.
        QVERIFY(o.files.appendResult(o.collection, test::result("Ion", 7, 0, {2026, 3, 3})).ok());
        QCOMPARE(RecordImage(o.dir.read(datafile::Users), UserRecord::Size)
                     .record<UserRecord>(3)
                     .Name.trimmed(),
                 QByteArray("Ion"));
    }

    void everyDataFileThatVanishedIsReported()
    {
        Opened o;
        for (const QString &name : {datafile::Users, datafile::Problems}) {
            QFile::remove(o.dir.filePath(name));
            QDir(o.dir.path()).mkdir(name); // cannot be copied nor opened again
        }
        const BackupReport report = o.backup();
        QCOMPARE(report.failedCopies, QStringList({"users.stn", "problems.stn"}));
        QCOMPARE(report.notReopened, QStringList({datafile::Users, datafile::Problems}));
        QVERIFY(!o.files.appendResult(o.collection, UserRecord()).ok());
        // Each is tried again by the next write, once it can be opened.
        QDir(o.dir.path()).rmdir(datafile::Users);
        QVERIFY(o.files.appendResult(o.collection, UserRecord()).ok());
    }
};

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
