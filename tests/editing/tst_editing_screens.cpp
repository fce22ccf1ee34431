// The chapters screen and the problem editor with real input: what they
// show and tell, and every event they offer, from every state of their
// tables, leads to a state of their tables.
#include "editing/chapters_screen.h"
#include "editing/editing_messages.h"
#include "support/driver.h"
#include "support/file_size_limit.h"
#include "support/screen_table.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace culegere;
using test::Driver;

namespace {

const QString kCap = QStringLiteral("frmAddCap"), kEd = QStringLiteral("frmSetProblema");
const QString kIdle = "100", kNewPicture = "010", kCatalogued = "011";

// Chapters A (problems 1, 2) and B (problem 3), and then `more`; pictures
// 1..3 and a new one, 123.
std::unique_ptr<Driver> started(const QStringList &more = {})
{
    Collection c;
    test::addChapter(c, "A", 2);
    test::addChapter(c, "B", 1);
    for (const QString &name : more)
        test::addChapter(c, name.toLatin1());
    for (int i = 1; i <= 3; ++i)
        test::addProblem(c, i < 3 ? "A" : "B", test::pictureIndex(i), qint16(i - 1));
    auto d = std::make_unique<Driver>(c);
    d->folder().addPicture("00123");
    if (!d->start())
        qFatal("the program did not start");
    return d;
}

template <typename T> T *cap(const QString &name)
{
    return Driver::control<T>(kCap, name);
}
template <typename T> T *ed(const QString &name)
{
    return Driver::control<T>(kEd, name);
}
bool shown(const QString &screen)
{
    return Driver::screen(screen) && Driver::screen(screen)->isVisible();
}
QStringList listed()
{
    return test::lines(cap<QListWidget>("listCap"));
}
// Cauta, Seteaza, Sterge: 1 on, 0 off.
QString editorState()
{
    QString s;
    for (const char *name : {"Command1", "Command2", "btnSterge"})
        s += ed<QPushButton>(name)->isEnabled() ? '1' : '0';
    return s;
}
QString picture(const QString &screen)
{
    return Driver::control<QWidget>(screen, "Picture1")->property("imagePath").toString();
}

// A user's steps, separated by blanks: "cap:Name" and "ed:Name" press a
// button of the chapters screen or the editor, "menu:Name" chooses a menu
// item, "close:Screen" closes a screen from its frame; on the chapters
// screen "row:2" clicks an entry ("row:last" the last), "key:Down" presses
// a key on the list, "name:X" types a name; in the editor "look:X" looks
// index X up, "line:B" chooses chapter B; "failexit" is an exit that cannot
// save.
void act(Driver &d, const QString &steps)
{
    using Step = std::function<void(Driver &, const QString &)>;
    static const QMap<QString, Step> kinds = {
        {"cap", [](Driver &, const QString &a) { Driver::press(kCap, a); }},
        {"ed", [](Driver &, const QString &a) { Driver::press(kEd, a); }},
        {"menu", [](Driver &d, const QString &a) { d.chooseMenu(a); }},
        {"close", [](Driver &, const QString &a) { Driver::closeFromFrame(a); }},
        {"name", [](Driver &, const QString &a) { Driver::type(kCap, "Text1", a); }},
        {"line", [](Driver &, const QString &a) { Driver::chooseLine(kEd, "Combo1", a); }},
        {"row",
         [](Driver &, const QString &a) {
             Driver::clickRow(kCap, "listCap", a == "last" ? listed().size() - 1 : a.toInt());
         }},
        {"key",
         [](Driver &, const QString &a) {
             Driver::pressKey(cap<QListWidget>("listCap"), a == "Up" ? Qt::Key_Up : Qt::Key_Down);
         }},
        {"look",
         [](Driver &d, const QString &a) {
             d.platform.textAnswers.push_back(a);
             Driver::press(kEd, "Command1");
         }},
        {"failexit",
         [](Driver &d, const QString &) {
             test::FileSizeLimit full(0);
             QVERIFY2(!d.exit(), "the exit saved on a full disk");
         }},
    };
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts))
        STEP(kinds[step.section(u':', 0, 0)](d, step.section(u':', 1)));
}

// Whether the first of the steps can be taken now: its screen shown and
// the button it presses usable.
bool available(Driver &d, const QString &steps)
{
    const QString step = steps.section(u' ', 0, 0), kind = step.section(u':', 0, 0);
    const QString arg = step.section(u':', 1);
    if (kind == "menu" || kind == "close" || kind == "failexit")
        return kind == "failexit" || (kind == "menu" ? d.menuItem(arg)->isEnabled() : shown(arg));
    const QString screen = QStringList{"cap", "row", "key", "name"}.contains(kind) ? kCap : kEd;
    const QString button = kind == "look" ? "Command1" : kind == "cap" || kind == "ed" ? arg : "";
    return shown(screen) &&
           (button.isEmpty() || Driver::control<QWidget>(screen, button)->isEnabled());
}

using Route = test::Route<Driver>;
using Event = test::Event<Driver>;

QList<Route> routes(const QList<QPair<const char *, QString>> &steps)
{
    QList<Route> out;
    for (const auto &[name, s] : steps)
        out.append({name, [s](Driver &d) { act(d, s); }});
    return out;
}

QList<Event> events(const QStringList &steps)
{
    QList<Event> out;
    for (const QString &s : steps)
        out.append({s, [s](Driver &d) { return available(d, s); }, [s](Driver &d) { act(d, s); }});
    return out;
}

// The collection the exit saved, or why there is none.
QString exitBreak(Driver &d, Collection *saved)
{
    if (!d.exit())
        return "the exit did not save";
    const std::optional<Collection> c = test::collectionOnDisk(d.path());
    if (!c)
        return "the saved files do not load";
    *saved = *c;
    return {};
}

// The chapters screen: the entry chosen is the one shown selected, its name
// is the title chosen, and every button can be pressed.
QString chaptersBreak(Driver &)
{
    auto *list = cap<QListWidget>("listCap");
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (selected.size() > 1)
        return "two entries selected";
    const int row = selected.isEmpty() ? -1 : list->row(selected.first());
    const ChapterChoice &choice = qobject_cast<ChaptersScreen *>(Driver::screen(kCap))->choice();
    if (choice.position() != row)
        return QStringLiteral("entry %1 chosen, entry %2 selected").arg(choice.position()).arg(row);
    const QString name = row >= 0 ? list->item(row)->text() : QString();
    if (choice.titleSelected() != !name.isEmpty() || choice.selectedTitle() != name)
        return "the title chosen is not the entry selected";
    for (const char *button : {"Command1", "Command2", "Command3", "Command4"}) {
        if (!cap<QPushButton>(button)->isEnabled())
            return QString(button) + " is off";
    }
    return {};
}

// The list against the chapters saved at exit: entry p is row p + 2.
QString listBreak(Driver &d)
{
    const QStringList shownNames = listed();
    auto c = std::make_unique<Collection>();
    if (const QString failed = exitBreak(d, c.get()); !failed.isEmpty())
        return failed;
    if (shownNames.size() != c->ChapterCount)
        return QStringLiteral("%1 entries, %2 chapters")
            .arg(shownNames.size())
            .arg(c->ChapterCount);
    for (int p = 0; p < shownNames.size(); ++p) {
        if (FixedText<100>::fromText(shownNames[p]).trimmed() !=
            c->ChapterTable[p + 2].Name.trimmed())
            return "entry " + shownNames[p] + " shows another chapter";
    }
    return {};
}

// The editor, while shown, is in a state of its table, with a picture shown
// exactly while a problem is open.
QString editorBreak(Driver &)
{
    if (!shown(kEd))
        return {};
    if (!QStringList{kIdle, kNewPicture, kCatalogued}.contains(editorState()))
        return "the editor in " + editorState();
    return picture(kEd).isEmpty() == (editorState() == kIdle)
               ? QString()
               : "the picture does not follow the state";
}

// What the exit saves: every path names a picture, every counter counts the
// problems filed under its chapter.
QString catalogueBreak(Driver &d)
{
    auto c = std::make_unique<Collection>();
    if (const QString failed = exitBreak(d, c.get()); !failed.isEmpty())
        return failed;
    for (int row = Collection::FirstRow; row <= c->lastProblemRow(); ++row) {
        if (!test::namesAPicture(c->ProblemTable[row].ImagePath))
            return "row " + QString::number(row) + " stores " +
                   c->ProblemTable[row].ImagePath.text();
    }
    return test::countersBreak(*c);
}

const QList<Route> kChapterRoutes = routes({
    {"opened, the list focused", ""},
    {"an entry clicked", "row:2"},
    {"an entry chosen with the keys", "key:Down key:Down"},
    {"the last entry clicked", "row:last"},
    {"after a delete", "row:2 cap:Command2"},
    {"after a rename", "row:2 name:X cap:Command4"},
    {"after an add", "name:E cap:Command1"},
    {"chosen, closed and opened again", "row:2 cap:Command3 menu:mnuAddCap"},
});

const QList<Route> kEditorRoutes = routes({
    {"opened", ""},
    {"a new picture open", "look:00123"},
    {"a catalogued problem open", "look:00001"},
    {"a catalogued problem, another chapter and answer chosen", "look:00001 line:B ed:Option2_3"},
    {"after a save", "look:000123 line:A ed:Option2_1 ed:Command2"},
    {"after a delete", "look:00002 ed:btnSterge"},
    {"after a failed look-up", "look:00999"},
    {"after an exit that could not save", "look:00001 failexit"},
});

} // namespace

class TstEditingScreens : public QObject
{
    Q_OBJECT

private slots:
    void theChaptersScreenTells()
    {
        const auto d = started({"C"});
        STEP(act(*d, "menu:mnuAddCap"));
        QVERIFY(d->main()->isVisible());
        d->platform.clear();
        STEP(act(*d, "name:Geometrie cap:Command1"));
        QCOMPARE(listed(), QStringList({"A", "B", "C", "Geometrie"}));
        QCOMPARE(d->platform.cueNames(), QStringList{"setareok.wav"});
        QVERIFY(cap<QLineEdit>("Text1")->text().isEmpty());
        const QString longName(104, u'L');
        STEP(act(*d, "name:" + longName + " cap:Command1"));
        QCOMPARE(listed().last(), longName); // listed as typed, stored cut
        const QList<QPair<QString, QString>> told = {
            {"name:A cap:Command1", editmsg::CategoryExists},
            {"cap:Command1", editmsg::NoCategoryName},
            {"cap:Command4", editmsg::NoTitleSelected},
            {"row:0 cap:Command4", editmsg::CategoryExists},
            {"row:1 name: cap:Command4", editmsg::NoNewName},
            {"row:1 cap:Command2", editmsg::CategoryHasProblems},
        };
        for (const auto &[steps, message] : told) {
            d->platform.clear();
            STEP(act(*d, steps));
            QCOMPARE(d->platform.messageTexts(), QStringList{message});
            QCOMPARE(d->platform.messages[0].buttons, message == editmsg::NoCategoryName
                                                          ? Platform::Buttons::OkCancel
                                                          : Platform::Buttons::Ok);
            QCOMPARE(d->platform.cueNames(), QStringList{"setareok.wav"}); // played even then
        }
        STEP(act(*d, "row:0"));
        QCOMPARE(cap<QLineEdit>("Text1")->text(), QString("A"));
        STEP(act(*d, "name:Algebra cap:Command4"));
        QCOMPARE(listed(), QStringList({"Algebra", "B", "C", "Geometrie", longName}));

        // Deleting needs an entry chosen: the keyboard's focus on the list
        // chooses none, and a deleted entry leaves none chosen.
        STEP(act(*d, "row:2 cap:Command2"));
        QCOMPARE(listed(), QStringList({"Algebra", "B", longName, "Geometrie"}));
        STEP(Driver::pressKey(cap<QLineEdit>("Text1"), Qt::Key_Backtab));
        d->platform.clear();
        STEP(act(*d, "cap:Command2 cap:Command2"));
        QCOMPARE(listed().size(), 4);
        QVERIFY(d->platform.messages.isEmpty());

        // Close refills the (hidden) editor's chapters; a close from the
        // frame only hides the screen.
        d->platform.clear();
        STEP(act(*d, "cap:Command3"));
        QCOMPARE(d->platform.cueNames(), QStringList{"exitform.wav"});
        QCOMPARE(test::lines(ed<QComboBox>("Combo1")),
                 QStringList({"Algebra", "B", QString(100, u'L'), "Geometrie"}));
        STEP(act(*d, "menu:mnuAddCap close:frmAddCap"));
        QVERIFY(Driver::screen(kCap));
    }

    void theEditorTells()
    {
        const auto d = started();
        QFile::remove(d->folder().filePath("probleme/probl00002.jpg"));
        STEP(act(*d, "menu:mnuSeteazaProbl"));
        QCOMPARE(editorState(), kIdle);
        QCOMPARE(test::lines(ed<QComboBox>("Combo1")), QStringList({"A", "B"}));
        QCOMPARE(ed<QLabel>("Label2")->text(), editmsg::CountPrefix + "3");
        // Look-ups: what each finds, tells and shows.
        const QList<QStringList> lookUps = {
            {"0123", kIdle, editmsg::NoSuchProblem, "setareok.wav", ""},
            {"00002", kCatalogued, editmsg::PictureMissing, "", ""},
            {"00001", kCatalogued, "", "", "00001"},
            {"00123", kNewPicture, "", "setareok.wav", "00123"},
        };
        for (const QStringList &l : lookUps) {
            d->platform.clear();
            STEP(act(*d, "look:" + l[0]));
            QCOMPARE(d->platform.prompts, QStringList{editmsg::AskIndex});
            QCOMPARE(editorState(), l[1]);
            QCOMPARE(d->platform.messageTexts().join(""), l[2]);
            QCOMPARE(d->platform.cueNames().join(""), l[3]);
            QCOMPARE(picture(kEd).right(9).left(5), l[4]);
            if (l[1] == kCatalogued) {
                QCOMPARE(ed<QComboBox>("Combo1")->currentText(), QString("A"));
                QVERIFY(
                    ed<QRadioButton>("Option2_" + QString::number(l[0].toInt() - 1))->isChecked());
                STEP(act(*d, "ed:Command3 menu:mnuSeteazaProbl"));
            }
        }
        d->platform.clear();
        STEP(act(*d, "ed:Command2"));
        QCOMPARE(d->platform.messageTexts(), QStringList{editmsg::Incomplete});
        QVERIFY(d->platform.cues.isEmpty());
        d->platform.clear();
        STEP(act(*d, "line:B ed:Option2_3 ed:Command2"));
        QCOMPARE(d->platform.messageTexts(), QStringList{editmsg::Saved});
        QCOMPARE(d->platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(editorState(), kIdle);
        QCOMPARE(ed<QLabel>("Label2")->text(), editmsg::CountPrefix + "4");
        QVERIFY(ed<QComboBox>("Combo1")->currentText().isEmpty());
        QVERIFY(!ed<QRadioButton>("Option2_3")->isChecked());
        QVERIFY(picture(kEd).isEmpty());

        d->platform.clear();
        STEP(act(*d, "look:00001 ed:btnSterge"));
        QCOMPARE(d->platform.messageTexts(), QStringList{editmsg::Deleted});
        QCOMPARE(d->platform.cueNames(), QStringList{"setareok.wav"});
        QCOMPARE(editorState(), kIdle);
        QCOMPARE(ed<QLabel>("Label2")->text(), editmsg::CountPrefix + "3");
        QVERIFY(!d->folder().exists("probleme/probl00001.jpg"));

        // A close from the frame ends the editor; the menu makes it anew.
        d->platform.clear();
        STEP(act(*d, "look:00003 close:frmSetProblema"));
        QCOMPARE(d->platform.cueNames(), QStringList{"exitform.wav"});
        QTRY_VERIFY(!Driver::screen(kEd));
        QVERIFY(d->exit());
        const auto c = test::collectionOnDisk(d->path());
        QVERIFY(c);
        QCOMPARE(c->ProblemCount, 3);
        QCOMPARE(c->ProblemTable[2].CorrectAnswer, 3); // 00123, in the row of 00001
        QCOMPARE(test::countersBreak(*c), QString());
    }

    // From every state of the chapters screen, every event keeps the choice,
    // the selection and the list in agreement with the table.
    void everyEventKeepsTheChaptersScreenInItsTable_data() { test::addRouteRows(kChapterRoutes); }
    void everyEventKeepsTheChaptersScreenInItsTable()
    {
        QFETCH(int, route);
        const QList<Event> chapterEvents =
            events({"row:0", "row:last", "key:Down", "key:Up", "cap:Command1", "cap:Command2",
                    "cap:Command4", "cap:Command3", "name:Nou cap:Command1",
                    "name:Nou cap:Command4", "close:frmAddCap", "menu:mnuAddCap"});
        auto start = [] {
            auto d = started({"C", "D"});
            act(*d, "menu:mnuAddCap");
            Driver::pressKey(cap<QLineEdit>("Text1"), Qt::Key_Backtab); // the list focused
            return d;
        };
        QString failure;
        const int happened = test::walkEvents<Driver>(start, kChapterRoutes[route], chapterEvents,
                                                      chaptersBreak, listBreak, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(happened, chapterEvents.size());
    }

    // From every state of the problem editor, every event leads to a state
    // of its table, and what the exit saves names pictures and keeps the
    // counters.
    void everyEventKeepsTheEditorInItsTable_data() { test::addRouteRows(kEditorRoutes); }
    void everyEventKeepsTheEditorInItsTable()
    {
        QFETCH(int, route);
        const QList<Event> editorEvents =
            events({"look:00123", "look:00003", "look:00999", "ed:Command2", "ed:btnSterge",
                    "ed:Command3", "ed:Option2_2", "line:B", "close:frmSetProblema",
                    "menu:mnuSeteazaProbl", "failexit", "menu:mnuAddCap cap:Command3"});
        auto start = [] {
            auto d = started();
            act(*d, "menu:mnuSeteazaProbl");
            return d;
        };
        QString failure;
        const int happened = test::walkEvents<Driver>(start, kEditorRoutes[route], editorEvents,
                                                      editorBreak, catalogueBreak, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 6);
    }
};

QTEST_MAIN(TstEditingScreens)
#include "tst_editing_screens.moc"
