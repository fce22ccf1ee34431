// Loading the three data files at start-up: every file the tables cannot hold
// or that lost records in use is refused, naming it, with no file changed or
// created; records left over past the ones in use are never read.
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/driver.h"

#include <QtTest>

using namespace culegere;
using test::TempAppFolder;

namespace {

// Chapters A (2 problems) and B (1), and two results: Users.stn of 3
// records, Caps.stn of 3, Problems.stn of 4.
Collection small()
{
    Collection c;
    test::addChapter(c, "A", 2);
    test::addChapter(c, "B", 1);
    for (int i = 1; i <= 3; ++i)
        test::addProblem(c, i < 3 ? "A" : "B", test::pictureIndex(i), qint16(i));
    c.UserTable[2] = test::result("Ana", 9, 12, {2026, 3, 1});
    c.UserTable[3] = test::result("Ion", 4, 30, {2026, 3, 2});
    c.NextUserRecord = 4;
    return c;
}

} // namespace

class TstLoading : public QObject
{
    Q_OBJECT

private slots:
    void files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("value");    // the count the refused header holds
        QTest::addColumn<int>("chapters"); // when loaded: ChapterCount,
        QTest::addColumn<int>("problems"); // ProblemCount
        QTest::addColumn<int>("next");     // and NextUserRecord
        TempAppFolder base;
        base.writeCollection(small());
        const QByteArray users = base.read(datafile::Users);
        const QByteArray caps = base.read(datafile::Chapters);
        const QByteArray problems = base.read(datafile::Problems);
        const QString U = datafile::Users, C = datafile::Chapters, P = datafile::Problems;
        const int tooLarge = int(StoreError::HeaderTooLarge);
        const int negative = int(StoreError::HeaderNegative);
        const int cut = int(StoreError::FileCutShort);
        auto refused = [](const char *name, const QString &file, const QByteArray &content,
                          int error, int value) {
            QTest::newRow(name) << file << content << error << value << 0 << 0 << 0;
        };
        refused("101 results", U, userHeader(101) + users.mid(42), tooLarge, 101);
        refused("50 chapters", C, chapterHeader(50) + caps.mid(204), tooLarge, 50);
        refused("7000 problems", P, problemHeader(7000) + problems.mid(458), tooLarge, 7000);
        refused("negative chapters", C, chapterHeader(-1) + caps.mid(204), negative, -1);
        refused("negative problems", P, problemHeader(-300) + problems.mid(458), negative, -300);
        refused("the last chapter cut", C, caps.chopped(1), cut, 2);
        refused("Caps.stn cut in its header", C, caps.left(150), cut, 2);
        refused("Problems.stn of its header alone", P, problems.left(458), cut, 3);
        refused("the last problem cut", P, problems.chopped(200), cut, 3);
        refused("the last result cut", U, users.chopped(5), cut, 4);

        auto loaded = [](const char *name, const QString &file, const QByteArray &content,
                         int chapters, int problems, int next) {
            QTest::newRow(name) << file << content << 0 << 0 << chapters << problems << next;
        };
        loaded("as written", U, users, 2, 3, 4);
        loaded("100 results, the most", U, userHeader(100) + QByteArray(98 * 42, 'r'), 2, 3, 100);
        loaded("49 chapters, the most", C, chapterHeader(49) + QByteArray(49 * 204, 'c'), 49, 3, 4);
        loaded("6999 problems, the most", P, problemHeader(6999) + QByteArray(6999 * 458, 'p'), 2,
               6999, 4);
        loaded("cut inside record NextUserRecord", U, users + QByteArray(20, 'z'), 2, 3, 4);
        loaded("results header 1, stale results", U, userHeader(1) + users.mid(42), 2, 3, 2);
        loaded("results header 0, a stale result cut", U, userHeader(0) + users.mid(42).chopped(3),
               2, 3, 2);
        loaded("negative results header", U, userHeader(-7) + users.mid(42), 2, 3, 2);
        loaded("stale chapters past the count", C, chapterHeader(1) + caps.mid(204), 1, 3, 4);
        loaded("a stale chapter cut", C, chapterHeader(1) + caps.mid(204).chopped(7), 1, 3, 4);
        loaded("a stale problem cut", P, problems + QByteArray(229, 'x'), 2, 3, 4);
        loaded("stale problems past the count", P, problemHeader(1) + problems.mid(458), 2, 1, 4);
        loaded("Caps.stn empty", C, QByteArray(), 0, 3, 4);
    }
    void files()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(int, error);
        // Refused with the other two files there, and with this one alone.
        for (const bool alone : error != 0 ? QList<bool>{false, true} : QList<bool>{false}) {
            TempAppFolder dir;
            if (!alone)
                dir.writeCollection(small());
            dir.write(file, content);
            const test::FolderBytes before = test::folderBytes(dir.path());
            DataFiles files{AppFolder(dir.path())};
            Collection c;
            for (int k = 2; k <= 4; ++k)
                c.UserTable[k].Grade = 77; // rows the files do not reach stay as they were
            const StoreResult result = files.openAndLoad(c);
            QCOMPARE(int(result.error), error);
            QCOMPARE(test::folderBytes(dir.path()), before); // nothing made, nothing changed
            if (error != 0) {
                QFETCH(int, value);
                QCOMPARE(result.fileName, file);
                QCOMPARE(result.value, value);
                QVERIFY(!files.isOpen());
                QCOMPARE(c.ChapterCount, 0);
                QCOMPARE(c.NextUserRecord, 2);
                QCOMPARE(c.UserTable[3].Grade, 77);
                continue;
            }
            QFETCH(int, chapters);
            QFETCH(int, problems);
            QFETCH(int, next);
            QCOMPARE(c.ChapterCount, chapters);
            QCOMPARE(c.ProblemCount, problems);
            QCOMPARE(c.NextUserRecord, next);
            // Rows 2 .. NextUserRecord are read (that one normally past the
            // end, a zero record); an empty log reads no row, stale or not.
            const RecordImage log(dir.read(datafile::Users), UserRecord::Size);
            for (int k = 2; k <= 4; ++k) {
                QCOMPARE(c.UserTable[k].Grade, next == 2 ? 77 : log.record<UserRecord>(k).Grade);
                if (next > 2)
                    QCOMPARE(c.UserTable[k], log.record<UserRecord>(k));
            }
        }
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
