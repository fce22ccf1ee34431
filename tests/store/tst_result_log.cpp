// Appending results to the log: each result and the header that counts it
// reach the disk at once; the roll of a full log; a failed write.
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/driver.h"
#include "support/file_size_limit.h"

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
    return test::collectionOnDisk(dir.path()).value();
}

} // namespace

class TstResultLog : public QObject
{
    Q_OBJECT

private slots:
    // The 99th result lands on record 100 and the log drops its oldest; a
    // restart shows the latest 98 and the next result still lands.
    void theLogKeepsTheLatest98()
    {
        TempAppFolder dir;
        DataFiles files{AppFolder(dir.path())};
        Collection c;
        QVERIFY(files.openAndLoad(c).ok());
        for (int i = 1; i <= 101; ++i) {
            QVERIFY(files.appendResult(c, nth(i)).ok());
            QCOMPARE(c.NextUserRecord, qMin(i + 2, 100));
            const QByteArray disk = dir.read(datafile::Users);
            QCOMPARE(recordOnDisk(disk, 1).Grade, c.NextUserRecord);
            for (int k = 2; k < 2 + qMin(i, 98); ++k) {
                QCOMPARE(c.UserTable[k], nth(k - 1 + qMax(0, i - 98)));
                QCOMPARE(recordOnDisk(disk, k), c.UserTable[k]);
            }
            if (i > 98)
                QCOMPARE(recordOnDisk(disk, 100), nth(i));
        }
        files.close();
        DataFiles again{AppFolder(dir.path())};
        Collection restarted;
        QVERIFY(again.openAndLoad(restarted).ok());
        QVERIFY(again.appendResult(restarted, nth(102)).ok());
        QCOMPARE(reload(dir).UserTable[98], nth(101));
        QCOMPARE(reload(dir).UserTable[99], nth(102));
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
