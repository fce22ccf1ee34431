// The results archive without the screens: what it keeps of a test, the
// one-time import of the log, its failures (no driver, a damaged file, a
// newer program's), the filters and the order of the archive screen's table,
// the per-problem counts and the CSV file's bytes.
#include "archive/archive_access.h"
#include "archive/archive_messages.h"
#include "archive/archive_upkeep.h"
#include "archive/counting.h"
#include "archive/csv.h"
#include "archive/name_folding.h"
#include "archive/test_table.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <QtTest>

using namespace culegere;

namespace {

// A test of chapter "Algebra" (5) and "Geometrie" (4) whose position i
// drew problem 0000i, right exactly at the positions in `right`.
ArchivedTest corrected(const QString &pupil, QDate date, int grade, QList<int> right = {})
{
    ArchivedTest t;
    t.pupil = pupil;
    t.date = date;
    t.time = QTime(10, 15, 30);
    t.stopwatch = 118;
    t.grade = grade;
    t.chapters = {{QStringLiteral("Algebra"), 5}, {QStringLiteral("Geometrie"), 4}};
    for (int i = 0; i < 9; ++i)
        t.answers.append(
            {test::pictureIndex(i), i < 5 ? "Algebra" : "Geometrie", right.contains(i) ? 2 : 1, 2});
    return t;
}

// Every field of a test, as one line.
QString describe(const ArchivedTest &t)
{
    QStringList parts{t.pupil,
                      t.date.toString(Qt::ISODate),
                      t.time.toString(),
                      QString::number(t.stopwatch),
                      QString::number(t.grade),
                      t.imported ? "imported" : "",
                      t.wholeCollection ? "whole" : ""};
    for (const ArchivedChapter &c : t.chapters)
        parts << c.name + u':' + QString::number(c.problems);
    for (const ArchivedAnswer &a : t.answers)
        parts << QStringLiteral("%1 %2 %3/%4")
                     .arg(a.problemIndex, a.chapter)
                     .arg(a.marked)
                     .arg(a.correct);
    return parts.join(u'|');
}

} // namespace

class TstArchive : public QObject
{
    Q_OBJECT

private slots:
    // The tests come back with every field.
    void aTestIsKeptWithAllItsFields()
    {
        test::TempAppFolder dir;
        const QString path = dir.filePath("Arhiva.sqlite");
        ArchivedTest whole =
            corrected(QStringLiteral("Ionuț Popescu"), {2026, 12, 4}, 4, {0, 3, 8});
        whole.wholeCollection = true;
        whole.chapters.clear();
        const ArchivedTest perChapter = corrected("Ana", {2026, 12, 3}, 10);
        {
            ResultArchive archive(path);
            QVERIFY(archive.open().ok());
            QVERIFY(archive.add({perChapter, whole}).ok());
            QVERIFY(archive.add({corrected("Dan", {2026, 12, 5}, 2, {0})}).ok());
        }
        ResultArchive archive(path);
        QVERIFY(archive.open(false).ok());
        const QList<ArchiveRow> rows = archive.rows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].pupilKey, QStringLiteral("ionut popescu"));
        QCOMPARE(rows[1].definition, QStringLiteral("Toata culegerea"));
        QCOMPARE(rows[0].definition, QStringLiteral("Algebra: 5, Geometrie: 4"));
        QCOMPARE(describe(archive.test(rows[0].id)), describe(perChapter));
        QCOMPARE(describe(archive.test(rows[1].id)), describe(whole));
        QCOMPARE(archive.testCount(), 3);
        QVERIFY(archive.quickCheck().ok());
    }

    // An archive that cannot be looked at (its folder's name is a file's) is
    // said to be unreadable, not absent, and its backup fails.
    void anArchiveThatCannotBeLookedAtIsNotAbsent()
    {
        test::TempAppFolder dir;
        dir.write("nu-un-folder", "a file");
        ArchiveAccess access(dir.filePath("nu-un-folder/Arhiva.sqlite"));
        QCOMPARE(checkArchive(access), archivemsg::CheckUnreadable);
        QVERIFY(!backupArchive(access, dir.filePath("backup")).isEmpty());
    }

    void theLogIsImportedOnce()
    {
        test::TempAppFolder dir;
        Collection c;
        c.UserTable[2] = test::result("Ana", 9, 14, {2026, 2, 2});
        c.UserTable[3] = test::result("Dan", 5, 0, {2026, 2, 3});
        c.NextUserRecord = 4;
        const QString path = dir.filePath("Arhiva.sqlite");
        {
            ArchiveAccess access(path);
            ResultArchive *archive = access.use(loggedResults(c));
            QVERIFY2(archive, qPrintable(access.takeMessage()));
            QCOMPARE(archive->testCount(), 2);
            const ArchivedTest ana = archive->test(archive->rows()[0].id);
            QVERIFY(ana.imported && ana.answers.isEmpty());
            QCOMPARE(ana.stopwatch, 14);
            c.UserTable[c.NextUserRecord++] = test::result("Ema", 7, 118, {2026, 2, 4});
            QVERIFY(access.keepPending(corrected("Ema", {2026, 2, 4}, 7)));
            QVERIFY(access.catchUp(loggedResults(c)));
        }
        // The next run finds the log as it was: nothing is taken over again.
        ArchiveAccess again(path);
        QCOMPARE(again.use(loggedResults(c))->testCount(), 3);
        QCOMPARE(again.use(loggedResults(c))->test(3).answers.size(), 9);
        QCOMPARE(again.takeMessage(), QString());
        QVERIFY(!again.hasPending());
    }

    // Which of the log's latest results the archive lacks, the log it saw
    // and the log now given as letters (one result each).
    void missingFromTheLog_data()
    {
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("now");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("missing");
        QTest::newRow("as seen") << "abc"
                                 << "abc" << 98 << 0;
        QTest::newRow("one new") << "abc"
                                 << "abcd" << 98 << 1;
        QTest::newRow("two, after a failure") << "ab"
                                              << "abcd" << 98 << 2;
        QTest::newRow("a new archive takes all") << ""
                                                 << "abc" << 98 << 3;
        QTest::newRow("the same result again") << "aa"
                                               << "aaa" << 98 << 1;
        QTest::newRow("a full log rolled") << "abc"
                                           << "bcd" << 3 << 1;
        QTest::newRow("rolled twice") << "abc"
                                      << "cde" << 3 << 2;
        QTest::newRow("filled, then rolled") << "ab"
                                             << "bcd" << 3 << 2;
        QTest::newRow("another log") << "abc"
                                     << "xy" << 98 << -1;
        QTest::newRow("emptied") << "abc"
                                 << "" << 98 << -1;
        QTest::newRow("shorter, not full") << "abc"
                                           << "bcd" << 98 << -1;
    }
    void missingFromTheLog()
    {
        QFETCH(QString, seen);
        QFETCH(QString, now);
        QFETCH(int, capacity);
        auto results = [](const QString &letters) {
            QList<LoggedResult> log;
            for (QChar letter : letters)
                log.append({QString(letter), 20260301, 0, 5});
            return log;
        };
        QTEST(missingFromLog(results(seen), results(now), capacity), "missing");
    }

    // An archive of an earlier program holds the log already: its first
    // catch-up adds nothing; the next result comes in once.
    void anEarlierArchiveIsTakenAsWhole()
    {
        test::TempAppFolder dir;
        const QString path = dir.filePath("Arhiva.sqlite");
        QList<ArchivedTest> log{corrected("Ana", {2026, 3, 1}, 5),
                                corrected("Dan", {2026, 3, 2}, 6)};
        {
            ResultArchive made(path);
            QVERIFY(made.open().ok() && made.add(log).ok());
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "earlier");
            db.setDatabaseName(path);
            QVERIFY(
                db.open() &&
                db.exec("INSERT INTO meta VALUES ('users_stn_imported', '1')").lastError().type() ==
                    QSqlError::NoError);
        }
        QSqlDatabase::removeDatabase("earlier");
        ResultArchive archive(path);
        int added = -1;
        QVERIFY(archive.open().ok() && archive.catchUp(log, {}, &added).ok() && added == 0);
        log.append(corrected("Ema", {2026, 3, 3}, 7));
        QVERIFY(archive.catchUp(log, {log.last()}, &added).ok() && added == 1);
        QCOMPARE(archive.testCount(), 3);
        QCOMPARE(archive.test(3).answers.size(), 9);
    }

    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("archived");
        auto row = [](const char *name, const char *fault, const char *message, bool archived) {
            QTest::newRow(name) << QString(fault) << QString(message) << archived;
        };
        row("no driver", "driver", "lipseste driverul SQLite", false);
        row("a folder in its place", "folder", "nu poate fi deschis. Verificati", false);
        row("garbage", "garbage", "era deteriorata", true);
        row("damaged while open", "garbage later", "era deteriorata", true);
        row("newer program", "newer", "versiune mai noua", false);
    }
    // Two results in one run: the first meets the fault and is told once;
    // a damaged file is renamed aside, byte for byte, and a new one started.
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(bool, archived);
        test::TempAppFolder dir;
        const QString path = dir.filePath("Arhiva.sqlite");
        const QByteArray garbage(4096, '\x5a');
        auto makeNewer = [&] {
            {
                ResultArchive made(path);
                QVERIFY(made.open().ok());
                QVERIFY(made.importOnce({}).ok());
                made.close();
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(db.exec("UPDATE meta SET value = '2' WHERE name = 'schema_version'")
                            .lastError()
                            .type() == QSqlError::NoError);
            }
            QSqlDatabase::removeDatabase("newer");
        };
        if (fault == "newer")
            makeNewer();
        if (fault == "garbage")
            dir.write("Arhiva.sqlite", garbage);
        if (fault == "folder")
            QVERIFY(QDir().mkpath(path));
        const QByteArray before = QFile::exists(path) ? dir.read("Arhiva.sqlite") : QByteArray();

        ArchiveAccess access(path, fault == "driver" ? "QNOSUCHDRIVER" : "QSQLITE");
        if (fault == "garbage later") {
            // Open and sound when the program began; damaged under it since.
            QVERIFY(access.use({}));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(garbage), garbage.size());
        }
        QList<ArchivedTest> log;
        auto record = [&](const ArchivedTest &t) {
            log.append(t);
            return access.keepPending(t) && access.catchUp(log);
        };
        QCOMPARE(record(corrected("Ana", {2026, 3, 1}, 5)), archived);
        const QString told = access.takeMessage();
        QVERIFY2(told.contains(message), qPrintable(told));
        QCOMPARE(told.count(u'\n') <= 3, true);
        QCOMPARE(record(corrected("Dan", {2026, 3, 2}, 6)), archived);
        QCOMPARE(access.takeMessage(), QString());

        const QStringList aside = QDir(dir.path()).entryList({"Arhiva.sqlite.deteriorata-*"});
        QCOMPARE(aside.size(), fault.startsWith("garbage") ? 1 : 0);
        if (fault.startsWith("garbage")) {
            QCOMPARE(dir.read(aside[0]), garbage);
            ArchiveResult why;
            QCOMPARE(access.existing(why)->testCount(), 2);
        } else if (fault == "newer") {
            QCOMPARE(dir.read("Arhiva.sqlite"), before);
        }
        if (archived || fault == "driver")
            return;
        // Another failure is told again; once the archive works, the results
        // the log holds come in with their positions, once.
        if (fault == "folder") {
            QVERIFY(QDir(path).removeRecursively());
            makeNewer();
        } else {
            QVERIFY(QFile::remove(path) && QDir().mkpath(path));
        }
        QCOMPARE(record(corrected("Ema", {2026, 3, 3}, 7)), false);
        const QString other = access.takeMessage();
        QVERIFY2(!other.isEmpty() && other != told, qPrintable(other));
        QVERIFY((told + other).contains("\nDetalii: "));
        QVERIFY(QFile::remove(path) || QDir(path).removeRecursively());
        QVERIFY(access.catchUp(log));
        QCOMPARE(access.takeMessage(), QString());
        ArchiveResult why;
        const ResultArchive *fixed = access.existing(why);
        QCOMPARE(fixed->testCount(), 3);
        QCOMPARE(fixed->test(3).pupil, QString("Ema"));
        QCOMPARE(fixed->test(3).answers.size() + fixed->test(1).answers.size(), 18);
        QVERIFY(!access.hasPending());
    }

    // A read that meets a damaged page (here the middle leaf of a table's
    // tree) returns nothing, never the rows before it; the file is then
    // confirmed damaged, set aside and a new archive begun. A failure that
    // is no damage leaves the file and says so, the database's words last.
    void readErrors_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("told");
        QTest::newRow("tests") << "tests"
                               << "era deteriorata";
        QTest::newRow("answers") << "answers"
                                 << "era deteriorata";
        QTest::newRow("problem_stats") << "problem_stats"
                                       << "era deteriorata";
        QTest::newRow("not damaged") << ""
                                     << "citita pana la capat";
    }
    void readErrors()
    {
        QFETCH(QString, table);
        QFETCH(QString, told);
        test::TempAppFolder dir;
        const QString path = dir.filePath("Arhiva.sqlite");
        QList<ArchivedTest> many;
        for (int i = 0; i < 400; ++i) {
            many.append(corrected(QStringLiteral("Elev %1").arg(i), {2026, 1, 1}, 5));
            for (int p = 0; p < 9; ++p)
                many.last().answers[p].problemIndex = test::pictureIndex(i * 9 + p);
        }
        {
            ArchiveAccess made(path);
            QVERIFY(made.use({})->add(many).ok());
        }
        ArchiveResult why{ArchiveError::CannotWrite, "disk I/O error", 10};
        if (!table.isEmpty()) {
            int root = 0;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "pages");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QSqlQuery q(db);
                QVERIFY(q.exec("SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'"));
                QVERIFY(q.next());
                root = q.value(0).toInt();
            }
            QSqlDatabase::removeDatabase("pages");
            // The tree's root is an interior page: its middle cell's child.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(qint64(root - 1) * 4096));
            const QByteArray page = file.read(4096);
            QCOMPARE(int(uchar(page[0])), 0x05);
            const int middle = 12 + 2 * (((uchar(page[3]) << 8) | uchar(page[4])) / 2);
            const int cell = (uchar(page[middle]) << 8) | uchar(page[middle + 1]);
            const auto child = qFromBigEndian<quint32>(page.constData() + cell);
            QVERIFY(file.seek(qint64(child - 1) * 4096));
            QCOMPARE(file.write(QByteArray(4096, '\x7f')), 4096);
        }
        ArchiveAccess access(path);
        ResultArchive *archive = access.use({});
        QVERIFY(archive);
        if (!table.isEmpty()) {
            why = {};
            if (table == "tests")
                QVERIFY(archive->rows(&why).isEmpty());
            else if (table == "answers")
                QVERIFY(archive->marks(&why).marks.isEmpty());
            else
                QVERIFY(archive->problemStats(&why).isEmpty());
            QCOMPARE(why.error, ArchiveError::Damaged);
        }
        const QByteArray before = dir.read("Arhiva.sqlite");
        access.readFailed(why);
        const QString message = access.takeMessage();
        QVERIFY2(message.contains(told), qPrintable(message));
        const QStringList aside = QDir(dir.path()).entryList({"Arhiva.sqlite.deteriorata-*"});
        QCOMPARE(aside.size(), table.isEmpty() ? 0 : 1);
        if (table.isEmpty()) {
            QVERIFY(message.endsWith("\nDetalii: disk I/O error"));
            QCOMPARE(dir.read("Arhiva.sqlite"), before);
            QCOMPARE(access.use({})->testCount(), 400);
        } else {
            QCOMPARE(dir.read(aside[0]), before);
            QCOMPARE(access.use({})->testCount(), 0);
        }
    }

    void romanianCounts_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("tests");
        QTest::addColumn<QString>("times");
        QTest::newRow("0") << 0 << "0 teste"
                           << "de 0 ori";
        QTest::newRow("1") << 1 << "1 test"
                           << "o data";
        QTest::newRow("2") << 2 << "2 teste"
                           << "de 2 ori";
        QTest::newRow("19") << 19 << "19 teste"
                            << "de 19 ori";
        QTest::newRow("20") << 20 << "20 de teste"
                            << "de 20 de ori";
        QTest::newRow("101") << 101 << "101 teste"
                             << "de 101 ori";
        QTest::newRow("1000") << 1000 << "1000 de teste"
                              << "de 1000 de ori";
    }
    void romanianCounts()
    {
        QFETCH(int, n);
        QFETCH(QString, tests);
        QFETCH(QString, times);
        QCOMPARE(countText(n, Counted::Tests), tests);
        QCOMPARE(countText(n, Counted::Times), times);
    }

    // The archive screen's table: a part of the name in any case and with
    // either form of the Romanian letters, a range of days (both included),
    // the tests without a usable date (6: none, 7: year 20000) shown or not,
    // the order of a column; the filter holds through a new order.
    void filtersAndOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<bool>("undated");
        QTest::addColumn<int>("column"); // -1: the archive's order
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("shown"); // the rows shown, by number (1..7)
        const int up = Qt::AscendingOrder, down = Qt::DescendingOrder;
        const QDate none;
        QTest::newRow("diacritics typed") << "IONIȚĂ" << none << none << true << -1 << up << "1";
        QTest::newRow("cedilla matches comma")
            << "şte" << none << none << true << -1 << up << "124";
        QTest::newRow("range and name")
            << "a" << QDate(2026, 3, 2) << QDate(2026, 3, 3) << false << -1 << up << "23";
        QTest::newRow("range, name, undated")
            << "a" << QDate(2026, 3, 2) << QDate(2026, 3, 3) << true << -1 << up << "2367";
        QTest::newRow("undated left out") << "" << none << none << false << -1 << up << "12345";
        QTest::newRow("grade up, filtered")
            << "e" << none << none << true << int(TestTable::Grade) << up << "412";
        QTest::newRow("grade down, ties by date")
            << "" << none << none << true << int(TestTable::Grade) << down << "3265174";
        QTest::newRow("name, any case")
            << "" << none << none << true << int(TestTable::Pupil) << up << "3576124";
        QTest::newRow("stopwatch")
            << "e" << none << none << true << int(TestTable::Stopwatch) << up << "412";
        QTest::newRow("date down, undated last")
            << "" << none << none << true << int(TestTable::Date) << down << "5432167";
    }
    void filtersAndOrder()
    {
        QFETCH(QString, name);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(bool, undated);
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QString, shown);
        const QStringList pupils{"Ștefan Ioniță", "STEFAN POP", "Ana", "Ştefania",
                                 "bogdan",        "Radu",       "Dan"};
        const int grades[] = {5, 7, 9, 2, 5, 6, 3};
        const int stopwatches[] = {30, 40, 10, 20, 50, 60, 70};
        QList<ArchiveRow> rows;
        for (int i = 0; i < 7; ++i) {
            ArchiveRow r;
            r.pupil = pupils[i];
            r.pupilKey = foldName(pupils[i]);
            r.date = i < 5 ? QDate(2026, 3, 1 + i) : i == 6 ? QDate(20000, 1, 1) : QDate();
            r.grade = grades[i];
            r.stopwatch = stopwatches[i];
            rows.append(r);
        }
        TestTable table;
        table.setRows(rows);
        table.setFilter(name, from, to, undated);
        if (column >= 0)
            table.sort(column, Qt::SortOrder(order));
        QString seen;
        for (int i = 0; i < table.shownCount(); ++i)
            seen += QString::number(pupils.indexOf(table.shownRow(i).pupil) + 1);
        QCOMPARE(seen, shown);
        QCOMPARE(table.rowCount(), shown.size());
        table.setFilter("radu", {}, {});
        QCOMPARE(table.index(0, TestTable::Date).data().toString(), QString("fara data"));
        QCOMPARE(table.undatedCount(), 2);
        QCOMPARE(table.lastDay(), QDate(2026, 3, 5));
    }

    // A cell as the CSV file writes it (header "X", one line).
    void csvCells_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("asText");
        QTest::addColumn<QByteArray>("written");
        auto row = [](const char *name, const QString &cell, bool asText, const char *written) {
            QTest::newRow(name) << cell << asText << QByteArray(written);
        };
        row("separator", "Ana; Maria", false, "\"Ana; Maria\"");
        row("quotes", "Ion \"Nelu\"", false, "\"Ion \"\"Nelu\"\"\"");
        row("diacritics", "Ștefan", false, "\xC8\x98tefan");
        row("empty", "", true, "");
        row("decimal comma", decimalText(58.333, 1), false, "58,3");
        row("formula", "=1+1", false, "'=1+1");
        row("plus", "+40 721", false, "'+40 721");
        row("minus", "-5", false, "'-5");
        row("at", "@SUM(A1)", false, "'@SUM(A1)");
        row("tab", "\tx", false, "'\tx");
        row("carriage return", "\rx", false, "\"'\rx\"");
        row("link", "=HYPERLINK(\"http://x\";\"y\")", false,
            "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\"");
        row("index kept as text", "00012", true,
            "\xE2\x81\xA0"
            "00012");
        row("formula in a text column", "=1", true, "'=1");
    }
    void csvCells()
    {
        QFETCH(QString, cell);
        QFETCH(bool, asText);
        QFETCH(QByteArray, written);
        QCOMPARE(culegere::csvBytes({"X"}, {{cell}}, asText ? QList<int>{0} : QList<int>{}),
                 "\xEF\xBB\xBFX\r\n" + written + "\r\n");
    }
};

QTEST_GUILESS_MAIN(TstArchive)
#include "tst_archive.moc"
