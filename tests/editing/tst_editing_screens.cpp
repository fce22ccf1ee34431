// The chapters screen and the problem editor with real input: what they
// show and tell, and every event they offer, from every state of their
// tables, leads to a state of their tables.
#include "editing/chapters_screen.h"
#include "editing/editing_messages.h"
#include "store/problem_paths.h"
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
// 1..3 and a new one, 123; for a test to draw, T (problems 11..19).
std::unique_ptr<Driver> started(const QStringList &more = {}, bool forATest = false)
{
    Collection c;
    test::addChapter(c, "A", 2);
    test::addChapter(c, "B", 1);
    for (const QString &name : more)
        test::addChapter(c, name.toLatin1());
    for (int i = 1; i <= 3; ++i)
        test::addProblem(c, i < 3 ? "A" : "B", test::pictureIndex(i), qint16(i - 1));
    if (forATest)
        test::addChapter(c, "T", 9);
    for (int i = 11; forATest && i <= 19; ++i)
        test::addProblem(c, "T", test::pictureIndex(i));
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
// a key on the list, "name:X" types a name, "ctrl:2" Ctrl+clicks an entry;
// in the editor "look:X" looks index X up, "line:B" chooses chapter B;
// "failexit" is an exit that cannot save; "draw" draws a test from the whole
// collection, "end" answers, corrects and ends it.
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
        {"ctrl",
         [](Driver &, const QString &a) { Driver::clickRow(kCap, "listCap", a.toInt(), true); }},
        {"draw",
         [](Driver &d, const QString &) {
             STEP(d.defineWholeCollection());
             d.draw();
         }},
        {"end",
         [](Driver &d, const QString &) {
             STEP(d.answer(9));
             STEP(d.correct());
             d.press("Command6");
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
    if (kind == "draw" || kind == "end")
        return d.control<QWidget>(kind == "draw" ? "btnDefTest" : "Command3")->isEnabled();
    const QString screen =
        QStringList{"cap", "row", "key", "name", "ctrl"}.contains(kind) ? kCap : kEd;
    const QString control = kind == "look"                  ? "Command1"
                            : kind == "cap" || kind == "ed" ? arg
                            : kind == "name"                ? "Text1"
                            : kind == "line"                ? "Combo1"
                                                            : "listCap";
    return shown(screen) && Driver::control<QWidget>(screen, control)->isEnabled();
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

bool underWay(Driver &d)
{
    return !d.menuItem("mnuAddCap")->isEnabled();
}

// The chapters screen: the entry chosen is the one shown selected, its name
// is the title chosen, and every button can be pressed, Close only while a
// test is under way.
QString chaptersBreak(Driver &d)
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
    for (const char *button : {"Command1", "Command2", "Command4", "Command3"}) {
        if (cap<QPushButton>(button)->isEnabled() != (!underWay(d) || button[7] == '3'))
            return QString(button) + (underWay(d) ? " is on during a test" : " is off");
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

// The editor, while shown, is in a state of its table, all off exactly
// while a test is under way, with a picture shown exactly while a problem
// is open.
QString editorBreak(Driver &d)
{
    if (!shown(kEd))
        return {};
    const QStringList table =
        underWay(d) ? QStringList{"000"} : QStringList{kIdle, kNewPicture, kCatalogued};
    if (!table.contains(editorState()) || ed<QComboBox>("Combo1")->isEnabled() == underWay(d))
        return "the editor in " + editorState();
    if (underWay(d))
        return picture(kEd).isEmpty() ? QString() : "a picture shown during a test";
    return picture(kEd).isEmpty() == (editorState() == kIdle)
               ? QString()
               : "the picture does not follow the state";
}

// What the exit saves: every path names a picture, every counter counts the
// problems filed under its chapter.
// The catalogue on the disk, as a crash would leave it and after the exit,
// names only pictures that are there.
QString catalogueBreak(Driver &d)
{
    auto c = std::make_unique<Collection>();
    for (const bool exited : {false, true}) {
        if (!exited)
            *c = test::collectionOnDisk(d.path()).value_or(Collection());
        else if (const QString failed = exitBreak(d, c.get()); !failed.isEmpty())
            return failed;
        for (int row = Collection::FirstRow; row <= c->lastProblemRow(); ++row) {
            const FixedText<250> &path = c->ProblemTable[row].ImagePath;
            if (!test::namesAPicture(path) ||
                !QFile::exists(problemPictureFile(AppFolder(d.path()), path)))
                return "row " + QString::number(row) + " names no picture: " + path.text();
        }
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
    {"an entry unselected", "row:2 ctrl:2"},
    {"an entry clicked, then a test drawn", "row:2 draw"},
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
    {"a catalogued problem open, then a test drawn", "look:00001 draw"},
});

} // namespace

class TstEditingScreens : public QObject
{
    Q_OBJECT

private slots:
    // What each step tells and plays, on the chapters screen or the editor
    // opened ("setup | steps"), and what the screens show after it: the
    // chapters listed, or the editor's state, picture, chapter and count.
    void whatAStepTells_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QStringList>("cues");
        QTest::addColumn<QString>("shows");
        const QStringList ok{"setareok.wav"}, none;
        const QString c = "menu:mnuAddCap ", e = "menu:mnuSeteazaProbl ",
                      count = editmsg::CountPrefix;
        QTest::newRow("added") << c + "| name:D cap:Command1" << none << ok << "A,B,C,D";
        QTest::newRow("added twice")
            << c + "| name:A cap:Command1" << QStringList{editmsg::CategoryExists} << ok << "A,B,C";
        QTest::newRow("added without a name")
            << c + "| cap:Command1" << QStringList{editmsg::NoCategoryName} << ok << "A,B,C";
        QTest::newRow("renamed, nothing chosen")
            << c + "| cap:Command4" << QStringList{editmsg::NoTitleSelected} << ok << "A,B,C";
        QTest::newRow("renamed, the entry unselected with Ctrl+click")
            << c + "row:1 ctrl:1 | name:X cap:Command4" << QStringList{editmsg::NoTitleSelected}
            << ok << "A,B,C";
        QTest::newRow("renamed to itself")
            << c + "| row:0 cap:Command4" << QStringList{editmsg::CategoryExists} << ok << "A,B,C";
        QTest::newRow("renamed without a name")
            << c + "| row:1 name: cap:Command4" << QStringList{editmsg::NoNewName} << ok << "A,B,C";
        QTest::newRow("renamed") << c + "| row:0 name:Algebra cap:Command4" << none << ok
                                 << "Algebra,B,C";
        QTest::newRow("deleted, holding a problem")
            << c + "| row:1 cap:Command2" << QStringList{editmsg::CategoryHasProblems} << ok
            << "A,B,C";
        QTest::newRow("deleted") << c + "| row:2 cap:Command2" << none << ok << "A,B";
        QTest::newRow("closed: the editor's chapters refilled")
            << c + "name:D cap:Command1 | cap:Command3" << none << QStringList{"exitform.wav"}
            << "100||A,B,C,D||" + count + "3";
        QTest::newRow("no such problem") << e + "| look:0123" << QStringList{editmsg::NoSuchProblem}
                                         << ok << "100||A,B,C||" + count + "3";
        QTest::newRow("a picture missing")
            << e + "| look:00002" << QStringList{editmsg::PictureMissing} << none
            << "011||A,B,C|A|" + count + "3";
        QTest::newRow("a catalogued problem")
            << e + "| look:00001" << none << none << "011|00001|A,B,C|A|" + count + "3";
        QTest::newRow("a new picture, by six characters")
            << e + "| look:000123" << none << ok << "010|00123|A,B,C||" + count + "3";
        QTest::newRow("saved incomplete")
            << e + "look:00123 | ed:Command2" << QStringList{editmsg::Incomplete} << none
            << "010|00123|A,B,C||" + count + "3";
        QTest::newRow("saved") << e + "look:00123 line:B ed:Option2_3 | ed:Command2"
                               << QStringList{editmsg::Saved} << ok << "100||A,B,C||" + count + "4";
        QTest::newRow("deleted from the editor")
            << e + "look:00001 | ed:btnSterge" << QStringList{editmsg::Deleted} << ok
            << "100||A,B,C||" + count + "2";
        QTest::newRow("the editor closed from its frame")
            << e + "| close:frmSetProblema" << none << QStringList{"exitform.wav"} << "";
    }
    void whatAStepTells()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, told);
        QFETCH(QStringList, cues);
        QFETCH(QString, shows);
        const auto d = started({"C"});
        QFile::remove(d->folder().filePath("probleme/probl00002.jpg"));
        STEP(act(*d, steps.section(u'|', 0, 0)));
        d->platform.clear();
        STEP(act(*d, steps.section(u'|', 1)));
        QCOMPARE(d->platform.messageTexts(), told);
        if (!told.isEmpty()) // a name to type is asked with Cancel
            QCOMPARE(d->platform.messages[0].buttons, told[0] == editmsg::NoCategoryName
                                                          ? Platform::Buttons::OkCancel
                                                          : Platform::Buttons::Ok);
        QCOMPARE(d->platform.cueNames(), cues);
        QTRY_COMPARE(shown(kCap) ? listed().join(u',')
                     : !Driver::screen(kEd)
                         ? QString()
                         : QStringList({editorState(), picture(kEd).right(9).left(5),
                                        test::lines(ed<QComboBox>("Combo1")).join(u','),
                                        ed<QComboBox>("Combo1")->currentText(),
                                        ed<QLabel>("Label2")->text()})
                               .join(u'|'),
                     shows);
    }

    // From every state of the chapters screen, every event keeps the choice,
    // the selection and the list in agreement with the table.
    void everyEventKeepsTheChaptersScreenInItsTable_data() { test::addRouteRows(kChapterRoutes); }
    void everyEventKeepsTheChaptersScreenInItsTable()
    {
        QFETCH(int, route);
        const QList<Event> chapterEvents = events(
            {"row:0", "row:last", "key:Down", "key:Up", "cap:Command1", "cap:Command2",
             "cap:Command4", "cap:Command3", "name:Nou cap:Command1", "name:Nou cap:Command4",
             "close:frmAddCap", "menu:mnuAddCap", "ctrl:2", "draw", "end"});
        auto start = [] {
            auto d = started({"C", "D"}, true);
            act(*d, "menu:mnuAddCap");
            Driver::pressKey(cap<QLineEdit>("Text1"), Qt::Key_Backtab); // the list focused
            return d;
        };
        QString failure;
        const int happened = test::walkEvents<Driver>(start, kChapterRoutes[route], chapterEvents,
                                                      chaptersBreak, listBreak, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 3); // during a test: Close, the frame close and the end
    }

    // From every state of the problem editor, every event leads to a state
    // of its table, and what the exit saves names pictures and keeps the
    // counters.
    void everyEventKeepsTheEditorInItsTable_data() { test::addRouteRows(kEditorRoutes); }
    void everyEventKeepsTheEditorInItsTable()
    {
        QFETCH(int, route);
        const QList<Event> editorEvents = events(
            {"look:00123", "look:00003", "look:00999", "ed:Command2", "ed:btnSterge", "ed:Command3",
             "ed:Option2_2", "line:B", "close:frmSetProblema", "menu:mnuSeteazaProbl", "failexit",
             "menu:mnuAddCap cap:Command3", "draw", "end"});
        auto start = [] {
            auto d = started({}, true);
            act(*d, "menu:mnuSeteazaProbl");
            return d;
        };
        QString failure;
        const int happened = test::walkEvents<Driver>(start, kEditorRoutes[route], editorEvents,
                                                      editorBreak, catalogueBreak, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 3);
    }
};

QTEST_MAIN(TstEditingScreens)
#include "tst_editing_screens.moc"
