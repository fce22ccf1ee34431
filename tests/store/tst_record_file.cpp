// Random-access record files on in-memory buffers and on disk.
#include "store/record_file.h"
#include "store/records.h"
#include "support/temp_app_folder.h"

#include <QBuffer>
#include <QtTest>

using namespace culegere;

namespace {

RecordFile bufferFile(const QByteArray &bytes, int length)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadWrite);
    return RecordFile(length, std::move(buffer));
}

} // namespace

class TstRecordFile : public QObject
{
    Q_OBJECT

private slots:
    void readRecord_data()
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
    void readRecord()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, n);
        QFETCH(QByteArray, expected);
        RecordFile file = bufferFile(content, 4);
        QByteArray record;
        QVERIFY(file.readRecord(n, record));
        QCOMPARE(record, expected);
        // The whole-file view used at loading agrees record by record.
        const RecordImage image(content, 4);
        struct Raw
        {
            QByteArray bytes;
            static Raw decodeFrom(const char *p) { return {QByteArray(p, 4)}; }
        };
        QCOMPARE(image.record<Raw>(n).bytes, expected);
    }

    void writeRecordPastTheEndGrowsTheFile()
    {
        auto buffer = std::make_unique<QBuffer>();
        QBuffer *raw = buffer.get();
        buffer->open(QIODevice::ReadWrite);
        RecordFile file(4, std::move(buffer));
        QVERIFY(file.writeRecord(3, "cccc"));
        QVERIFY(file.writeRecord(1, "aaaa"));
        QCOMPARE(raw->data(), QByteArray("aaaa") + QByteArray(4, '\0') + "cccc");
    }

    void refusesRecordOfWrongLength()
    {
        RecordFile file = bufferFile(QByteArray(8, 'x'), 4);
        QVERIFY(!file.writeRecord(1, "abc"));
        QVERIFY(!file.writeRecord(0, "abcd"));
        QByteArray all;
        QVERIFY(file.readAll(all));
        QCOMPARE(all, QByteArray(8, 'x'));
    }

    void openCreatesMissingFileAndKeepsExisting()
    {
        test::TempAppFolder folder;
        RecordFile created(UserRecord::Size);
        QVERIFY(created.open(folder.filePath("new.stn")));
        QVERIFY(folder.exists("new.stn"));
        QCOMPARE(folder.read("new.stn").size(), 0);

        folder.write("old.stn", "0123456789");
        RecordFile existing(5);
        QVERIFY(existing.open(folder.filePath("old.stn")));
        QVERIFY(existing.writeRecord(2, "ABCDE"));
        QVERIFY(existing.sync());
        QCOMPARE(folder.read("old.stn"), QByteArray("01234ABCDE"));
    }
};

QTEST_GUILESS_MAIN(TstRecordFile)
#include "tst_record_file.moc"
