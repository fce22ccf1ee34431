// The chapters screen and the problem editor, driven through their controls;
// every event they offer, from every state of their tables, leads to a state
// of their tables.
#include "editing/chapters_screen.h"
#include "store/collection_io.h"
#include "support/file_size_limit.h"
#include "support/running_app.h"
#include "support/screen_table.h"
#include "support/user_input.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>

using namespace culegere;
using test::child;
using test::click;
using test::topLevel;

namespace {

// Chapters A (problems 1, 2) and B (problem 3); pictures 1..3 and 123.
Collection catalogue()
{
    Collection c;
    test::addChapter(c, "A", 2);
    test::addChapter(c, "B", 1);
    test::addProblem(c, "A", test::pictureIndex(1), 0);
    test::addProblem(c, "A", test::pictureIndex(2), 1);
    test::addProblem(c, "B", test::pictureIndex(3), 2);
    return c;
}

struct Editing : test::RunningApp
{
    explicit Editing(const Collection &collection = catalogue()) : RunningApp(collection)
    {
        for (int i : {1, 2, 3, 123})
            dir.addPicture(test::pictureIndex(i));
    }
    QWidget *chapters() const { return topLevel("frmAddCap"); }
    QWidget *editor() const { return topLevel("frmSetProblema"); }
    template <typename T> T *cap(const QString &name) const { return child<T>(chapters(), name); }
    template <typename T> T *ed(const QString &name) const { return child<T>(editor(), name); }
    QStringList listed() const
    {
        QStringList names;
        auto *list = cap<QListWidget>("listCap");
        for (int i = 0; i < list->count(); ++i)
            names.append(list->item(i)->text());
        return names;
    }
    void typeChapter(const QString &name)
    {
        cap<QLineEdit>("Text1")->setText(name);
        click(cap<QPushButton>("Command1"));
    }
    void clickEntry(int row) { test::clickRow(cap<QListWidget>("listCap"), row); }
    const ChapterChoice &choice() const
    {
        return qobject_cast<ChaptersScreen *>(chapters())->choice();
    }
    // "Cauta problema" answered with `typed`.
    void lookUp(const QString &typed)
    {
        platform.textAnswers.push_back(typed);
        click(ed<QPushButton>("Command1"));
    }
    // The exit, its save failing: the program stays.
    void exitFailing()
    {
        test::FileSizeLimit full(0);
        if (main()->close())
            qFatal("the exit saved on a full disk");
    }
    // The buttons Cauta, Seteaza, Sterge: 1 on, 0 off.
    QString state() const
    {
        QString s;
        for (const char *name : {"Command1", "Command2", "btnSterge"})
            s += ed<QPushButton>(name)->isEnabled() ? '1' : '0';
        return s;
    }
    // Exits the program and reads back what it saved.
    Collection saved()
    {
        if (!main()->close())
            qFatal("the exit did not save");
        Collection c;
        if (!loadCollection(dir.read(datafile::Users), dir.read(datafile::Chapters),
                            dir.read(datafile::Problems), c)
                 .ok())
            qFatal("the saved files do not load");
        return c;
    }
};

const QString kIdle = "100", kNewPicture = "010", kCatalogued = "011";
const QStringList kEditorTable = {kIdle, kNewPicture, kCatalogued};

using Route = test::Route<Editing>;
using Event = test::Event<Editing>;

bool usable(QWidget *w)
{
    return w && w->isEnabled() && w->isVisible();
}

// What breaks the rules of the chapters screen now ("" when nothing): the
// entry chosen is the one shown selected, its name is SelectedTitle, and
// every button can be pressed.
QString chaptersBreak(Editing &e)
{
    auto *list = e.cap<QListWidget>("listCap");
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (selected.size() > 1)
        return "two entries selected";
    const int row = selected.isEmpty() ? -1 : list->row(selected.first());
    const ChapterChoice &choice = e.choice();
    if (choice.position() != row)
        return QStringLiteral("entry %1 chosen, entry %2 selected").arg(choice.position()).arg(row);
    const QString name = row >= 0 ? list->item(row)->text() : QString();
    if (choice.titleSelected() != !name.isEmpty() || choice.selectedTitle() != name)
        return "the title chosen is not the entry selected";
    for (const char *button : {"Command1", "Command2", "Command3", "Command4"}) {
        if (!e.cap<QPushButton>(button)->isEnabled())
            return QString(button) + " is off";
    }
    return {};
}

// The list against the chapters saved at exit: entry p is row p + 2.
QString listBreak(Editing &e)
{
    const QStringList listed = e.listed();
    const Collection c = e.saved();
    if (listed.size() != c.ChapterCount)
        return QStringLiteral("%1 entries, %2 chapters").arg(listed.size()).arg(c.ChapterCount);
    for (int p = 0; p < listed.size(); ++p) {
        if (FixedText<100>::fromText(listed[p]).trimmed() != c.ChapterTable[p + 2].Name.trimmed())
            return "entry " + listed[p] + " shows another chapter";
    }
    return {};
}

// The problem editor, while shown, is in a state of its table, with a
// picture shown exactly while a problem is open.
QString editorBreak(Editing &e)
{
    if (!e.editor() || !e.editor()->isVisible())
        return {};
    if (!kEditorTable.contains(e.state()))
        return "the editor in " + e.state();
    const bool shown = !e.ed<QWidget>("Picture1")->property("imagePath").toString().isEmpty();
    return shown == (e.state() != kIdle) ? QString() : "the picture does not follow the state";
}

// What the saved catalogue breaks: a path naming no picture, or a
// counter other than the problems filed under its chapter.
QString catalogueBreak(const Collection &c)
{
    for (int row = 2; row <= c.lastProblemRow(); ++row) {
        if (!test::namesAPicture(c.ProblemTable[row].ImagePath))
            return "row " + QString::number(row) + " stores " +
                   c.ProblemTable[row].ImagePath.text();
    }
    for (int k = 2; k <= c.lastChapterRow(); ++k) {
        int filed = 0;
        for (int row = 2; row <= c.lastProblemRow(); ++row)
            filed += c.ProblemTable[row].Chapter.Name.trimmed() == c.ChapterTable[k].Name.trimmed();
        if (filed != c.ChapterTable[k].ProblemTotal)
            return "the counter of " + c.ChapterTable[k].Name.trimmedText();
    }
    return {};
}

// Chapters A (problems 1, 2), B (problem 3), and C and D without problems.
Collection fourChapters()
{
    Collection c = catalogue();
    test::addChapter(c, "C");
    test::addChapter(c, "D");
    return c;
}

const QList<Route> &chapterRoutes()
{
    static const QList<Route> routes = {
        {"opened, the list focused", [](Editing &) {}},
        {"an entry clicked", [](Editing &e) { e.clickEntry(2); }},
        {"an entry chosen with the keys",
         [](Editing &e) {
             test::pressKey(e.cap<QListWidget>("listCap"), Qt::Key_Down);
             test::pressKey(e.cap<QListWidget>("listCap"), Qt::Key_Down);
         }},
        {"the last entry clicked", [](Editing &e) { e.clickEntry(3); }},
        {"after a delete",
         [](Editing &e) {
             e.clickEntry(2);
             click(e.cap<QPushButton>("Command2"));
         }},
        {"after a rename",
         [](Editing &e) {
             e.clickEntry(2);
             e.cap<QLineEdit>("Text1")->setText("X");
             click(e.cap<QPushButton>("Command4"));
         }},
        {"after an add", [](Editing &e) { e.typeChapter("E"); }},
        {"chosen, closed and opened again",
         [](Editing &e) {
             e.clickEntry(2);
             click(e.cap<QPushButton>("Command3"));
             e.action("mnuAddCap")->trigger();
         }},
    };
    return routes;
}

QList<Event> chapterEvents()
{
    QList<Event> events;
    auto visible = [](Editing &e) { return e.chapters()->isVisible(); };
    auto list = [](Editing &e) { return e.cap<QListWidget>("listCap"); };
    events.append({"the first entry clicked", visible, [](Editing &e) { e.clickEntry(0); }});
    events.append({"the last entry clicked", visible,
                   [=](Editing &e) { e.clickEntry(list(e)->count() - 1); }});
    events.append({"Down", visible, [=](Editing &e) { test::pressKey(list(e), Qt::Key_Down); }});
    events.append({"Up", visible, [=](Editing &e) { test::pressKey(list(e), Qt::Key_Up); }});
    for (const char *button : {"Command1", "Command2", "Command4", "Command3"}) {
        events.append({button, visible, [=](Editing &e) { click(e.cap<QPushButton>(button)); }});
    }
    for (const char *button : {"Command1", "Command4"}) {
        events.append({QString("a new name, ") + button, visible, [=](Editing &e) {
                           e.cap<QLineEdit>("Text1")->setText("Nou");
                           click(e.cap<QPushButton>(button));
                       }});
    }
    events.append({"frame close", visible, [](Editing &e) { e.chapters()->close(); }});
    events.append({"mnuAddCap", [](Editing &e) { return e.action("mnuAddCap")->isEnabled(); },
                   [](Editing &e) { e.action("mnuAddCap")->trigger(); }});
    return events;
}

const QList<Route> &editorRoutes()
{
    static const QList<Route> routes = {
        {"opened", [](Editing &) {}},
        {"a new picture open", [](Editing &e) { e.lookUp("00123"); }},
        {"a catalogued problem open", [](Editing &e) { e.lookUp("00001"); }},
        {"a catalogued problem, another chapter and answer chosen",
         [](Editing &e) {
             e.lookUp("00001");
             test::chooseLine(e.ed<QComboBox>("Combo1"), 1);
             click(e.ed<QRadioButton>("Option2_3"));
         }},
        {"after a save",
         [](Editing &e) {
             e.lookUp("000123");
             test::chooseLine(e.ed<QComboBox>("Combo1"), 0);
             click(e.ed<QRadioButton>("Option2_1"));
             click(e.ed<QPushButton>("Command2"));
         }},
        {"after a delete",
         [](Editing &e) {
             e.lookUp("00002");
             click(e.ed<QPushButton>("btnSterge"));
         }},
        {"after a failed look-up", [](Editing &e) { e.lookUp("00999"); }},
        {"after an exit that could not save",
         [](Editing &e) {
             e.lookUp("00001");
             e.exitFailing();
         }},
    };
    return routes;
}

QList<Event> editorEvents()
{
    QList<Event> events;
    auto button = [](const char *name) {
        return [=](Editing &e) { return e.editor() && usable(e.ed<QPushButton>(name)); };
    };
    for (const char *index : {"00123", "00003", "00999"}) {
        events.append({QString("look up ") + index, button("Command1"),
                       [=](Editing &e) { e.lookUp(index); }});
    }
    for (const char *name : {"Command2", "btnSterge", "Command3"}) {
        events.append({name, button(name), [=](Editing &e) { click(e.ed<QPushButton>(name)); }});
    }
    events.append({"an answer marked", button("Command3"),
                   [](Editing &e) { click(e.ed<QRadioButton>("Option2_2")); }});
    events.append({"a chapter chosen", button("Command3"),
                   [](Editing &e) { test::chooseLine(e.ed<QComboBox>("Combo1"), 1); }});
    events.append({"frame close", button("Command3"), [](Editing &e) { e.editor()->close(); }});
    events.append({"mnuSeteazaProbl",
                   [](Editing &e) { return e.action("mnuSeteazaProbl")->isEnabled(); },
                   [](Editing &e) { e.action("mnuSeteazaProbl")->trigger(); }});
    events.append({"an exit that cannot save", [](Editing &) { return true; },
                   [](Editing &e) { e.exitFailing(); }});
    events.append({"the chapters screen closed", [](Editing &) { return true; },
                   [](Editing &e) {
                       e.action("mnuAddCap")->trigger();
                       click(e.cap<QPushButton>("Command3"));
                   }});
    return events;
}

} // namespace

class TstEditingScreens : public QObject
{
    Q_OBJECT

private slots:
    void chaptersScreenAddsAndRefuses()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        QVERIFY(e.chapters()->isVisible());
        QVERIFY(e.main()->isVisible());
        QCOMPARE(e.chapters()->windowTitle(), QString("Adauga Capitol"));

        e.typeChapter("Geometrie");
        QCOMPARE(e.listed(), QStringList({"A", "B", "Geometrie"}));
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(e.cap<QLineEdit>("Text1")->text().isEmpty());

        e.platform.clear();
        e.typeChapter("A");
        QCOMPARE(e.platform.messageTexts(), QStringList{"Categoria aceasta exista deja!"});
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"}); // the cue comes first here
        QVERIFY(e.cap<QLineEdit>("Text1")->text().isEmpty());

        e.platform.clear();
        e.typeChapter("a"); // another letter case is another chapter
        QCOMPARE(e.listed().size(), 4);

        e.platform.clear();
        e.typeChapter("");
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu ati definit numele Categoriei..."});
        QCOMPARE(e.platform.messages[0].buttons, Platform::Buttons::OkCancel);

        const QString longName = QString(104, u'L');
        e.typeChapter(longName);
        QCOMPARE(e.listed().last(), longName); // listed as typed, stored cut
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[6].Name.text(), QString(100, u'L'));
        QCOMPARE(c.ChapterCount, 5);
    }

    void chaptersScreenDeletes()
    {
        Collection three;
        test::addChapter(three, "A");
        test::addChapter(three, "B");
        test::addChapter(three, "C");
        Editing e(three);
        e.action("mnuAddCap")->trigger();
        e.clickEntry(0);
        click(e.cap<QPushButton>("Command2"));
        QCOMPARE(e.listed(), QStringList({"C", "B"}));
        QCOMPARE(e.saved().ChapterCount, 2);
    }

    void chapterWithProblemsIsKept()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.clickEntry(1); // B, the last, holds one problem
        e.platform.clear();
        click(e.cap<QPushButton>("Command2"));
        QCOMPARE(e.platform.messageTexts(),
                 QStringList{"Nu puteti sterge un capitol/categorie din care n-ati sters toate "
                             "problemele!..."});
        QCOMPARE(e.listed(), QStringList({"A", "B"}));
    }

    void renamingReachesTheProblems()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.platform.clear();
        click(e.cap<QPushButton>("Command4"));
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu ati selectat nici un titlu..."});
        e.clickEntry(0);
        QCOMPARE(e.cap<QLineEdit>("Text1")->text(), QString("A"));
        e.platform.clear();
        click(e.cap<QPushButton>("Command4")); // A to A
        QCOMPARE(e.platform.messageTexts(), QStringList{"Categoria aceasta exista deja!"});
        e.cap<QLineEdit>("Text1")->setText("Algebra");
        click(e.cap<QPushButton>("Command4"));
        QCOMPARE(e.listed(), QStringList({"Algebra", "B"}));
        const Collection c = e.saved();
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("Algebra"));
        QCOMPARE(c.ProblemTable[3].Chapter.Name.trimmed(), QByteArray("Algebra"));
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 2);
    }

    void closingRefillsTheEditorsChapters()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.typeChapter("Nou");
        e.platform.clear();
        click(e.cap<QPushButton>("Command3"));
        QVERIFY(!e.chapters()->isVisible());
        QCOMPARE(e.platform.cueNames(), QStringList{"exitform.wav"});
        auto *combo = e.ed<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QString("Nou"));
        // A close from the frame only hides the screen.
        e.action("mnuAddCap")->trigger();
        QVERIFY(e.chapters()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(e.chapters());
    }

    void editorOpensIdle()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        QVERIFY(e.editor()->isVisible());
        QCOMPARE(e.editor()->windowTitle(), QString("Seteaza problema"));
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QComboBox>("Combo1")->count(), 2);
        QVERIFY(e.ed<QComboBox>("Combo1")->currentText().isEmpty());
        QCOMPARE(e.ed<QLabel>("Label2")->text(), QString("Numar total probleme:  3"));
        QCOMPARE(e.editor()->minimumSize(), e.editor()->maximumSize());
    }

    void lookingUp_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("cues");
        QTest::addColumn<QString>("picture"); // index shown, "" for none
        QTest::newRow("a new picture")
            << "00123" << kNewPicture << QStringList() << QStringList{"setareok.wav"} << "00123";
        QTest::newRow("a catalogued problem")
            << "00002" << kCatalogued << QStringList() << QStringList() << "00002";
        QTest::newRow("six characters")
            << "000002" << kCatalogued << QStringList() << QStringList() << "00002";
        QTest::newRow("four characters")
            << "0123" << kIdle << QStringList{"Nu exista aceasta problema"}
            << QStringList{"setareok.wav"} << "";
        QTest::newRow("Cancel") << "" << kIdle << QStringList{"Nu exista aceasta problema"}
                                << QStringList{"setareok.wav"} << "";
        QTest::newRow("a path") << "../../Users.stn" << kIdle
                                << QStringList{"Nu exista aceasta problema"}
                                << QStringList{"setareok.wav"} << "";
    }
    void lookingUp()
    {
        QFETCH(QString, typed);
        QFETCH(QString, state);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, cues);
        QFETCH(QString, picture);
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.platform.clear();
        e.lookUp(typed);
        QCOMPARE(e.platform.prompts, QStringList{"Introduceti un index de problema"});
        QCOMPARE(e.platform.promptTitles, QStringList{"Culegere electronica"});
        QCOMPARE(e.state(), state);
        QCOMPARE(e.platform.messageTexts(), messages);
        for (const auto &m : e.platform.messages)
            QCOMPARE(m.title, QString("Culegere electronica"));
        QCOMPARE(e.platform.cueNames(), cues);
        const QString shown = e.ed<QWidget>("Picture1")->property("imagePath").toString();
        QCOMPARE(shown.isEmpty() ? QString() : shown.right(9).left(5), picture);
        if (state == kCatalogued) {
            QCOMPARE(e.ed<QComboBox>("Combo1")->currentText(), QString("A"));
            QVERIFY(e.ed<QRadioButton>("Option2_1")->isChecked());
        }
    }

    void savingANewProblem()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00123");
        e.platform.clear();
        click(e.ed<QPushButton>("Command2")); // no chapter, no answer
        QCOMPARE(e.platform.messageTexts(), QStringList{"Nu ati setat complet problema"});
        QVERIFY(e.platform.cues.isEmpty());
        e.ed<QComboBox>("Combo1")->setEditText("Nimic"); // no such chapter
        click(e.ed<QRadioButton>("Option2_3"));
        click(e.ed<QPushButton>("Command2"));
        QCOMPARE(e.platform.messages.size(), 2);
        QCOMPARE(e.state(), kNewPicture);

        e.platform.clear();
        e.ed<QComboBox>("Combo1")->setEditText("B");
        click(e.ed<QPushButton>("Command2"));
        QCOMPARE(e.platform.messageTexts(), QStringList{"Problema a fost setata cu succes...."});
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QLabel>("Label2")->text(), QString("Numar total probleme:  4"));
        QVERIFY(e.ed<QComboBox>("Combo1")->currentText().isEmpty());
        QVERIFY(!e.ed<QRadioButton>("Option2_3")->isChecked());
        QCOMPARE(e.ed<QWidget>("Picture1")->property("imagePath").toString(), QString());
        click(e.ed<QRadioButton>("Option2_0")); // one answer at a time, as before
        click(e.ed<QRadioButton>("Option2_3"));
        QVERIFY(!e.ed<QRadioButton>("Option2_0")->isChecked());

        const Collection c = e.saved();
        QCOMPARE(c.ProblemCount, 4);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 2);
        QCOMPARE(c.ProblemTable[5].CorrectAnswer, 3);
        QVERIFY(c.ProblemTable[5].ImagePath.trimmedText().endsWith(
            QDir::toNativeSeparators("/Probleme/probl00123.jpg")));
    }

    void refilingAProblem()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00001");
        e.ed<QComboBox>("Combo1")->setEditText("B");
        click(e.ed<QRadioButton>("Option2_2"));
        click(e.ed<QPushButton>("Command2"));
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 1);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 2);
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("B"));
        QCOMPARE(c.ProblemTable[2].CorrectAnswer, 2);
    }

    void deletingAProblem()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00001");
        e.platform.clear();
        click(e.ed<QPushButton>("btnSterge"));
        QCOMPARE(e.platform.messageTexts(), QStringList{"Problema a fost stearsa cu succes!"});
        QCOMPARE(e.platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QLabel>("Label2")->text(), QString("Numar total probleme:  2"));
        QVERIFY(!e.dir.exists("probleme/probl00001.jpg"));
        click(e.ed<QPushButton>("Command3"));
        const Collection c = e.saved();
        QCOMPARE(c.ProblemCount, 2);
        QCOMPARE(c.ProblemTable[2].ImagePath.trimmed().right(9), QByteArray("00003.jpg"));
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 1);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 1);
    }

    void countersHoldInOddCloses_data()
    {
        QTest::addColumn<int>("route");
        QTest::newRow("another chapter chosen, then Close") << 0;
        QTest::newRow("the menu again while open, then Close") << 1;
        QTest::newRow("a close from the frame") << 2;
        QTest::newRow("Exit while a problem is open") << 3;
    }
    void countersHoldInOddCloses()
    {
        QFETCH(int, route);
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp("00001");
        switch (route) {
        case 0:
            e.ed<QComboBox>("Combo1")->setEditText("B");
            click(e.ed<QPushButton>("Command3"));
            break;
        case 1:
            e.action("mnuSeteazaProbl")->trigger();
            QCOMPARE(e.state(), kIdle); // let go, as Close lets go
            click(e.ed<QPushButton>("Command3"));
            break;
        case 2:
            QVERIFY(e.editor()->close());
            QTRY_VERIFY(!e.editor());
            break;
        case 3:
            break;
        }
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[2].ProblemTotal, 2);
        QCOMPARE(c.ChapterTable[3].ProblemTotal, 1);
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("A"));
    }

    // Deleting needs an entry the teacher chose: the keyboard focus on the
    // list chooses none, and a deleted entry leaves none chosen.
    void deleteActsOnlyOnTheChosenEntry()
    {
        Collection empty;
        for (const char *name : {"A", "B", "C", "D"})
            test::addChapter(empty, name);
        Editing e(empty);
        e.action("mnuAddCap")->trigger();
        test::focus(e.cap<QListWidget>("listCap"));
        e.platform.clear();
        click(e.cap<QPushButton>("Command2"));
        QCOMPARE(e.listed(), QStringList({"A", "B", "C", "D"}));
        QVERIFY(e.platform.messages.isEmpty());
        e.clickEntry(3);
        click(e.cap<QPushButton>("Command2"));
        QCOMPARE(e.listed(), QStringList({"A", "B", "C"}));
        click(e.cap<QPushButton>("Command2"));
        QCOMPARE(e.listed(), QStringList({"A", "B", "C"}));
        QCOMPARE(e.saved().ChapterCount, 3);
    }

    // An entry chosen with the arrow keys is chosen as a click chooses it:
    // the entry renamed is the chapter renamed.
    void keysChooseAnEntry()
    {
        Editing e;
        e.action("mnuAddCap")->trigger();
        e.clickEntry(0);
        test::pressKey(e.cap<QListWidget>("listCap"), Qt::Key_Down);
        QCOMPARE(e.cap<QLineEdit>("Text1")->text(), QString("B"));
        e.cap<QLineEdit>("Text1")->setText("Beta");
        click(e.cap<QPushButton>("Command4"));
        QCOMPARE(e.listed(), QStringList({"A", "Beta"}));
        e.cap<QLineEdit>("Text1")->setText("Gama"); // the same chapter, again
        click(e.cap<QPushButton>("Command4"));
        QCOMPARE(e.listed(), QStringList({"A", "Gama"}));
        const Collection c = e.saved();
        QCOMPARE(c.ChapterTable[2].Name.trimmed(), QByteArray("A"));
        QCOMPARE(c.ChapterTable[3].Name.trimmed(), QByteArray("Gama"));
        QCOMPARE(c.ProblemTable[2].Chapter.Name.trimmed(), QByteArray("A"));
        QCOMPARE(c.ProblemTable[4].Chapter.Name.trimmed(), QByteArray("Gama"));
    }

    // An exit that cannot save lets the open problem go: the editor is Idle,
    // and nothing it saves afterwards stores a path naming no picture.
    void anExitThatCannotSaveLeavesTheEditorIdle_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a catalogued problem open") << "00001";
        QTest::newRow("a new picture open") << "00123";
    }
    void anExitThatCannotSaveLeavesTheEditorIdle()
    {
        QFETCH(QString, typed);
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.lookUp(typed);
        click(e.ed<QRadioButton>("Option2_4"));
        e.platform.clear();
        e.exitFailing();
        QCOMPARE(e.platform.messages.size(), 1);
        QVERIFY(e.editor()->isVisible());
        QCOMPARE(e.state(), kIdle);
        QCOMPARE(e.ed<QWidget>("Picture1")->property("imagePath").toString(), QString());
        QVERIFY(e.ed<QComboBox>("Combo1")->currentText().isEmpty());
        QVERIFY(!e.ed<QRadioButton>("Option2_4")->isChecked());

        e.lookUp("00003");
        test::chooseLine(e.ed<QComboBox>("Combo1"), 0);
        click(e.ed<QRadioButton>("Option2_0"));
        click(e.ed<QPushButton>("Command2"));
        const Collection c = e.saved();
        QCOMPARE(catalogueBreak(c), QString());
        QCOMPARE(c.ProblemCount, 3);
        QCOMPARE(c.ProblemTable[4].Chapter.Name.trimmed(), QByteArray("A"));
    }

    // From every state of the chapters screen, every event available keeps
    // the choice, the selection and the list in agreement with the table.
    void everyEventKeepsTheChaptersScreenInItsTable_data() { test::addRouteRows(chapterRoutes()); }
    void everyEventKeepsTheChaptersScreenInItsTable()
    {
        QFETCH(int, route);
        auto start = [] {
            auto e = std::make_unique<Editing>(fourChapters());
            e->action("mnuAddCap")->trigger();
            test::focus(e->cap<QListWidget>("listCap"));
            return e;
        };
        QString failure;
        const int happened = test::walkEvents<Editing>(
            start, chapterRoutes()[route], chapterEvents(), chaptersBreak, listBreak, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(happened, chapterEvents().size());
    }

    // From every state of the problem editor's table, every event available
    // leads to a state of its table, and what is saved at the exit names
    // pictures and keeps the counters.
    void everyEventKeepsTheEditorInItsTable_data() { test::addRouteRows(editorRoutes()); }
    void everyEventKeepsTheEditorInItsTable()
    {
        QFETCH(int, route);
        auto start = [] {
            auto e = std::make_unique<Editing>();
            e->action("mnuSeteazaProbl")->trigger();
            return e;
        };
        QString failure;
        const int happened = test::walkEvents<Editing>(
            start, editorRoutes()[route], editorEvents(), editorBreak,
            [](Editing &e) { return catalogueBreak(e.saved()); }, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 6);
    }

    void frameCloseDestroysTheEditor()
    {
        Editing e;
        e.action("mnuSeteazaProbl")->trigger();
        e.platform.clear();
        QVERIFY(e.editor()->close());
        QCOMPARE(e.platform.cueNames(), QStringList{"exitform.wav"});
        QTRY_VERIFY(!e.editor());
        e.action("mnuSeteazaProbl")->trigger();
        QVERIFY(e.editor() && e.editor()->isVisible());
        QCOMPARE(e.state(), kIdle);
    }
};

QTEST_MAIN(TstEditingScreens)
#include "tst_editing_screens.moc"
