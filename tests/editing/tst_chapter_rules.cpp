// Adding, deleting and renaming chapters on the tables.
#include "editing/chapter_rules.h"
#include "store/collection_io.h"
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
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        list.append(c.ChapterTable[row].Name.trimmedText());
    return list;
}

// Chapters `names`, and problems filed under `filed`, in this order.
Collection catalogue(const QStringList &names, const QStringList &filed = {})
{
    Collection c;
    for (const QString &name : names)
        test::addChapter(c, name.toLatin1());
    for (const QString &name : filed)
        test::addProblem(c, name.toLatin1(), test::pictureIndex(c.ProblemCount + 1));
    return c;
}

} // namespace

class TstChapterRules : public QObject
{
    Q_OBJECT

private slots:
    // A name is compared as it would be stored: cut at its field of 100
    // bytes, a character outside the code page as "?". What is added leaves the counter after the
    // name, and the next chapter, as they should be.
    void adding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QByteArray>("stored");
        const QString emoji = QStringLiteral("\U0001F4D0").repeated(120);
        QTest::newRow("new") << "D" << int(Added::Added) << QByteArray("D");
        QTest::newRow("same name") << "A" << int(Added::Exists) << QByteArray();
        QTest::newRow("other letter case") << "a" << int(Added::Added) << QByteArray("a");
        QTest::newRow("blanks around a name") << "  B " << int(Added::Exists) << QByteArray();
        QTest::newRow("empty") << "" << int(Added::EmptyName) << QByteArray();
        QTest::newRow("102 letters")
            << QString(100, u'x') + "yz" << int(Added::Added) << QByteArray(100, 'x');
        QTest::newRow("120 emoji") << emoji << int(Added::Added) << QByteArray(100, '?');
    }
    void adding()
    {
        QFETCH(QString, name);
        QFETCH(int, outcome);
        QFETCH(QByteArray, stored);
        Collection c = catalogue({"A", "B"});
        ChapterRules rules(c);
        QCOMPARE(int(rules.add(name)), outcome);
        QCOMPARE(rules.add("Vecin"), Added::Added);
        const QByteArray caps = chaptersFileForExit({}, c);
        const int size = ChapterRecord::Size;
        QCOMPARE(caps.size(), (c.ChapterCount + 1) * size);
        QCOMPARE(caps.mid(c.ChapterCount * size, 100), QByteArray("Vecin").leftJustified(100));
        if (outcome != int(Added::Added))
            return;
        QCOMPARE(caps.mid(3 * size, size), stored.leftJustified(100) + QByteArray(size - 100, 0));
        QCOMPARE(findChapter(c, name), 4);
        QCOMPARE(rules.add(name), Added::Exists);
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

    // The last chapter takes the row deleted. One whose counter says it holds
    // problems stays, and so does one with a problem filed under it while
    // its counter is one short (the problem is open in the editor).
    void deleting_data()
    {
        QTest::addColumn<QStringList>("chapters");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("counter"); // of C
        QTest::addColumn<int>("filed");   // under C
        QTest::addColumn<QStringList>("left");
        const QStringList abc = {"A", "B", "C"};
        QTest::newRow("first") << abc << 0 << 0 << 0 << QStringList{"C", "B"};
        QTest::newRow("last") << abc << 2 << 0 << 0 << QStringList{"A", "B"};
        QTest::newRow("the only one") << QStringList{"C"} << 0 << 0 << 0 << QStringList{};
        QTest::newRow("nothing chosen") << abc << -1 << 0 << 0 << abc;
        QTest::newRow("past the list") << abc << 3 << 0 << 0 << abc;
        QTest::newRow("its counter one short") << abc << 2 << 0 << 1 << abc;
        QTest::newRow("its counter says one") << abc << 2 << 1 << 0 << abc;
    }
    void deleting()
    {
        QFETCH(QStringList, chapters);
        QFETCH(int, position);
        QFETCH(int, counter);
        QFETCH(int, filed);
        QFETCH(QStringList, left);
        Collection c = catalogue(chapters, QStringList(filed, "C"));
        c.ChapterTable[c.lastChapterRow()].ProblemTotal = qint16(counter);
        const Deleted outcome =
            left == chapters ? counter + filed > 0 ? Deleted::HasProblems : Deleted::NothingSelected
                             : Deleted::Deleted;
        QCOMPARE(ChapterRules(c).remove(position), outcome);
        QCOMPARE(names(c), left);
    }

    // A rename takes every problem filed under the old name along, also when
    // no chapter has that name any more; a refused one changes nothing.
    void renaming_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("filed");
        QTest::newRow("A to Algebra") << true << "A"
                                      << "Algebra" << int(Renamed::Renamed) << 2
                                      << QStringList{"Algebra", "B", "Algebra", "Vechi"};
        QTest::newRow("a gone name")
            << true << "Vechi"
            << "Nou" << int(Renamed::Renamed) << 0 << QStringList{"A", "B", "A", "Nou"};
        const QStringList same = {"A", "B", "A", "Vechi"};
        QTest::newRow("nothing chosen") << false << "A"
                                        << "X" << int(Renamed::NothingSelected) << 0 << same;
        QTest::newRow("no new name") << true << "A"
                                     << "" << int(Renamed::EmptyName) << 0 << same;
        QTest::newRow("a test under way") << true << "A"
                                          << "X" << int(Renamed::Refused) << 0 << same;
        QTest::newRow("A to A") << true << "A"
                                << "A" << int(Renamed::Exists) << 0 << same;
        QTest::newRow("A to B, blanks around") << true << "A"
                                               << " B " << int(Renamed::Exists) << 0 << same;
    }
    void renaming()
    {
        QFETCH(bool, chosen);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, outcome);
        QFETCH(int, row);
        QFETCH(QStringList, filed);
        Collection c = catalogue({"A", "B", "C"}, {"A", "B", "A", "Vechi"});
        int renamed = -1;
        ChapterRules rules(c);
        rules.lock(outcome == int(Renamed::Refused));
        QCOMPARE(int(rules.rename(chosen, from, to, &renamed)), outcome);
        if (rules.locked()) // no change at all
            QVERIFY(rules.add("Nou") == Added::Refused && rules.remove(0) == Deleted::Refused);
        QCOMPARE(renamed, row);
        QCOMPARE(names(c), QStringList({row == 2 ? to : "A", "B", "C"}));
        QStringList chapters;
        for (int p = Collection::FirstRow; p <= c.lastProblemRow(); ++p)
            chapters.append(c.ProblemTable[p].Chapter.Name.trimmedText());
        QCOMPARE(chapters, filed);
    }

    void recount()
    {
        Collection c = catalogue({"A", "B", "C"}, {"A", "  A ", "C", "Z"});
        c.ChapterTable[2].ProblemTotal = 9;
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
