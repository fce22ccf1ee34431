// The rules of a test definition: the combo's lines and names, "Adauga" and
// "Seteaza", without the screen.
#include "support/temp_app_folder.h"
#include "testing/definition_rules.h"

#include <QtTest>

using namespace culegere;
using Outcome = DefinitionEditor::SetOutcome;

namespace {

struct Fixture
{
    Collection collection;
    TestDefinition definition;
    DefinitionEditor editor{definition, collection};

    Fixture()
    {
        test::addChapter(collection, "Ecuatii", 4);
        test::addChapter(collection, "Fractii", 5);
        test::addChapter(collection, "Geometrie", 2);
        test::addChapter(collection, "Gol", 0);
        test::addChapter(collection, "Arii - volume", 6);
        editor.open();
        editor.chooseMode(true);
    }
    // Chooses the chapter from its combo line and presses "Adauga".
    bool add(int row, int count)
    {
        const QString line = chapterEntryText(collection.ChapterTable[row]).trimmed();
        editor.takeName(line);
        editor.validate(line);
        return editor.add(line, count);
    }
};

} // namespace

class TstDefinition : public QObject
{
    Q_OBJECT

private slots:
    void entryText_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("line");
        QTest::newRow("count with a blank sign") << QByteArray("Ecuatii") << 12 << " 12--Ecuatii";
        QTest::newRow("empty chapter") << QByteArray("Gol") << 0 << " 0--Gol";
        QTest::newRow("negative count") << QByteArray("X") << -3 << "-3--X";
        QTest::newRow("name trimmed") << QByteArray("  Arii ") << 7 << " 7--Arii";
    }
    void entryText()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, total);
        QFETCH(QString, line);
        ChapterRecord chapter;
        chapter.Name.assign(name);
        chapter.ProblemTotal = qint16(total);
        QCOMPARE(chapterEntryText(chapter), line);
    }

    void nameExtraction_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("chosen line") << "12--Ecuatii" << QByteArray("Ecuatii");
        QTest::newRow("untrimmed line") << " 12--Ecuatii" << QByteArray("Ecuatii");
        QTest::newRow("name holding a dash") << "6--Arii - volume" << QByteArray("Arii - volume");
        QTest::newRow("no dash: from the second character") << "Ecuatii" << QByteArray("cuatii");
        QTest::newRow("empty") << "" << QByteArray();
    }
    void nameExtraction()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, name);
        QCOMPARE(extractChapterName(text), FixedText<100>::fromBytes(name));
    }

    void perChapterTotals_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<int>("outcome");
        QTest::newRow("no chapter: total 0")
            << QList<int>{} << QList<int>{} << int(Outcome::Refused);
        QTest::newRow("4 + 5") << QList<int>{2, 3} << QList<int>{4, 5} << int(Outcome::Accepted);
        QTest::newRow("4 + 4 + 2 = 10")
            << QList<int>{2, 3, 4} << QList<int>{4, 4, 2} << int(Outcome::Refused);
        QTest::newRow("a dash in a name")
            << QList<int>{6, 3} << QList<int>{4, 5} << int(Outcome::Accepted);
    }
    void perChapterTotals()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, counts);
        QFETCH(int, outcome);
        Fixture f;
        for (int i = 0; i < rows.size(); ++i)
            QVERIFY(f.add(rows[i], counts[i]));
        QCOMPARE(int(f.editor.set()), outcome);
        const bool accepted = outcome == int(Outcome::Accepted);
        QCOMPARE(f.definition.TestIsSet, accepted);
        QCOMPARE(f.definition.TestWholeCollection, false);
        // A refused definition is discarded.
        QCOMPARE(f.definition.TestChapterCount, accepted ? rows.size() : 0);
    }

    void refusedChapters_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("added");
        QTest::newRow("5 of a chapter of 4") << 2 << 5 << false;
        QTest::newRow("4 of a chapter of 4") << 2 << 4 << true;
        QTest::newRow("a chapter of 0, the least count") << 5 << 1 << false;
    }
    void refusedChapters()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(bool, added);
        Fixture f;
        QCOMPARE(f.add(row, count), added);
        QCOMPARE(f.definition.TestChapterCount, added ? 1 : 0);
        if (added) {
            QCOMPARE(f.definition.TestChapters[0].DrawCount, count);
            QCOMPARE(f.definition.TestChapters[0].ProblemTotal, 4);
            QCOMPARE(f.editor.lastAddedName(), f.collection.ChapterTable[row].Name);
        }
    }

    void typedNameOfNoChapterIsRefused()
    {
        Fixture f;
        // The row once held a chapter of 5; a typed name must not inherit it.
        QVERIFY(f.add(3, 1));
        f.editor.set(); // refused, the definition is emptied
        QCOMPARE(f.definition.TestChapterCount, 0);
        f.editor.takeName("5--Nimic");
        f.editor.validate("5--Nimic");
        QVERIFY(!f.editor.add("5--Nimic", 1));
        QVERIFY(!f.editor.add("", 1));
        QCOMPARE(f.definition.TestChapterCount, 0);
    }

    void chapterCannotBeAddedTwice()
    {
        Fixture f;
        QVERIFY(f.add(3, 2));
        QVERIFY(!f.add(3, 2));
        QCOMPARE(f.definition.TestChapterCount, 1);
    }

    void eleventhChapterIsRefused()
    {
        Collection collection;
        for (int i = 0; i < 11; ++i)
            test::addChapter(collection, "C" + QByteArray::number(i), 9);
        TestDefinition definition;
        DefinitionEditor editor(definition, collection);
        editor.chooseMode(true);
        for (int i = 0; i < 10; ++i) {
            const QString line = chapterEntryText(collection.ChapterTable[2 + i]).trimmed();
            editor.validate(line);
            QVERIFY(editor.add(line, 1));
        }
        QVERIFY(editor.isFull());
        const QString last = chapterEntryText(collection.ChapterTable[12]).trimmed();
        editor.takeName(last); // writes nowhere
        editor.validate(last);
        QVERIFY(!editor.add(last, 1));
        QCOMPARE(definition.TestChapterCount, 10);
        QCOMPARE(editor.controls(), (DefinitionControls{false, false}));
    }

    void wholeCollectionThenPerChapter()
    {
        Fixture f;
        f.editor.chooseMode(false);
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, false}));
        QCOMPARE(f.editor.set(), Outcome::WholeCollection);
        QVERIFY(f.definition.TestIsSet);
        QVERIFY(f.definition.TestWholeCollection);
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, true}));
        f.editor.chooseMode(true); // "Ok" waits for the chapters
        QCOMPARE(f.editor.controls(), (DefinitionControls{true, false}));
        QVERIFY(f.add(2, 4));
        QVERIFY(f.add(3, 5));
        QCOMPARE(f.editor.set(), Outcome::Accepted);
        QVERIFY(!f.definition.TestWholeCollection);

        f.editor.open(); // the next opening
        QVERIFY(!f.definition.TestIsSet);
        QVERIFY(!f.definition.TestWholeCollection);
        QCOMPARE(f.definition.TestChapterCount, 0);
        QVERIFY(!f.editor.perChapter());
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, false}));
    }

    // Once accepted, a per-chapter definition takes no more chapters, so the
    // draw never meets a total above nine.
    void anAcceptedDefinitionIsClosed()
    {
        Fixture f;
        QVERIFY(f.add(2, 4));
        QVERIFY(f.add(3, 5));
        QCOMPARE(f.editor.set(), Outcome::Accepted);
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, true}));
        QVERIFY(!f.add(4, 1));
        f.editor.chooseMode(false);
        f.editor.chooseMode(true);
        QVERIFY(!f.add(4, 1));
        QCOMPARE(f.definition.TestChapterCount, 2);
        QCOMPARE(f.editor.set(), Outcome::Accepted);
    }

    void chapterLinesFollowTheTable()
    {
        Fixture f;
        QCOMPARE(f.editor.chapterLines(),
                 QStringList({" 4--Ecuatii", " 5--Fractii", " 2--Geometrie", " 0--Gol",
                              " 6--Arii - volume"}));
    }
};

QTEST_GUILESS_MAIN(TstDefinition)
#include "tst_definition.moc"
