// Adding, deleting and renaming chapters on the tables.
#include "editing/chapter_rules.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;
using Added = ChapterRules::Added;
using Deleted = ChapterRules::Deleted;
using Renamed = ChapterRules::Renamed;

namespace {

QStringList names(const Collection &c)
{
    QStringList list;
    for (int row = 2; row <= c.lastChapterRow(); ++row)
        list.append(c.ChapterTable[row].Name.trimmedText());
    return list;
}

Collection abc()
{
    Collection c;
    test::addChapter(c, "A");
    test::addChapter(c, "B");
    test::addChapter(c, "C");
    return c;
}

} // namespace

class TstChapterRules : public QObject
{
    Q_OBJECT

private slots:
    void adding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("outcome");
        QTest::newRow("new") << "D" << int(Added::Added);
        QTest::newRow("same name") << "A" << int(Added::Exists);
        QTest::newRow("other letter case") << "a" << int(Added::Added);
        QTest::newRow("blanks around an existing name") << "  B " << int(Added::Exists);
        QTest::newRow("empty") << "" << int(Added::EmptyName);
    }
    void adding()
    {
        QFETCH(QString, name);
        QFETCH(int, outcome);
        Collection c = abc();
        ChapterRules rules(c);
        QCOMPARE(int(rules.add(name)), outcome);
        QCOMPARE(c.ChapterCount, outcome == int(Added::Added) ? 4 : 3);
        if (outcome == int(Added::Added)) {
            QCOMPARE(c.ChapterTable[5].Name, FixedText<100>::fromText(name));
            QCOMPARE(c.ChapterTable[5].ProblemTotal, 0);
        }
    }

    void longNameIsStoredCut()
    {
        Collection c;
        ChapterRules rules(c);
        const QString name = QString(100, u'x') + QStringLiteral("yz");
        QCOMPARE(rules.add(name), Added::Added);
        QCOMPARE(c.ChapterTable[2].Name.bytes(), QByteArray(100, 'x'));
        QCOMPARE(rules.add(name), Added::Exists); // the same chapter once stored
    }

    void fiftiethChapterIsRefused()
    {
        Collection c;
        ChapterRules rules(c);
        for (int i = 0; i < 49; ++i)
            QCOMPARE(rules.add(QString::number(i)), Added::Added);
        const ChapterRecord untouched = c.ChapterTable[50];
        QCOMPARE(rules.add("50"), Added::Full);
        QCOMPARE(c.ChapterCount, 49);
        QCOMPARE(c.ChapterTable[50], untouched);
    }

    void deleting_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first of A, B, C") << 0 << QStringList({"C", "B"});
        QTest::newRow("middle") << 1 << QStringList({"A", "C"});
        QTest::newRow("last") << 2 << QStringList({"A", "B"});
        QTest::newRow("nothing selected") << -1 << QStringList({"A", "B", "C"});
    }
    void deleting()
    {
        QFETCH(int, position);
        QFETCH(QStringList, left);
        Collection c = abc();
        ChapterRules rules(c);
        QCOMPARE(rules.remove(position),
                 position < 0 ? Deleted::NothingSelected : Deleted::Deleted);
        QCOMPARE(names(c), left);
    }

    void deletingTheOnlyChapter()
    {
        Collection c;
        test::addChapter(c, "Singur");
        QCOMPARE(ChapterRules(c).remove(0), Deleted::Deleted);
        QCOMPARE(c.ChapterCount, 0);
    }

    void chapterWithProblemsStays_data()
    {
        QTest::addColumn<int>("total");
        QTest::newRow("counter says so") << 1;
        QTest::newRow("counter one short: its problem is open in the editor") << 0;
    }
    void chapterWithProblemsStays()
    {
        QFETCH(int, total);
        Collection c = abc();
        c.ChapterTable[4].ProblemTotal = qint16(total);
        test::addProblem(c, "C", "00001");
        QCOMPARE(ChapterRules(c).remove(2), Deleted::HasProblems); // even the last
        QCOMPARE(names(c), QStringList({"A", "B", "C"}));
    }

    void renaming()
    {
        Collection c = abc();
        test::addProblem(c, "A", "00001");
        test::addProblem(c, "B", "00002");
        test::addProblem(c, "A", "00003");
        ChapterRules rules(c);
        int row = -1;
        QCOMPARE(rules.rename(true, "A", "Algebra", &row), Renamed::Renamed);
        QCOMPARE(row, 2);
        QCOMPARE(names(c), QStringList({"Algebra", "B", "C"}));
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("Algebra"));
        QCOMPARE(c.ProblemTable[3].Chapter.Name.trimmed(), QByteArray("B"));
        QCOMPARE(c.ProblemTable[4].Chapter.Name.trimmed(), QByteArray("Algebra"));
    }

    void renameRefusals_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<int>("outcome");
        QTest::newRow("nothing clicked") << false << "X" << int(Renamed::NothingSelected);
        QTest::newRow("no new name") << true << "" << int(Renamed::EmptyName);
        QTest::newRow("A to A") << true << "A" << int(Renamed::Exists);
        QTest::newRow("A to B") << true << "B" << int(Renamed::Exists);
    }
    void renameRefusals()
    {
        QFETCH(bool, selected);
        QFETCH(QString, newName);
        QFETCH(int, outcome);
        Collection c = abc();
        test::addProblem(c, "A", "00001");
        QCOMPARE(int(ChapterRules(c).rename(selected, "A", newName)), outcome);
        QCOMPARE(names(c), QStringList({"A", "B", "C"}));
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("A"));
    }

    void renameOfAGoneNameStillRenamesItsProblems()
    {
        Collection c = abc();
        test::addProblem(c, "Vechi", "00001"); // filed under a name no chapter has
        int row = -1;
        QCOMPARE(ChapterRules(c).rename(true, "Vechi", "Nou", &row), Renamed::Renamed);
        QCOMPARE(row, 0);
        QCOMPARE(names(c), QStringList({"A", "B", "C"}));
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("Nou"));
    }

    void recount()
    {
        Collection c = abc();
        c.ChapterTable[2].ProblemTotal = 9;
        test::addProblem(c, "A", "00001");
        test::addProblem(c, "  A ", "00002");
        test::addProblem(c, "C", "00003");
        test::addProblem(c, "Z", "00004");
        recountChapters(c);
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 2);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 0);
        QCOMPARE(c.ChapterTable[4].ProblemTotal, 1);
        QCOMPARE(findChapter(c, " B "), 3);
        QCOMPARE(findChapter(c, "b"), 0);
    }
};

QTEST_GUILESS_MAIN(TstChapterRules)
#include "tst_chapter_rules.moc"
