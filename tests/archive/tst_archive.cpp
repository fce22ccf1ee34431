// The results archive without the screens: what it keeps of a test, the
// one-time import of the log, its failures (no driver, a read-only file, a
// damaged one), the filters and the order of the archive screen's table,
// the per-problem counts and the CSV file's bytes.
#include "archive/archive_access.h"
#include "archive/csv.h"
#include "archive/name_folding.h"
#include "archive/test_table.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

#include <sys/mount.h>
#include <unistd.h>

using namespace culegere;

namespace {

ArchivedAnswer answer(const char *index, int marked, int correct, const char *chapter = "Algebra")
{
    return {QString::fromLatin1(index), QString::fromUtf8(chapter), marked, correct};
}

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
        t.answers.append(answer(qPrintable(test::pictureIndex(i)), right.contains(i) ? 2 : 1, 2,
                                i < 5 ? "Algebra" : "Geometrie"));
    return t;
}

ArchiveRow row(const QString &pupil, QDate date, int grade, int stopwatch = 0)
{
    ArchiveRow r;
    r.pupil = pupil;
    r.pupilKey = foldName(pupil);
    r.date = date;
    r.grade = grade;
    r.stopwatch = stopwatch;
    return r;
}

QStringList shownPupils(const TestTable &table)
{
    QStringList pupils;
    for (int i = 0; i < table.shownCount(); ++i)
        pupils.append(table.shownRow(i).pupil);
    return pupils;
}

// A file made read-only for as long as this lives. Root writes whatever
// the permissions say, so as root (in CI) a read-only view of the file is
// mounted over it instead.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path) : m_path(QFile::encodeName(path))
    {
        if (::geteuid() != 0) {
            QFile::setPermissions(path, QFile::ReadOwner);
            return;
        }
        m_bound = ::mount(m_path.constData(), m_path.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (m_bound)
            ::mount(nullptr, m_path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                    nullptr);
    }
    ~ReadOnlyFile()
    {
        if (m_bound)
            ::umount2(m_path.constData(), MNT_DETACH);
    }

private:
    QByteArray m_path;
    bool m_bound = false;
};

} // namespace

class TstArchive : public QObject
{
    Q_OBJECT

private slots:
    void aTestIsKeptWithAllItsFields()
    {
        test::TempAppFolder dir;
        const QString path = dir.filePath("Arhiva.sqlite");
        ArchivedTest whole =
            corrected(QStringLiteral("Ionuț Popescu"), {2026, 12, 4}, 4, {0, 3, 8});
        whole.wholeCollection = true;
        whole.chapters.clear();
        {
            ResultArchive archive(path);
            QVERIFY(archive.open().ok());
            QVERIFY(archive.add({corrected("Ana", {2026, 12, 3}, 10), whole}).ok());
        }
        ResultArchive archive(path);
        QVERIFY(archive.open(false).ok());
        const QList<ArchiveRow> rows = archive.rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].pupil, QStringLiteral("Ionuț Popescu"));
        QCOMPARE(rows[1].pupilKey, QStringLiteral("ionut popescu"));
        QCOMPARE(rows[1].definition, QStringLiteral("Toata culegerea"));
        QCOMPARE(rows[0].definition, QStringLiteral("Algebra: 5, Geometrie: 4"));
        const ArchivedTest back = archive.test(rows[1].id);
        QCOMPARE(back.pupil, whole.pupil);
        QCOMPARE(back.date, whole.date);
        QCOMPARE(back.time, whole.time);
        QCOMPARE(back.stopwatch, 118);
        QCOMPARE(back.grade, 4);
        QVERIFY(back.wholeCollection && !back.imported);
        QCOMPARE(back.answers.size(), 9);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(back.answers[i].problemIndex, whole.answers[i].problemIndex);
            QCOMPARE(back.answers[i].chapter, whole.answers[i].chapter);
            QCOMPARE(back.answers[i].marked, whole.answers[i].marked);
            QCOMPARE(back.answers[i].correct, 2);
        }
        const ArchivedTest first = archive.test(rows[0].id);
        QCOMPARE(first.chapters.size(), 2);
        QCOMPARE(first.chapters[1].name, QStringLiteral("Geometrie"));
        QCOMPARE(first.chapters[1].problems, 4);
        QCOMPARE(archive.testCount(), 2);
        QVERIFY(archive.quickCheck().ok());
    }

    void perProblemCountsAndShares()
    {
        test::TempAppFolder dir;
        ResultArchive archive(dir.filePath("Arhiva.sqlite"));
        QVERIFY(archive.open().ok());
        QVERIFY(archive.add({corrected("Ana", {2026, 1, 1}, 3, {0, 1})}).ok());
        QVERIFY(archive.add({corrected("Dan", {2026, 1, 2}, 2, {0})}).ok());
        QVERIFY(archive.add({corrected("Ema", {2026, 1, 3}, 2, {0})}).ok());
        QList<ProblemStats> stats = archive.problemStats();
        QCOMPARE(stats.size(), 9);
        std::sort(stats.begin(), stats.end(),
                  [](auto &a, auto &b) { return a.problemIndex < b.problemIndex; });
        QCOMPARE(stats[0].drawn, 3);
        QCOMPARE(stats[0].answeredRight, 3);
        QCOMPARE(stats[1].answeredRight, 1);
        QCOMPARE(stats[1].shareRight(), 1.0 / 3);
        QCOMPARE(stats[2].answeredRight, 0);
        QCOMPARE(stats[6].chapter, QStringLiteral("Geometrie"));
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
            QCOMPARE(ana.pupil, QStringLiteral("Ana"));
            QCOMPARE(ana.date, QDate(2026, 2, 2));
            QCOMPARE(ana.stopwatch, 14);
            QCOMPARE(ana.grade, 9);
            QVERIFY(ana.imported && ana.answers.isEmpty() && !ana.time.isValid());
            QVERIFY(access.record(corrected("Ema", {2026, 2, 4}, 7), loggedResults(c)));
        }
        // The next run finds the mark: the log is not taken over again.
        ArchiveAccess again(path);
        QCOMPARE(again.use(loggedResults(c))->testCount(), 3);
        QCOMPARE(again.takeMessage(), QString());
    }

    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("archived");
        QTest::newRow("no driver") << "driver"
                                   << "lipseste driverul SQLite" << false;
        QTest::newRow("read-only") << "read-only"
                                   << "nu a putut fi scrisa" << false;
        QTest::newRow("garbage") << "garbage"
                                 << "era deteriorata" << true;
        QTest::newRow("damaged while open") << "garbage later"
                                            << "era deteriorata" << true;
        QTest::newRow("newer program") << "newer"
                                       << "versiune mai noua" << false;
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
        if (fault == "read-only" || fault == "newer") {
            ResultArchive made(path);
            QVERIFY(made.open().ok());
            QVERIFY(made.importOnce({}).ok());
        }
        if (fault == "newer") {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(db.exec("UPDATE meta SET value = '2' WHERE name = 'schema_version'")
                        .lastError()
                        .type() == QSqlError::NoError);
            db.close();
        }
        QSqlDatabase::removeDatabase("newer");
        std::unique_ptr<ReadOnlyFile> readOnly;
        if (fault == "read-only")
            readOnly = std::make_unique<ReadOnlyFile>(path);
        if (fault == "garbage")
            dir.write("Arhiva.sqlite", garbage);
        const QByteArray before = QFile::exists(path) ? dir.read("Arhiva.sqlite") : QByteArray();

        ArchiveAccess access(path, fault == "driver" ? "QNOSUCHDRIVER" : "QSQLITE");
        if (fault == "garbage later") {
            // Open and sound when the program began; damaged under it since.
            QVERIFY(access.use({}));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(garbage), garbage.size());
        }
        QCOMPARE(access.record(corrected("Ana", {2026, 3, 1}, 5), {}), archived);
        const QString told = access.takeMessage();
        QVERIFY2(told.contains(message), qPrintable(told));
        QCOMPARE(told.count(u'\n') <= 2, true);
        QCOMPARE(access.record(corrected("Dan", {2026, 3, 2}, 6), {}), archived);
        QCOMPARE(access.takeMessage(), QString());

        const QStringList aside = QDir(dir.path()).entryList({"Arhiva.sqlite.deteriorata-*"});
        QCOMPARE(aside.size(), fault.startsWith("garbage") ? 1 : 0);
        if (fault.startsWith("garbage")) {
            QCOMPARE(dir.read(aside[0]), garbage);
            ArchiveResult why;
            QCOMPARE(access.existing(why)->testCount(), 2);
        } else if (fault != "driver") {
            QCOMPARE(dir.read("Arhiva.sqlite"), before);
        }
    }

    void nameAndDateFilters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("shown");
        const QStringList all{"Ștefan Ioniță", "STEFAN POP", "Ana", "Ştefania"};
        QTest::newRow("everything") << "" << QDate() << QDate() << all;
        QTest::newRow("plain letters") << "stefan" << QDate() << QDate()
                                       << QStringList{"Ștefan Ioniță", "STEFAN POP", "Ştefania"};
        QTest::newRow("diacritics typed")
            << "IONIȚĂ" << QDate() << QDate() << QStringList{"Ștefan Ioniță"};
        QTest::newRow("cedilla matches comma")
            << "şte" << QDate() << QDate()
            << QStringList{"Ștefan Ioniță", "STEFAN POP", "Ştefania"};
        QTest::newRow("middle of the name")
            << "n po" << QDate() << QDate() << QStringList{"STEFAN POP"};
        QTest::newRow("from a day, included") << "" << QDate(2026, 3, 2) << QDate() << all.mid(1);
        QTest::newRow("up to a day, included")
            << "" << QDate() << QDate(2026, 3, 2) << all.mid(0, 2);
        QTest::newRow("range and name")
            << "a" << QDate(2026, 3, 2) << QDate(2026, 3, 3) << QStringList{"STEFAN POP", "Ana"};
        QTest::newRow("nothing") << "zz" << QDate() << QDate() << QStringList{};
    }
    void nameAndDateFilters()
    {
        QFETCH(QString, name);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, shown);
        TestTable table;
        table.setRows({row("Ștefan Ioniță", {2026, 3, 1}, 5), row("STEFAN POP", {2026, 3, 2}, 7),
                       row("Ana", {2026, 3, 3}, 9), row("Ştefania", {2026, 3, 4}, 2)});
        table.setFilter(name, from, to);
        QCOMPARE(shownPupils(table), shown);
        QCOMPARE(table.rowCount(), shown.size());
    }

    void sortingByAColumnKeepsTheFilter_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("grade up") << int(TestTable::Grade) << int(Qt::AscendingOrder)
                                  << QStringList{"bogdan", "Dan", "Ana", "Cora"};
        QTest::newRow("grade down") << int(TestTable::Grade) << int(Qt::DescendingOrder)
                                    << QStringList{"Cora", "Ana", "Dan", "bogdan"};
        QTest::newRow("name, any case") << int(TestTable::Pupil) << int(Qt::AscendingOrder)
                                        << QStringList{"Ana", "bogdan", "Cora", "Dan"};
        QTest::newRow("stopwatch") << int(TestTable::Stopwatch) << int(Qt::AscendingOrder)
                                   << QStringList{"Cora", "Ana", "bogdan", "Dan"};
        QTest::newRow("date down") << int(TestTable::Date) << int(Qt::DescendingOrder)
                                   << QStringList{"Dan", "Cora", "bogdan", "Ana"};
    }
    void sortingByAColumnKeepsTheFilter()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, shown);
        TestTable table;
        table.setRows({row("Ana", {2026, 1, 1}, 8, 30), row("bogdan", {2026, 1, 2}, 5, 40),
                       row("Emil", {2026, 1, 3}, 1, 1), row("Cora", {2026, 1, 4}, 10, 20),
                       row("Dan", {2026, 1, 5}, 5, 50)});
        table.setFilter("a", {}, {});
        table.sort(column, Qt::SortOrder(order));
        QCOMPARE(shownPupils(table), shown);
        table.setFilter("", {}, {});
        QCOMPARE(table.shownCount(), 5);
    }

    void csvBytes()
    {
        const QByteArray bytes = culegere::csvBytes(
            {"Nume", "Procent"},
            {{"Ana; Maria", decimalText(58.333, 1)}, {"Ion \"Nelu\"", "7"}, {"Ștefan", ""}});
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF"
                                   "Nume;Procent\r\n"
                                   "\"Ana; Maria\";58,3\r\n"
                                   "\"Ion \"\"Nelu\"\"\";7\r\n"
                                   "\xC8\x98tefan;\r\n"));
        QCOMPARE(decimalText(0.5, 2), QString("0,50"));
    }
};

QTEST_GUILESS_MAIN(TstArchive)
#include "tst_archive.moc"
