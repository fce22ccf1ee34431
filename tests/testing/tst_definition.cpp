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
        const QList<QPair<QByteArray, int>> rows = {
            {"Ecuatii", 4}, {"Fractii", 5}, {"Geometrie", 2}, {"Gol", 0}, {"Arii - volume", 6}};
        for (const auto &[name, total] : rows)
            test::addChapter(collection, name, qint16(total));
        for (int i = 0; i < 11; ++i)
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
    // Steps "text|count" (Adauga), "set" (Seteaza), "whole" and "chapters"
    // (the two options) and "open": which additions are taken, what the
    // definition then holds, the last "Seteaza" and the state (chapter
    // choice and "Ok" usable, the definition set, the whole collection). A
    // refused total empties the definition; a chapter is taken once, never
    // for more problems than it holds, only by a name a chapter has, and
    // only up to ten; once accepted, a per-chapter definition takes no more
    // (so the draw never meets a total above nine); an opening forgets it.
    void chapters_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("held");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("state");
        QTest::newRow("4 + 5") << QStringList{"4--Ecuatii|4", "5--Fractii|5", "set"} << "11"
                               << "Ecuatii:4 Fractii:5" << int(Outcome::Accepted) << "0110";
        QTest::newRow("a dash in a name")
            << QStringList{" 6--Arii - volume|4", "5--Fractii|5", "set"} << "11"
            << "Arii - volume:4 Fractii:5" << int(Outcome::Accepted) << "0110";
        QTest::newRow("4 + 4 + 2 = 10")
            << QStringList{"4--Ecuatii|4", "5--Fractii|4", "2--Geometrie|2", "set"} << "111"
            << "" << int(Outcome::Refused) << "1000";
        QTest::newRow("4 of a chapter of 4, then 5")
            << QStringList{"4--Ecuatii|4", "4--Ecuatii|5"} << "10"
            << "Ecuatii:4" << -1 << "1000";
        QTest::newRow("5 of a chapter of 4") << QStringList{"4--Ecuatii|5"} << "0"
                                             << "" << -1 << "1000";
        QTest::newRow("twice") << QStringList{"5--Fractii|2", "5--Fractii|2"} << "10"
                               << "Fractii:2" << -1 << "1000";
        QTest::newRow("nothing typed") << QStringList{"|1"} << "0"
                                       << "" << -1 << "1000";
        QTest::newRow("no dash: the name from its second letter")
            << QStringList{"Fractii|1", "XFractii|1"} << "01"
            << "Fractii:1" << -1 << "1000";
        QTest::newRow("a name of no chapter, in a row once holding one")
            << QStringList{"5--Fractii|1", "set", "5--Nimic|1"} << "10"
            << "" << int(Outcome::Refused) << "1000";
        QStringList eleven, ten;
        for (int i = 0; i < 11; ++i) {
            eleven.append(QStringLiteral("9--C%1|1").arg(i));
            ten.append(QStringLiteral("C%1:1").arg(i));
        }
        ten.removeLast();
        QTest::newRow("an eleventh chapter")
            << eleven << "11111111110" << ten.join(u' ') << -1 << "0000";
        QTest::newRow("the whole collection") << QStringList{"whole", "set"} << ""
                                              << "" << int(Outcome::WholeCollection) << "0111";
        QTest::newRow("the whole collection set, chapters chosen: Ok waits")
            << QStringList{"whole", "set", "chapters"} << ""
            << "" << int(Outcome::WholeCollection) << "1011";
        QTest::newRow("accepted per chapter, the whole collection and back")
            << QStringList{"4--Ecuatii|4", "5--Fractii|5",   "set", "whole",
                           "chapters",     "2--Geometrie|1", "set"}
            << "110"
            << "Ecuatii:4 Fractii:5" << int(Outcome::Accepted) << "0110";
        QTest::newRow("opened again")
            << QStringList{"4--Ecuatii|4", "5--Fractii|5", "set", "open"} << "11"
            << "" << int(Outcome::Accepted) << "0000";
    }
    void chapters()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, added);
        QFETCH(QString, held);
        QFETCH(int, outcome);
        QFETCH(QString, state);
        Fixture f;
        QString taken;
        int last = -1;
        for (const QString &step : steps) {
            if (step == "set")
                last = int(f.editor.set());
            else if (step == "whole" || step == "chapters")
                f.editor.chooseMode(step == "chapters");
            else if (step == "open")
                f.editor.open();
            else
                taken += f.add(step.section(u'|', 0, 0), step.section(u'|', 1).toInt()) ? '1' : '0';
        }
        QCOMPARE(taken, added);
        QCOMPARE(f.chosen(), held);
        QCOMPARE(last, outcome);
        const DefinitionControls c = f.editor.controls();
        QCOMPARE(QString("%1%2%3%4")
                     .arg(int(c.chapterChoice))
                     .arg(int(c.ok))
                     .arg(int(f.definition.TestIsSet))
                     .arg(int(f.definition.TestWholeCollection)),
                 state);
    }
};

QTEST_GUILESS_MAIN(TstDefinition)
#include "tst_definition.moc"
