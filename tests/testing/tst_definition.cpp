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

    explicit Fixture(int chapters = 0)
    {
        const QList<QPair<QByteArray, int>> rows = {
            {"Ecuatii", 4}, {"Fractii", 5}, {"Geometrie", 2}, {"Gol", 0}, {"Arii - volume", 6}};
        for (const auto &[name, total] : rows)
            test::addChapter(collection, name, qint16(total));
        for (int i = 0; i < chapters; ++i)
            test::addChapter(collection, "C" + QByteArray::number(i), 9);
        editor.open();
        editor.chooseMode(true);
    }
    // The combo's text typed or chosen, then left, then "Adauga".
    bool add(const QString &text, int count)
    {
        editor.takeName(text);
        editor.validate(text);
        return editor.add(text, count);
    }
    QString chosen() const
    {
        QStringList out;
        for (int i = 0; i < definition.TestChapterCount; ++i)
            out.append(definition.TestChapters[i].Name.trimmedText() + ":" +
                       QString::number(definition.TestChapters[i].DrawCount));
        return out.join(u' ');
    }
};

} // namespace

class TstDefinition : public QObject
{
    Q_OBJECT

private slots:
    // Steps "text|count" (Adauga) and "set" (Seteaza): which additions are
    // taken, what the definition then holds, and the last "Seteaza". A
    // refused total empties the definition; a chapter is taken once, never
    // for more problems than it holds, and only by a name a chapter has (a
    // name of no chapter takes nothing from the row it writes into).
    void chapters_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("held");
        QTest::addColumn<int>("outcome");
        QTest::newRow("4 + 5") << QStringList{"4--Ecuatii|4", "5--Fractii|5", "set"} << "11"
                               << "Ecuatii:4 Fractii:5" << int(Outcome::Accepted);
        QTest::newRow("a dash in a name")
            << QStringList{" 6--Arii - volume|4", "5--Fractii|5", "set"} << "11"
            << "Arii - volume:4 Fractii:5" << int(Outcome::Accepted);
        QTest::newRow("4 + 4 + 2 = 10")
            << QStringList{"4--Ecuatii|4", "5--Fractii|4", "2--Geometrie|2", "set"} << "111"
            << "" << int(Outcome::Refused);
        QTest::newRow("no chapter: total 0") << QStringList{"set"} << ""
                                             << "" << int(Outcome::Refused);
        QTest::newRow("4 of a chapter of 4, then 5")
            << QStringList{"4--Ecuatii|4", "4--Ecuatii|5"} << "10"
            << "Ecuatii:4" << -1;
        QTest::newRow("5 of a chapter of 4") << QStringList{"4--Ecuatii|5"} << "0"
                                             << "" << -1;
        QTest::newRow("a chapter of 0") << QStringList{"0--Gol|1"} << "0"
                                        << "" << -1;
        QTest::newRow("twice") << QStringList{"5--Fractii|2", "5--Fractii|2"} << "10"
                               << "Fractii:2" << -1;
        QTest::newRow("nothing typed") << QStringList{"|1"} << "0"
                                       << "" << -1;
        QTest::newRow("no dash: the name from its second letter")
            << QStringList{"Fractii|1", "XFractii|1"} << "01"
            << "Fractii:1" << -1;
        QTest::newRow("a name of no chapter, in a row once holding one")
            << QStringList{"5--Fractii|1", "set", "5--Nimic|1"} << "10"
            << "" << -1;
    }
    void chapters()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, added);
        QFETCH(QString, held);
        QFETCH(int, outcome);
        Fixture f;
        QString taken;
        Outcome last{};
        for (const QString &step : steps) {
            if (step == "set")
                last = f.editor.set();
            else
                taken += f.add(step.section(u'|', 0, 0), step.section(u'|', 1).toInt()) ? '1' : '0';
        }
        QCOMPARE(taken, added);
        QCOMPARE(f.chosen(), held);
        if (outcome < 0)
            return;
        QCOMPARE(int(last), outcome);
        QCOMPARE(f.definition.TestIsSet, outcome == int(Outcome::Accepted));
        QVERIFY(!f.definition.TestWholeCollection);
        QCOMPARE(f.editor.controls(), (DefinitionControls{outcome == int(Outcome::Refused),
                                                          outcome == int(Outcome::Accepted)}));
    }

    void eleventhChapterIsRefused()
    {
        Fixture f(11);
        // One line per chapter: its count with a sign position, "--", its trimmed name.
        QCOMPARE(f.editor.chapterLines().mid(0, 6),
                 QStringList({" 4--Ecuatii", " 5--Fractii", " 2--Geometrie", " 0--Gol",
                              " 6--Arii - volume", " 9--C0"}));
        QCOMPARE(f.editor.chapterLines().size(), 16);
        for (int i = 0; i < 10; ++i)
            QVERIFY(f.add(QStringLiteral("9--C%1").arg(i), 1));
        QVERIFY(f.editor.isFull());
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, false}));
        const TestDefinition before = f.definition;
        QVERIFY(!f.add("9--C10", 1)); // writes nowhere
        QCOMPARE(f.definition.TestChapterCount, 10);
        QCOMPARE(f.definition.TestChapters, before.TestChapters);
    }

    // Once accepted, a per-chapter definition takes no more chapters, so the
    // draw never meets a total above nine; choosing the whole collection and
    // back does not reopen it. The next opening forgets it all.
    void modesAndOpening()
    {
        Fixture f;
        f.editor.chooseMode(false);
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, false}));
        QCOMPARE(f.editor.set(), Outcome::WholeCollection);
        QVERIFY(f.definition.TestIsSet && f.definition.TestWholeCollection);
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, true}));
        f.editor.chooseMode(true); // "Ok" waits for the chapters
        QCOMPARE(f.editor.controls(), (DefinitionControls{true, false}));
        QVERIFY(f.add("4--Ecuatii", 4));
        QVERIFY(f.add("5--Fractii", 5));
        QCOMPARE(f.editor.set(), Outcome::Accepted);
        QVERIFY(!f.definition.TestWholeCollection);
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, true}));
        f.editor.chooseMode(false);
        f.editor.chooseMode(true);
        QVERIFY(!f.add("2--Geometrie", 1));
        QCOMPARE(f.editor.set(), Outcome::Accepted);
        QCOMPARE(f.chosen(), QString("Ecuatii:4 Fractii:5"));

        f.editor.open();
        QVERIFY(!f.definition.TestIsSet && !f.definition.TestWholeCollection);
        QCOMPARE(f.definition.TestChapterCount, 0);
        QVERIFY(!f.editor.perChapter());
        QCOMPARE(f.editor.controls(), (DefinitionControls{false, false}));
    }
};

QTEST_GUILESS_MAIN(TstDefinition)
#include "tst_definition.moc"
