// Appending results to the log: the record and its header at once, the roll
// of a full log, and a file that follows the table.
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;
using test::TempAppFolder;

namespace {

UserRecord nth(int i)
{
    return test::result("Elev " + QByteArray::number(i), qint16(1 + i % 10), qint16(i),
                        QDate(2026, 1, 1).addDays(i));
}

UserRecord recordOnDisk(const QByteArray &file, int n)
{
    return RecordImage(file, UserRecord::Size).record<UserRecord>(n);
}

Collection reload(const TempAppFolder &dir)
{
    Collection c;
    if (!DataFiles(AppFolder(dir.path())).openAndLoad(c).ok())
        qFatal("reload failed");
    return c;
}

} // namespace

class TstResultLog : public QObject
{
    Q_OBJECT

private slots:
    void resultAndHeaderReachTheDiskAtOnce()
    {
        TempAppFolder dir;
        Collection start;
        start.NextUserRecord = 7;
        dir.writeCollection(start);
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        QCOMPARE(c.NextUserRecord, 7);

        const UserRecord r = test::result("NoName", 7, 118, {2026, 12, 4});
        QVERIFY(files.appendResult(c, r).ok());
        QCOMPARE(c.NextUserRecord, 8);
        QCOMPARE(c.UserTable[7], r);
        const QByteArray disk = dir.read(datafile::Users);
        QCOMPARE(recordOnDisk(disk, 7), r);
        QCOMPARE(recordOnDisk(disk, 1).Grade, 8); // no exit needed to keep it
        QCOMPARE(reload(dir).UserTable[7], r);
    }

    void theLogRollsAndTheFileFollows()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        for (int i = 1; i <= 98; ++i)
            QVERIFY(files.appendResult(c, nth(i)).ok());
        QCOMPARE(c.NextUserRecord, 100);
        QCOMPARE(recordOnDisk(dir.read(datafile::Users), 99), nth(98));

        // The 99th result lands on record 100 and the log drops the oldest.
        QVERIFY(files.appendResult(c, nth(99)).ok());
        QCOMPARE(c.NextUserRecord, 100);
        QByteArray disk = dir.read(datafile::Users);
        QCOMPARE(recordOnDisk(disk, 1).Grade, 100);
        QCOMPARE(recordOnDisk(disk, 100), nth(99));
        for (int k = 2; k <= 99; ++k) {
            QCOMPARE(c.UserTable[k], nth(k));
            QCOMPARE(recordOnDisk(disk, k), nth(k));
        }

        // The 100th writes record 100 again and rolls again.
        QVERIFY(files.appendResult(c, nth(100)).ok());
        QCOMPARE(c.NextUserRecord, 100);
        disk = dir.read(datafile::Users);
        QCOMPARE(recordOnDisk(disk, 100), nth(100));
        for (int k = 2; k <= 99; ++k)
            QCOMPARE(c.UserTable[k], nth(k + 1));

        // A restart shows the latest 98 results, and the next one still lands.
        files.close();
        Collection restarted = reload(dir);
        QCOMPARE(restarted.NextUserRecord, 100);
        for (int k = 2; k <= 99; ++k)
            QCOMPARE(restarted.UserTable[k], c.UserTable[k]);
    }

    void appendAfterRollKeepsAppending()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        for (int i = 1; i <= 105; ++i)
            QVERIFY(files.appendResult(c, nth(i)).ok());
        // Rows 2..99 hold results 8..105.
        QCOMPARE(c.UserTable[2], nth(8));
        QCOMPARE(c.UserTable[99], nth(105));
        QCOMPARE(recordOnDisk(dir.read(datafile::Users), 2), nth(8));
    }

    void failedWriteChangesNothing_data()
    {
        QTest::addColumn<int>("already");
        QTest::newRow("plain append") << 3;
        QTest::newRow("append that rolls") << 98;
    }
    void failedWriteChangesNothing()
    {
        QFETCH(int, already);
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        for (int i = 1; i <= already; ++i)
            QVERIFY(files.appendResult(c, nth(i)).ok());
        const QByteArray before = dir.read(datafile::Users);
        const qint16 next = c.NextUserRecord;
        {
            test::FileSizeLimit full(before.size());
            const StoreResult result = files.appendResult(c, nth(already + 1));
            QCOMPARE(result.error, StoreError::CannotWrite);
            QCOMPARE(result.fileName, datafile::Users);
        }
        QCOMPARE(c.NextUserRecord, next);
        QCOMPARE(c.UserTable[next], UserRecord());
        QCOMPARE(reload(dir).NextUserRecord, next);
        // Once there is room again the result is stored.
        QVERIFY(files.appendResult(c, nth(already + 1)).ok());
        QCOMPARE(reload(dir).NextUserRecord, qMin(next + 1, 100));
    }
};

QTEST_GUILESS_MAIN(TstResultLog)
#include "tst_result_log.moc"
