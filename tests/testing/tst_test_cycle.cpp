// A test taken through the screens, by the controls' names: the definition,
// the draw, answering, the correction with its record on disk, the user,
// the stopwatch and the reset, with the main screen's phases at each step;
// and every event the main screen and the definition screen offer, from
// every state of their tables, leads to a state of their tables.
#include "archive/result_archive.h"
#include "store/collection_io.h"
#include "store/record_file.h"
#include "support/file_size_limit.h"
#include "support/running_app.h"
#include "support/screen_table.h"
#include "support/user_input.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace culegere;
using test::child;
using test::click;
using test::topLevel;

namespace {

// Chapters A (5 problems, rows 2..6), B (4, rows 7..10), Gol (none), and
// Benzi de completare (2, rows 11..12). Correct answers cycle a..e.
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "A", 5);
    test::addChapter(c, "B", 4);
    test::addChapter(c, "Gol", 0);
    test::addChapter(c, "Benzi de completare", 2);
    int index = 1;
    for (const auto &[chapter, count] :
         {std::pair<QByteArray, int>{"A", 5}, {"B", 4}, {"Benzi de completare", 2}}) {
        for (int i = 0; i < count; ++i, ++index)
            test::addProblem(c, chapter, test::pictureIndex(index), qint16(index % 5));
    }
    return c;
}

struct Cycle : test::RunningApp
{
    Cycle() : RunningApp(catalogue())
    {
        for (int i = 1; i <= 12; ++i)
            dir.addPicture(test::pictureIndex(i));
    }

    QPushButton *button(const QString &name) const { return control<QPushButton>(name); }
    QWidget *definition() const { return topLevel("frmDefTest"); }
    template <typename T> T *def(const QString &name) const { return child<T>(definition(), name); }

    // The main screen's phase, control by control (1 on, 0 off): the test
    // buttons; the variants shown and open, the check marks shown; the menu
    // items mnuAddCap, mnuRezolva, mnuSeteazaProbl, mnuPrint; a grade shown,
    // the stopwatch running.
    QString phase() const
    {
        auto on = [](bool b) { return b ? '1' : '0'; };
        QString s;
        for (const char *name : {"btnDefTest", "Command4", "Command1", "Command2", "Command3",
                                 "Command5", "Command6", "btnStartCrono"})
            s += on(button(name)->isEnabled());
        s += ' ';
        auto *option = control<QRadioButton>("Option1_0");
        s += on(option->isVisibleTo(main()));
        s += on(option->isEnabled());
        s += on(control<QCheckBox>("Check1_0")->isVisibleTo(main()));
        s += ' ';
        for (const char *name : {"mnuAddCap", "mnuRezolva", "mnuSeteazaProbl", "mnuPrint"})
            s += on(action(name)->isEnabled());
        s += ' ';
        s += on(!control<QLineEdit>("Text2")->text().isEmpty());
        s += on(control<QTimer>("Timer1")->isActive());
        return s;
    }

    void chooseLine(const QString &chapter)
    {
        auto *combo = def<QComboBox>("Combo1");
        test::chooseLine(combo, test::lineEndingWith(combo, "--" + chapter));
    }
    void addChapter(const QString &chapter, int count)
    {
        chooseLine(chapter);
        def<QScrollBar>("HScroll1")->setValue(count);
        click(def<QPushButton>("Command2"));
    }
    // Opens the definition screen, with "Pe capitole" marked when `perChapter`.
    void openDefinition(bool perChapter = false)
    {
        click(button("btnDefTest"));
        if (perChapter)
            click(def<QRadioButton>("Option2"));
    }
    void pressOnDefinition(const char *name) { click(def<QPushButton>(name)); }
    // Accepts B (4) then A (5), the definition screen still open.
    void acceptPerChapter()
    {
        openDefinition(true);
        addChapter("B", 4);
        addChapter("A", 5);
        pressOnDefinition("Command1");
    }
    // Defines B (4) then A (5) and returns to the main screen.
    void definePerChapter()
    {
        acceptPerChapter();
        pressOnDefinition("Command3");
    }
    void defineWholeCollection()
    {
        openDefinition();
        pressOnDefinition("Command1");
        pressOnDefinition("Command3");
    }
    // A drawn test with the first `right` positions answered right, the rest wrong.
    void answeredTest(bool whole, int right)
    {
        whole ? defineWholeCollection() : definePerChapter();
        click(button("Command4"));
        answer(right);
    }
    // Deletes the problem with picture index `index` in the problem editor,
    // opened before (it stays open while a test runs).
    void deleteProblem(int index)
    {
        QWidget *editor = topLevel("frmSetProblema");
        platform.textAnswers.push_back(test::pictureIndex(index));
        click(child<QPushButton>(editor, "Command1"));
        click(child<QPushButton>(editor, "btnSterge"));
    }
    // The index of the problem shown, read from its picture's name.
    int shownIndex() const
    {
        const QString path = control<QWidget>("Picture1")->property("imagePath").toString();
        return path.right(9).left(5).toInt();
    }
    QString shownChapter() const { return control<QLabel>("Label2")->text().trimmed(); }
    // Marks the right variant at the first `right` positions, a wrong one after.
    void answer(int right)
    {
        for (int p = 0; p < 9; ++p) {
            const int correct = shownIndex() % 5;
            const int variant = p < right ? correct : (correct + 1) % 5;
            click(control<QRadioButton>(QStringLiteral("Option1_%1").arg(variant)));
            click(button("Command1"));
        }
    }
    // The variant marked for the problem shown, -1 for none.
    int marked() const
    {
        for (int i = 0; i < 5; ++i) {
            if (control<QRadioButton>(QStringLiteral("Option1_%1").arg(i))->isChecked())
                return i;
        }
        return -1;
    }
    QByteArray users() const { return dir.read(datafile::Users); }
};

UserRecord recordOnDisk(const QByteArray &file, int n)
{
    return RecordImage(file, UserRecord::Size).record<UserRecord>(n);
}

// The rows of the main screen's table.
const QString kStartup = "10000100 000 1110 00"; // also while the definition screen is open
const QString kDefined = "01000100 000 1110 00";
const QString kDrawn = "01111001 110 0001 00";
const QString kTimed = "01111000 110 0001 01";
const QString kRedrawnTimed = "01111001 110 0001 01"; // a new draw, the stopwatch still counting
const QString kGraded = "00111010 101 0001 10";       // the result not yet written
const QString kCorrected = "00110010 101 0001 10";
const QStringList kMainTable = {kStartup,      kDefined, kDrawn,    kTimed,
                                kRedrawnTimed, kGraded,  kCorrected};

using Route = test::Route<Cycle>;
using Event = test::Event<Cycle>;

std::unique_ptr<Cycle> startCycle()
{
    return std::make_unique<Cycle>();
}

QString mainBreak(Cycle &t)
{
    return kMainTable.contains(t.phase()) ? QString() : "the main screen in " + t.phase();
}

const QList<Route> &mainRoutes()
{
    static const QList<Route> routes = {
        {"start-up", [](Cycle &) {}},
        {"definition open", [](Cycle &t) { click(t.button("btnDefTest")); }},
        {"definition accepted, not taken over",
         [](Cycle &t) {
             t.openDefinition();
             t.pressOnDefinition("Command1");
         }},
        {"definition closed from the frame without Seteaza",
         [](Cycle &t) {
             t.openDefinition();
             t.definition()->close();
         }},
        {"defined", [](Cycle &t) { t.defineWholeCollection(); }},
        {"defined per chapter", [](Cycle &t) { t.definePerChapter(); }},
        {"drawn",
         [](Cycle &t) {
             t.defineWholeCollection();
             click(t.button("Command4"));
         }},
        {"timed",
         [](Cycle &t) {
             t.definePerChapter();
             click(t.button("Command4"));
             click(t.button("btnStartCrono"));
         }},
        {"answered", [](Cycle &t) { t.answeredTest(false, 4); }},
        {"graded, not written",
         [](Cycle &t) {
             t.answeredTest(false, 4);
             test::FileSizeLimit full(t.users().size());
             click(t.button("Command3"));
         }},
        {"corrected",
         [](Cycle &t) {
             t.answeredTest(true, 9);
             click(t.button("Command3"));
         }},
        {"reset",
         [](Cycle &t) {
             t.answeredTest(true, 9);
             click(t.button("Command3"));
             click(t.button("Command6"));
         }},
        {"draw refused",
         [](Cycle &t) {
             t.definePerChapter();
             t.action("mnuSeteazaProbl")->trigger();
             t.deleteProblem(6);
             click(t.button("Command4"));
         }},
    };
    return routes;
}

// Every event of the main screen: its buttons and variants, its menu items,
// its frame close (the exit, failing here to save), and the definition
// screen's "Ok" and frame close, which hand the definition over.
QList<Event> mainEvents()
{
    QList<Event> events;
    auto usable = [](QWidget *w) { return w->isEnabled() && w->isVisibleTo(w->window()); };
    for (const char *name : {"btnDefTest", "Command4", "Command1", "Command2", "Command3",
                             "Command5", "Command6", "btnStartCrono"}) {
        events.append({name, [=](Cycle &t) { return usable(t.button(name)); },
                       [=](Cycle &t) {
                           t.main()->show(); // the print screen may have hidden it
                           click(t.button(name));
                       }});
    }
    events.append({"Command6 answered Nu", [=](Cycle &t) { return usable(t.button("Command6")); },
                   [](Cycle &t) {
                       t.platform.messageAnswers.push_back(false);
                       click(t.button("Command6"));
                   }});
    for (int i = 0; i < 5; ++i) {
        const QString name = QStringLiteral("Option1_%1").arg(i);
        events.append({name, [=](Cycle &t) { return usable(t.control<QRadioButton>(name)); },
                       [=](Cycle &t) { click(t.control<QRadioButton>(name)); }});
    }
    for (const char *name :
         {"mnuSeteazaProbl", "mnuAddCap", "mnuRezultate", "mnuRezolva", "mnuPrint", "mnuBackup",
          "mnuTesteazaIntegritate", "mnuHiphen", "mnuUtilizare", "mnuDespre"}) {
        events.append({name, [=](Cycle &t) { return t.action(name)->isEnabled(); },
                       [=](Cycle &t) { t.action(name)->trigger(); }});
    }
    events.append({"frame close, the save failing", [](Cycle &) { return true; },
                   [](Cycle &t) {
                       test::FileSizeLimit full(0);
                       t.main()->close();
                   }});
    events.append({"definition Ok",
                   [=](Cycle &t) {
                       return t.definition() && t.definition()->isVisible() &&
                              usable(t.def<QPushButton>("Command3"));
                   },
                   [](Cycle &t) { click(t.def<QPushButton>("Command3")); }});
    events.append({"definition frame close",
                   [](Cycle &t) { return t.definition() && t.definition()->isVisible(); },
                   [](Cycle &t) { t.definition()->close(); }});
    return events;
}

// The definition screen's state (1 on, 0 off): "Toata culegerea" and "Pe
// capitole" marked; the chapter box, the count and "Adauga" usable; "Ok".
QString definitionState(Cycle &t)
{
    auto on = [](bool b) { return b ? '1' : '0'; };
    QString s;
    s += on(t.def<QRadioButton>("Option1")->isChecked());
    s += on(t.def<QRadioButton>("Option2")->isChecked());
    s += ' ';
    s += on(t.def<QComboBox>("Combo1")->isEnabled());
    s += on(t.def<QScrollBar>("HScroll1")->isEnabled());
    s += on(t.def<QPushButton>("Command2")->isEnabled());
    s += ' ';
    s += on(t.def<QPushButton>("Command3")->isEnabled());
    return s;
}

// The rows of the definition screen's table.
const QStringList kDefinitionTable = {
    "10 000 0", // the whole collection marked
    "10 000 1", // accepted
    "01 111 0", // chapters being chosen
    "01 000 0", // ten chapters chosen
    "01 000 1", // accepted per chapter: closed for additions
};

// The definition screen, while shown, is in a state of its table; the
// chapters it lists and their counts add up to nine when accepted per
// chapter; each chapter is either offered or listed. The main screen takes
// nothing over before "Ok".
QString definitionBreak(Cycle &t)
{
    if (t.phase() != kStartup && t.phase() != kDefined)
        return "the main screen in " + t.phase();
    if (!t.definition() || !t.definition()->isVisible())
        return {};
    const QString state = definitionState(t);
    if (!kDefinitionTable.contains(state))
        return "the definition screen in " + state;
    auto *list = t.def<QListWidget>("listCap");
    int total = 0;
    for (int i = 0; i < list->count(); ++i)
        total += list->item(i)->text().section("-----", -1).toInt();
    if (list->count() + t.def<QComboBox>("Combo1")->count() != 4)
        return "a chapter neither offered nor listed";
    if (state == "01 000 1" && total != 9)
        return QStringLiteral("accepted with %1 problems").arg(total);
    return {};
}

const QList<Route> &definitionRoutes()
{
    static const QList<Route> routes = {
        {"opened", [](Cycle &t) { t.openDefinition(); }},
        {"whole collection accepted",
         [](Cycle &t) {
             t.openDefinition();
             t.pressOnDefinition("Command1");
         }},
        {"per chapter", [](Cycle &t) { t.openDefinition(true); }},
        {"a line chosen",
         [](Cycle &t) {
             t.openDefinition(true);
             t.chooseLine("B");
             t.def<QScrollBar>("HScroll1")->setValue(4);
         }},
        {"a chapter added",
         [](Cycle &t) {
             t.openDefinition(true);
             t.addChapter("B", 4);
         }},
        {"accepted per chapter", [](Cycle &t) { t.acceptPerChapter(); }},
        {"accepted per chapter, the whole collection marked",
         [](Cycle &t) {
             t.acceptPerChapter();
             click(t.def<QRadioButton>("Option1"));
         }},
        {"whole collection accepted, chapters marked",
         [](Cycle &t) {
             t.openDefinition();
             t.pressOnDefinition("Command1");
             click(t.def<QRadioButton>("Option2"));
             t.addChapter("B", 4);
         }},
        {"opened again after a close without a definition",
         [](Cycle &t) {
             t.openDefinition(true);
             t.addChapter("B", 4);
             t.definition()->close();
             t.openDefinition();
         }},
    };
    return routes;
}

// Every event of the definition screen, and the main screen's button that opens it.
QList<Event> definitionEvents()
{
    auto usable = [](QWidget *w) { return w->isEnabled() && w->isVisible(); };
    QList<Event> events;
    for (const char *name : {"Option1", "Option2"}) {
        events.append({name, [=](Cycle &t) { return usable(t.def<QRadioButton>(name)); },
                       [=](Cycle &t) { click(t.def<QRadioButton>(name)); }});
    }
    for (const char *name : {"Command2", "Command1", "Command3"}) {
        events.append({name, [=](Cycle &t) { return usable(t.def<QPushButton>(name)); },
                       [=](Cycle &t) { click(t.def<QPushButton>(name)); }});
    }
    auto comboUsable = [=](Cycle &t) {
        auto *combo = t.def<QComboBox>("Combo1");
        return usable(combo) && combo->count() > 0;
    };
    events.append({"a line chosen with the mouse", comboUsable,
                   [](Cycle &t) { test::chooseLine(t.def<QComboBox>("Combo1"), 0); }});
    events.append({"a line chosen with the keys", comboUsable,
                   [](Cycle &t) { test::pressKey(t.def<QComboBox>("Combo1"), Qt::Key_Down); }});
    events.append({"the count raised with the keys",
                   [=](Cycle &t) { return usable(t.def<QScrollBar>("HScroll1")); },
                   [](Cycle &t) { test::pressKey(t.def<QScrollBar>("HScroll1"), Qt::Key_Right); }});
    events.append(
        {"frame close", [](Cycle &) { return true; }, [](Cycle &t) { t.definition()->close(); }});
    events.append({"Defineste Test", [=](Cycle &t) { return usable(t.button("btnDefTest")); },
                   [](Cycle &t) { click(t.button("btnDefTest")); }});
    return events;
}

} // namespace

class TstTestCycle : public QObject
{
    Q_OBJECT

private slots:
    void wholeCycle()
    {
        Cycle t;
        QCOMPARE(t.phase(), kStartup);

        click(t.button("btnDefTest"));
        QVERIFY(t.definition() && t.definition()->isVisible());
        QCOMPARE(t.definition()->windowTitle(), QString("Defineste Test"));
        QCOMPARE(t.platform.cueNames(), QStringList{"birds_22khz_lp-1.wav"});
        auto *combo = t.def<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(0), QString(" 5--A"));
        QVERIFY(!combo->isEnabled());
        QVERIFY(!t.def<QPushButton>("Command3")->isEnabled());

        click(t.def<QRadioButton>("Option2"));
        QVERIFY(combo->isEnabled());
        QVERIFY(t.def<QPushButton>("Command2")->isEnabled());
        QVERIFY(t.def<QScrollBar>("HScroll1")->isEnabled());

        t.platform.clear();
        t.addChapter("B", 4);
        t.addChapter("A", 5);
        auto *list = t.def<QListWidget>("listCap");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("4--B-----4"));
        QCOMPARE(list->item(1)->text(), QString("5--A-----5"));
        QCOMPARE(combo->count(), 2); // each chapter is offered once
        QCOMPARE(t.def<QLineEdit>("text1")->text(), QString("5"));
        QCOMPARE(t.platform.cueNames(), QStringList({"setareok.wav", "setareok.wav"}));

        t.platform.clear();
        click(t.def<QPushButton>("Command1"));
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Testul a fost setat cu succes! Have fun!!!"});
        QCOMPARE(t.platform.messages[0].title, QString("Culegere electronica"));
        QCOMPARE(t.platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(t.def<QPushButton>("Command3")->isEnabled());

        t.platform.clear();
        click(t.def<QPushButton>("Command3"));
        QVERIFY(!t.definition()->isVisible());
        QCOMPARE(list->count(), 0);
        QCOMPARE(t.platform.cueNames(), QStringList{"exitform.wav"});
        QCOMPARE(t.phase(), kDefined);

        t.platform.clear();
        click(t.button("Command4"));
        QCOMPARE(t.phase(), kDrawn);
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("0"));
        QCOMPARE(t.control<QLabel>("Label2")->text(), QString("B").leftJustified(100));
        QVERIFY(t.shownIndex() >= 6 && t.shownIndex() <= 9);
        QCOMPARE(t.platform.cueNames(), QStringList{"incarca.wav"});

        // Chapter B fills positions 0..3, A positions 4..8.
        QStringList chapters;
        for (int p = 0; p < 9; ++p) {
            chapters.append(t.shownChapter());
            click(t.button("Command1"));
        }
        QCOMPARE(chapters, QStringList({"B", "B", "B", "B", "A", "A", "A", "A", "A"}));

        t.platform.clear();
        t.answer(5);
        QCOMPARE(t.platform.cueNames(), QStringList(9, "next.wav")); // marking plays nothing

        t.platform.clear();
        click(t.button("Command3"));
        QVERIFY(t.platform.messages.isEmpty());
        QCOMPARE(t.control<QLineEdit>("Text2")->text(), QString("6"));
        for (int p = 0; p < 9; ++p)
            QCOMPARE(t.control<QCheckBox>(QStringLiteral("Check1_%1").arg(p))->isChecked(), p < 5);
        QCOMPARE(t.phase(), kCorrected);
        QCOMPARE(t.platform.cueNames(), QStringList{"exit.wav"});

        const QByteArray expected = userHeader(3) + QByteArray("NoName") + QByteArray(24, ' ') +
                                    QByteArray::fromHex("0600 0000 00000000 00a3e640");
        QCOMPARE(t.users(), expected);

        t.platform.clear();
        click(t.button("Command6"));
        QCOMPARE(t.phase(), kStartup);
        for (const char *name : {"Text1", "Text2", "Text3"})
            QVERIFY(t.control<QLineEdit>(name)->text().isEmpty());
        QVERIFY(t.control<QLabel>("Label2")->text().isEmpty());
        QCOMPARE(t.control<QWidget>("Picture1")->property("imagePath").toString(), QString());
        QCOMPARE(t.platform.cueNames(), QStringList{"incarca.wav"});
    }

    void refusedTotalOffersEveryChapterAgain()
    {
        Cycle t;
        click(t.button("btnDefTest"));
        click(t.def<QRadioButton>("Option2"));
        t.addChapter("A", 4);
        t.addChapter("B", 4);
        t.addChapter("Benzi de completare", 2);
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 1);
        t.platform.clear();
        click(t.def<QPushButton>("Command1"));
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Testul dumneavoastra nu este setat corect - numarul total de "
                             "probleme trebuie sa fie 9"});
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 0);
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 4);
        QVERIFY(!t.def<QPushButton>("Command3")->isEnabled());
        click(t.def<QPushButton>("Command1")); // no chapter: total 0
        QCOMPARE(t.platform.messages.size(), 2);
    }

    void chapterRefusals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("count");
        QTest::newRow("5 of a chapter of 4") << "4--B" << 5;
        QTest::newRow("a chapter of 0") << "0--Gol" << 1;
        QTest::newRow("a name of no chapter") << "9--Nimic" << 1;
        QTest::newRow("nothing typed") << "" << 1;
    }
    void chapterRefusals()
    {
        QFETCH(QString, typed);
        QFETCH(int, count);
        Cycle t;
        click(t.button("btnDefTest"));
        click(t.def<QRadioButton>("Option2"));
        t.def<QComboBox>("Combo1")->setEditText(typed);
        t.def<QScrollBar>("HScroll1")->setValue(count);
        t.platform.clear();
        click(t.def<QPushButton>("Command2"));
        QCOMPARE(t.platform.messageTexts(), QStringList{"Nu ati definit corect capitolul!"});
        QVERIFY(t.platform.cues.isEmpty());
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 0);
    }

    void typedChapterNameIsAccepted()
    {
        Cycle t;
        click(t.button("btnDefTest"));
        click(t.def<QRadioButton>("Option2"));
        t.def<QComboBox>("Combo1")->setEditText("4--B");
        t.def<QScrollBar>("HScroll1")->setValue(4);
        click(t.def<QPushButton>("Command2"));
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 1);
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 3); // its line is gone too
    }

    void tenChaptersCloseTheChoice()
    {
        Collection c;
        for (int i = 0; i < 11; ++i) {
            test::addChapter(c, "C" + QByteArray::number(i), 1);
            test::addProblem(c, "C" + QByteArray::number(i), test::pictureIndex(i + 1));
        }
        test::RunningApp t(c);
        click(t.control<QPushButton>("btnDefTest"));
        QWidget *def = topLevel("frmDefTest");
        click(child<QRadioButton>(def, "Option2"));
        auto *combo = child<QComboBox>(def, "Combo1");
        for (int i = 0; i < 10; ++i) {
            test::chooseLine(combo, 0);
            click(child<QPushButton>(def, "Command2"));
        }
        QCOMPARE(child<QListWidget>(def, "listCap")->count(), 10);
        QVERIFY(!combo->isEnabled());
        QVERIFY(!child<QPushButton>(def, "Command2")->isEnabled());
        // A refused total frees the choice again.
        click(child<QPushButton>(def, "Command1"));
        QVERIFY(combo->isEnabled());
    }

    void wholeCollectionSetting()
    {
        Cycle t;
        click(t.button("btnDefTest"));
        click(t.def<QRadioButton>("Option2"));
        t.addChapter("A", 2);
        click(t.def<QRadioButton>("Option1"));
        QVERIFY(!t.def<QComboBox>("Combo1")->isEnabled());
        t.platform.clear();
        click(t.def<QPushButton>("Command1"));
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Ati ales test din toata culegerea! Apasati Ok pentru revenire in "
                             "ecranul de testare..."});
        QVERIFY(t.platform.cues.isEmpty());
        QVERIFY(t.def<QPushButton>("Command3")->isEnabled());
        QCOMPARE(t.def<QListWidget>("listCap")->count(), 1); // until "Ok"
        click(t.def<QRadioButton>("Option2"));
        QVERIFY(!t.def<QPushButton>("Command3")->isEnabled());
    }

    void frameCloseActsAsOkAndDestroys()
    {
        Cycle t;
        click(t.button("btnDefTest"));
        t.platform.clear();
        QVERIFY(t.definition()->close());
        QCOMPARE(t.platform.cueNames(), QStringList{"exitform.wav"});
        QCOMPARE(t.phase(), kStartup); // nothing set: "Defineste Test" stays, "Start Test" off
        QTRY_VERIFY(!t.definition());

        t.platform.clear();
        click(t.button("btnDefTest"));
        QCOMPARE(t.platform.cueNames(), QStringList{"birds_22khz_lp-1.wav"}); // created anew
        click(t.def<QPushButton>("Command1"));
        click(t.def<QPushButton>("Command3"));
        QCOMPARE(t.phase(), kDefined);
    }

    void okOnlyHides()
    {
        Cycle t;
        t.defineWholeCollection();
        click(t.button("Command4"));
        t.answer(9);
        click(t.button("Command3"));
        click(t.button("Command6"));
        t.platform.clear();
        click(t.button("btnDefTest"));
        QVERIFY(!t.platform.cueNames().contains("birds_22khz_lp-1.wav"));
        QVERIFY(t.def<QRadioButton>("Option1")->isChecked());
        QCOMPARE(t.def<QComboBox>("Combo1")->count(), 4);
    }

    void wholeCollectionNeverDrawsReservedChapters()
    {
        Cycle t;
        t.defineWholeCollection();
        click(t.button("Command4"));
        for (int p = 0; p < 9; ++p) {
            QVERIFY(t.shownIndex() <= 9);
            QVERIFY(t.shownChapter() != "Benzi de completare");
            click(t.button("Command1"));
        }
    }

    // A draw that cannot fill the nine positions draws nothing; "Start Test"
    // comes back only with a new accepted definition, so neither the open
    // definition screen nor one closed without "Ok" can be drawn from.
    void refusedDrawsDrawNothing_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("the first draw") << false;
        QTest::newRow("a new draw during a test") << true;
    }
    void refusedDrawsDrawNothing()
    {
        QFETCH(bool, running);
        Cycle t;
        t.definePerChapter();
        t.action("mnuSeteazaProbl")->trigger();
        if (running) {
            click(t.button("Command4"));
            click(t.button("btnStartCrono"));
        }
        t.deleteProblem(running ? t.shownIndex() : 6); // a problem of B: 3 are left
        const QByteArray before = t.users();
        t.platform.clear();
        click(t.button("Command4"));
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Capitolul B are acum mai putine probleme decat cere testul! "
                             "Definiti testul din nou..."});
        QVERIFY(t.platform.cues.isEmpty());
        QCOMPARE(t.phase(), kStartup);
        QCOMPARE(t.control<QWidget>("Picture1")->property("imagePath").toString(), QString());
        QVERIFY(t.control<QLineEdit>("Text1")->text().isEmpty());

        click(t.button("btnDefTest"));
        QCOMPARE(t.phase(), kStartup);
        click(t.def<QPushButton>("Command1")); // accepted, not yet taken over
        QCOMPARE(t.phase(), kStartup);
        t.platform.clear();
        QTest::mouseClick(t.button("Command4"), Qt::LeftButton);
        QVERIFY(t.platform.cues.isEmpty()); // nothing drawn
        QVERIFY(t.definition()->close());
        QCOMPARE(t.phase(), kDefined); // the frame close took the definition over

        QCOMPARE(t.users(), before);
    }

    void tooFewProblemsDrawNothing()
    {
        Collection few;
        test::addChapter(few, "A", 8);
        for (int i = 1; i <= 8; ++i)
            test::addProblem(few, "A", test::pictureIndex(i));
        test::RunningApp t(few);
        click(t.control<QPushButton>("btnDefTest"));
        click(child<QPushButton>(topLevel("frmDefTest"), "Command1"));
        click(child<QPushButton>(topLevel("frmDefTest"), "Command3"));
        t.platform.clear();
        click(t.control<QPushButton>("Command4"));
        QCOMPARE(t.platform.messages.size(), 1);
        QVERIFY(t.platform.messages[0].text.contains("cel putin 9 probleme"));
        QVERIFY(!t.control<QPushButton>("Command4")->isEnabled());
        QVERIFY(t.control<QPushButton>("btnDefTest")->isEnabled()); // define anew
    }

    // Once a definition is accepted per chapter no chapter can be added, and
    // the test holds exactly the nine problems asked for.
    void anAcceptedDefinitionTakesNoMoreChapters()
    {
        Cycle t;
        t.acceptPerChapter();
        QVERIFY(!t.def<QPushButton>("Command2")->isEnabled());
        QVERIFY(!t.def<QComboBox>("Combo1")->isEnabled());
        QVERIFY(!t.def<QScrollBar>("HScroll1")->isEnabled());
        click(t.def<QPushButton>("Command3"));
        click(t.button("Command4"));
        QStringList chapters;
        for (int p = 0; p < 9; ++p) {
            chapters.append(t.shownChapter());
            click(t.button("Command1"));
        }
        QCOMPARE(chapters, QStringList({"B", "B", "B", "B", "A", "A", "A", "A", "A"}));
    }

    void navigationAndMarks()
    {
        Cycle t;
        t.definePerChapter();
        click(t.button("Command4"));
        click(t.button("Command2"));
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("8"));
        click(t.button("Command1"));
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("0"));
        QVERIFY(!t.control<QRadioButton>("Option1_2")->isChecked());
        click(t.control<QRadioButton>("Option1_2"));
        click(t.button("Command1"));
        for (int i = 0; i < 5; ++i)
            QVERIFY(!t.control<QRadioButton>(QStringLiteral("Option1_%1").arg(i))->isChecked());
        click(t.button("Command2"));
        QVERIFY(t.control<QRadioButton>("Option1_2")->isChecked());

        // A second draw forgets every mark.
        click(t.button("Command4"));
        for (int p = 0; p < 9; ++p) {
            for (int i = 0; i < 5; ++i)
                QVERIFY(!t.control<QRadioButton>(QStringLiteral("Option1_%1").arg(i))->isChecked());
            click(t.button("Command1"));
        }
    }

    void unansweredTestIsNotCorrected_data()
    {
        QTest::addColumn<int>("unanswered");
        QTest::newRow("the first") << 0;
        QTest::newRow("the last") << 8;
    }
    void unansweredTestIsNotCorrected()
    {
        QFETCH(int, unanswered);
        Cycle t;
        t.definePerChapter();
        const QByteArray before = t.users();
        click(t.button("Command4"));
        for (int p = 0; p < 9; ++p) {
            if (p != unanswered)
                click(t.control<QRadioButton>("Option1_1"));
            click(t.button("Command1"));
        }
        t.platform.clear();
        click(t.button("Command3"));
        QCOMPARE(t.platform.messageTexts(), QStringList{"Nu ati rezolvat tot testul"});
        QVERIFY(t.platform.cues.isEmpty());
        QCOMPARE(t.users(), before);
        QCOMPARE(t.phase(), kDrawn);
        QVERIFY(t.control<QLineEdit>("Text2")->text().isEmpty());
    }

    // A result that cannot be written leaves the test graded: its answers,
    // grade and count fixed, no new draw; a retry writes that very result,
    // and "Reset" gives it up only once the teacher says so.
    void aResultThatCannotBeWrittenStaysAsGraded()
    {
        Cycle t;
        t.definePerChapter();
        click(t.button("Command4"));
        click(t.button("btnStartCrono"));
        t.answer(6);
        const QByteArray before = t.users();
        {
            test::FileSizeLimit full(before.size());
            t.platform.clear();
            click(t.button("Command3"));
        }
        QCOMPARE(t.platform.messages.size(), 1);
        QVERIFY(t.platform.messages[0].text.contains("Users.stn"));
        QCOMPARE(t.users(), before);
        QCOMPARE(t.phase(), kGraded);
        QCOMPARE(t.control<QLineEdit>("Text2")->text(), QString("7"));
        const QString ticks = t.control<QLineEdit>("Text3")->text();

        // The pupil sees the check marks; the answers stay as graded.
        click(t.button("Command2")); // position 8, answered wrong
        const int marked = t.marked();
        QTest::mouseClick(
            t.control<QRadioButton>(QStringLiteral("Option1_%1").arg(t.shownIndex() % 5)),
            Qt::LeftButton);
        QTest::keyClick(t.main(), Qt::Key_A);
        QCOMPARE(t.marked(), marked);
        QTest::mouseClick(t.button("Command4"), Qt::LeftButton); // no new draw
        QCOMPARE(t.phase(), kGraded);

        // Da/Nu before the result is given up; Nu keeps it.
        t.platform.clear();
        t.platform.messageAnswers.push_back(false);
        click(t.button("Command6"));
        QCOMPARE(t.platform.messages.size(), 1);
        QCOMPARE(t.platform.messages[0].buttons, Platform::Buttons::YesNo);
        QCOMPARE(t.platform.messages[0].title, QString("Culegere electronica"));
        QCOMPARE(t.phase(), kGraded);

        t.platform.date = QDate(2027, 1, 5); // a retry on another day
        t.platform.clear();
        click(t.button("Command3"));
        QCOMPARE(t.phase(), kCorrected);
        QCOMPARE(t.platform.cueNames(), QStringList{"exit.wav"});
        const UserRecord stored = recordOnDisk(t.users(), 2);
        QCOMPARE(stored.Grade, 7);
        QCOMPARE(stored.ElapsedTicks, ticks.toInt());
        QCOMPARE(stored.TestDate, dateToSerial(QDate(2026, 12, 4)));
        QCOMPARE(recordOnDisk(t.users(), 1).Grade, 3); // the header counts one result

        // After Reset a new test shows nothing of this one.
        click(t.button("Command6"));
        t.definePerChapter();
        click(t.button("Command4"));
        QCOMPARE(t.phase(), kDrawn);
        for (int p = 0; p < 9; ++p)
            QVERIFY(!t.control<QCheckBox>(QStringLiteral("Check1_%1").arg(p))->isChecked());
    }

    // Every corrected test reaches the archive after Users.stn, whose bytes
    // are those of a run without an archive. An archive that cannot be
    // written is told once per run and the tests go on; a damaged one is
    // kept aside, byte for byte, and a new one holds the tests.
    void theArchiveFollowsTheLog_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("told");
        QTest::newRow("works") << "works"
                               << "";
        QTest::newRow("cannot be opened") << "folder"
                                          << "Arhiva rezultatelor nu a putut fi scrisa";
        QTest::newRow("damaged") << "garbage"
                                 << "Arhiva rezultatelor era deteriorata";
    }
    void theArchiveFollowsTheLog()
    {
        QFETCH(QString, archive);
        QFETCH(QString, told);
        auto twoTests = [](Cycle &t) {
            t.platform.textAnswers.push_back("Ana Maria");
            click(t.button("Command5"));
            for (int right : {6, 2}) {
                t.answeredTest(false, right);
                click(t.button("Command3"));
                QCOMPARE(t.phase(), kCorrected);
                click(t.button("Command6"));
            }
        };
        QByteArray withoutArchive;
        {
            Cycle unarchived;
            QVERIFY(QDir().mkpath(unarchived.dir.filePath("Arhiva.sqlite")));
            twoTests(unarchived);
            withoutArchive = unarchived.users();
        }
        Cycle t;
        const QByteArray garbage(3000, '\x7f');
        if (archive == "folder")
            QVERIFY(QDir().mkpath(t.dir.filePath("Arhiva.sqlite")));
        if (archive == "garbage")
            t.dir.write("Arhiva.sqlite", garbage);
        twoTests(t);
        QCOMPARE(t.users(), withoutArchive);
        const QStringList messages = t.platform.messageTexts().filter("Arhiva rezultatelor");
        QCOMPARE(messages.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(messages[0].startsWith(told), qPrintable(messages[0]));
        if (archive == "folder")
            return;
        const QStringList aside = QDir(t.dir.path()).entryList({"Arhiva.sqlite.deteriorata-*"});
        QCOMPARE(aside.size(), archive == "garbage" ? 1 : 0);
        if (archive == "garbage")
            QCOMPARE(t.dir.read(aside[0]), garbage);

        ResultArchive kept(t.dir.filePath("Arhiva.sqlite"));
        QVERIFY(kept.open(false).ok());
        const QList<ArchiveRow> rows = kept.rows();
        QCOMPARE(rows.size(), 2);
        const ArchivedTest first = kept.test(rows[0].id);
        QCOMPARE(first.pupil, QString("Ana Maria"));
        QCOMPARE(first.date, t.platform.date);
        QCOMPARE(first.time, t.platform.time);
        QCOMPARE(first.grade, 7);
        QCOMPARE(kept.test(rows[1].id).grade, 3);
        QCOMPARE(first.stopwatch, 0);
        QVERIFY(!first.wholeCollection && !first.imported);
        QCOMPARE(rows[0].definition, QString("B: 4, A: 5"));
        QCOMPARE(first.answers.size(), 9);
        for (int p = 0; p < 9; ++p) {
            const ArchivedAnswer &a = first.answers[p];
            const int index = a.problemIndex.toInt();
            QCOMPARE(a.chapter, QString(index <= 5 ? "A" : "B"));
            QCOMPARE(a.correct, index % 5);
            QCOMPARE(a.right(), p < 6);
        }
    }

    void resetGivesUpAnUnwrittenResult()
    {
        Cycle t;
        t.defineWholeCollection();
        click(t.button("Command4"));
        t.answer(9);
        const QByteArray before = t.users();
        {
            test::FileSizeLimit full(before.size());
            click(t.button("Command3"));
        }
        t.platform.clear();
        click(t.button("Command6")); // answered Da
        QCOMPARE(t.platform.messageTexts(),
                 QStringList{"Rezultatul acestui test nu a fost salvat si se va pierde! "
                             "Incheiati testul fara rezultat?"});
        QCOMPARE(t.platform.cueNames(), QStringList{"incarca.wav"});
        QCOMPARE(t.phase(), kStartup);
        QCOMPARE(t.users(), before);
    }

    void changingTheUser_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("a name") << "  Maria Ionescu" << QByteArray("  Maria Ionescu");
        QTest::newRow("Cancel keeps NoName") << "" << QByteArray("NoName");
    }
    void changingTheUser()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        Cycle t;
        t.platform.textAnswers.push_back(typed);
        click(t.button("Command5"));
        QCOMPARE(t.platform.prompts,
                 QStringList{"Introduceti numele (nu mai mult de 30 caractere)"});
        QCOMPARE(t.platform.cueNames(), QStringList{"setareok.wav"});
        t.definePerChapter();
        click(t.button("Command4"));
        t.answer(0);
        click(t.button("Command3"));
        QCOMPARE(recordOnDisk(t.users(), 2).Name, FixedText<30>::fromBytes(stored));
        QCOMPARE(recordOnDisk(t.users(), 2).Grade, 1);
    }

    void stopwatchCountsUntilTheCorrection()
    {
        Cycle t;
        t.definePerChapter();
        click(t.button("Command4"));
        auto *timer = t.control<QTimer>("Timer1");
        QVERIFY(!timer->isActive());
        click(t.button("btnStartCrono"));
        QVERIFY(timer->isActive());
        QVERIFY(!t.button("btnStartCrono")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(t.control<QLineEdit>("Text3")->text(), QString("1"), 3000);
        t.answer(9);
        click(t.button("Command3"));
        QVERIFY(!timer->isActive());
        const QString shown = t.control<QLineEdit>("Text3")->text();
        QCOMPARE(recordOnDisk(t.users(), 2).ElapsedTicks, shown.toInt());
        click(t.button("Command6"));
        QVERIFY(t.control<QLineEdit>("Text3")->text().isEmpty());
    }

    // From every state of the main screen's table, every event available
    // leads to a state of the table.
    void everyEventKeepsTheMainScreenInItsTable_data() { test::addRouteRows(mainRoutes()); }
    void everyEventKeepsTheMainScreenInItsTable()
    {
        QFETCH(int, route);
        QString failure;
        const int happened = test::walkEvents<Cycle>(startCycle, mainRoutes()[route], mainEvents(),
                                                     mainBreak, {}, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 8);
    }

    // From every state of the definition screen's table, every event
    // available leads to a state of its table (or, once the screen is gone,
    // of the main screen's).
    void everyEventKeepsTheDefinitionInItsTable_data() { test::addRouteRows(definitionRoutes()); }
    void everyEventKeepsTheDefinitionInItsTable()
    {
        QFETCH(int, route);
        QString failure;
        const int happened =
            test::walkEvents<Cycle>(startCycle, definitionRoutes()[route], definitionEvents(),
                                    definitionBreak, {}, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 5);
    }

    void missingPictureLeavesTheBoxEmpty()
    {
        Cycle t;
        QDir(t.dir.filePath("probleme")).removeRecursively();
        t.definePerChapter();
        click(t.button("Command4"));
        QCOMPARE(t.control<QWidget>("Picture1")->property("imagePath").toString(), QString());
        click(t.button("Command1"));
        QCOMPARE(t.control<QLineEdit>("Text1")->text(), QString("1"));
    }
};

QTEST_MAIN(TstTestCycle)
#include "tst_test_cycle.moc"
