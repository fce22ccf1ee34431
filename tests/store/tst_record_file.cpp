// The data files held open and read whole, and their content seen as records.
#include "store/record_file.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;

class TstRecordFile : public QObject
{
    Q_OBJECT

private slots:
    void recordOfTheContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("n");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first") << QByteArray("aaaabbbb") << 1 << QByteArray("aaaa");
        QTest::newRow("second") << QByteArray("aaaabbbb") << 2 << QByteArray("bbbb");
        QTest::newRow("past the end is zero") << QByteArray("aaaabbbb") << 3 << QByteArray(4, '\0');
        QTest::newRow("cut short, zero-filled")
            << QByteArray("aaaabb") << 2 << QByteArray("bb") + QByteArray(2, '\0');
        QTest::newRow("empty file") << QByteArray() << 1 << QByteArray(4, '\0');
    }
    void recordOfTheContent()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, n);
        QFETCH(QByteArray, expected);
        const RecordImage image(content, 4);
        struct Raw
        {
            QByteArray bytes;
            static Raw decodeFrom(const char *p) { return {QByteArray(p, 4)}; }
        };
        QCOMPARE(image.record<Raw>(n).bytes, expected);
    }

    void openCreatesMissingFileAndKeepsExisting()
    {
        test::TempAppFolder folder;
        RecordFile created;
        QVERIFY(created.open(folder.filePath("new.stn")));
        QVERIFY(folder.exists("new.stn"));
        QByteArray content("not read yet");
        QVERIFY(created.readAll(content));
        QCOMPARE(content, QByteArray());

        folder.write("old.stn", "0123456789");
        RecordFile existing;
        QVERIFY(existing.open(folder.filePath("old.stn")));
        QVERIFY(existing.readAll(content));
        QCOMPARE(content, QByteArray("0123456789"));
        existing.close();
        QVERIFY(!existing.readAll(content));
        QCOMPARE(existing.path(), folder.filePath("old.stn"));
        QCOMPARE(folder.read("old.stn"), QByteArray("0123456789"));
    }
};

QTEST_GUILESS_MAIN(TstRecordFile)
#include "tst_record_file.moc"
