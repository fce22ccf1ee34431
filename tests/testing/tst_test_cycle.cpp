// A test taken through the main screen and the definition screen with real
// input: what they show and tell at each step and the result on disk; and
// every event the two screens offer, from every state of their tables,
// leads to a state of their tables.
#include "archive/result_archive.h"
#include "store/collection_io.h"
#include "store/record_file.h"
#include "support/driver.h"
#include "support/file_size_limit.h"
#include "support/screen_table.h"
#include "testing/testing_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace culegere;
using test::Driver;
namespace phase = test::phase;

namespace {

const QString kDef = QStringLiteral("frmDefTest");
const QString kRedrawnTimed = "01111001 110 0001 01"; // a new draw, the stopwatch counting on
const QStringList kMainTable = {phase::Startup, phase::Defined, phase::Drawn,    phase::Timed,
                                kRedrawnTimed,  phase::Graded,  phase::Corrected};

template <typename T> T *def(const QString &name)
{
    return Driver::control<T>(kDef, name);
}
QString text(Driver &d, const QString &box)
{
    return d.control<QLineEdit>(box)->text();
}
bool usable(QWidget *w)
{
    return w && w->isEnabled() && w->isVisibleTo(w->window());
}
bool shown(const QString &screen)
{
    return Driver::screen(screen) && Driver::screen(screen)->isVisible();
}

// A user's steps, separated by blanks: "Name" presses a button of the main
// screen, "def:Name" one of the definition screen, "menu:Name" chooses a menu
// item, "close:Screen" closes a screen from its frame, "nu:Name" presses a
// button and answers Nu to its question, "full:Name" presses one while
// Users.stn cannot grow; "add:B4" adds 4 problems of chapter B, "whole" and
// "chapters" define the whole collection or B (4) and A (5) ("_" stands for
// a blank in a chapter's name), "answer:4"
// answers the first four right, "delete:6" deletes problem 6 in the editor;
// "on:frmDespre.Command1" presses a button of another screen; "alt:C"
// presses an access key of the main screen, whose click "wait" waits for.
void act(Driver &d, const QString &steps)
{
    using Step = std::function<void(Driver &, const QString &)>;
    static const QMap<QString, Step> kinds = {
        {"", [](Driver &d, const QString &a) { d.press(a); }},
        {"def", [](Driver &, const QString &a) { Driver::press(kDef, a); }},
        {"menu", [](Driver &d, const QString &a) { d.chooseMenu(a); }},
        {"close", [](Driver &, const QString &a) { Driver::closeFromFrame(a); }},
        {"whole", [](Driver &d, const QString &) { d.defineWholeCollection(); }},
        {"chapters",
         [](Driver &d, const QString &) {
             d.definePerChapter({{"B", 4}, {"A", 5}});
         }},
        {"answer", [](Driver &d, const QString &a) { d.answer(a.toInt()); }},
        {"nu",
         [](Driver &d, const QString &a) {
             d.platform.messageAnswers.push_back(false);
             d.press(a);
         }},
        {"full",
         [](Driver &d, const QString &a) {
             test::FileSizeLimit full(d.folder().read(datafile::Users).size());
             d.press(a);
         }},
        {"add",
         [](Driver &, const QString &a) {
             STEP(Driver::chooseLine(kDef, "Combo1", "--" + a.chopped(1).replace(u'_', u' ')));
             STEP(Driver::scrollTo(def<QScrollBar>("HScroll1"), a.right(1).toInt()));
             Driver::press(kDef, "Command2");
         }},
        {"on", [](Driver &,
                  const QString &a) { Driver::press(a.section('.', 0, 0), a.section('.', 1)); }},
        {"alt",
         [](Driver &, const QString &a) { Driver::accessKey("Main", a[0].toLatin1(), false); }},
        {"wait", [](Driver &, const QString &) { QTest::qWait(Driver::kAccessKeyDelayMs); }},
        {"delete",
         [](Driver &d, const QString &a) {
             d.platform.textAnswers.push_back(test::pictureIndex(a.toInt()));
             STEP(Driver::press("frmSetProblema", "Command1"));
             Driver::press("frmSetProblema", "btnSterge");
         }},
    };
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const bool plain = !step.contains(u':') && !kinds.contains(step);
        STEP(kinds[plain ? QString() : step.section(u':', 0, 0)](d, plain ? step
                                                                          : step.section(u':', 1)));
    }
}

// Whether the first of the steps, after an access key, can be taken now.
bool available(Driver &d, const QString &steps)
{
    const int first = steps.startsWith("alt:") ? 1 : 0;
    const QString step = steps.section(u' ', first, first);
    const QString kind = step.section(u':', 0, 0), name = step.section(u':', -1);
    if (kind == "def")
        return shown(kDef) && usable(def<QAbstractButton>(name));
    if (kind == "close")
        return shown(name);
    if (kind == "on")
        return shown(name.section('.', 0, 0)) &&
               usable(
                   Driver::control<QAbstractButton>(name.section('.', 0, 0), name.section('.', 1)));
    return d.main()->isVisible() && (kind == "menu" ? d.menuItem(name)->isEnabled()
                                                    : usable(d.control<QAbstractButton>(name)));
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

std::unique_ptr<Driver> started()
{
    auto d = std::make_unique<Driver>();
    if (!d->start())
        qFatal("the program did not start");
    return d;
}

const QList<Route> kRoutes = routes({
    {"start-up", ""},
    {"definition open", "btnDefTest"},
    {"definition accepted, not taken over", "btnDefTest def:Command1"},
    {"definition closed from the frame without Seteaza", "btnDefTest close:frmDefTest"},
    {"defined", "whole"},
    {"defined per chapter", "chapters"},
    {"drawn", "whole Command4"},
    {"timed", "chapters Command4 btnStartCrono"},
    {"answered", "chapters Command4 answer:4"},
    {"all answered", "whole Command4 answer:9"},
    {"graded, not written", "chapters Command4 answer:4 full:Command3"},
    {"corrected", "whole Command4 answer:9 Command3"},
    {"reset", "whole Command4 answer:9 Command3 Command6"},
    {"draw refused", "chapters menu:mnuSeteazaProbl delete:6 Command4"},
    {"editing screens open, then drawn",
     "menu:mnuSeteazaProbl menu:mnuAddCap menu:mnuRezolva whole Command4 answer:9"},
    {"About open, printing", "menu:mnuDespre whole Command4 menu:mnuPrint"},
    {"chapters open, printing", "menu:mnuAddCap whole Command4 menu:mnuPrint"},
    {"per chapter", "btnDefTest def:Option2"},
    {"a chapter added", "btnDefTest def:Option2 add:B4"},
    {"accepted per chapter", "btnDefTest def:Option2 add:B4 add:A5 def:Command1"},
    {"accepted per chapter, the whole collection marked",
     "btnDefTest def:Option2 add:B4 add:A5 def:Command1 def:Option1"},
    {"whole collection accepted, chapters marked", "btnDefTest def:Command1 def:Option2 add:B4"},
    {"opened again after a close without a definition",
     "btnDefTest def:Option2 add:B4 close:frmDefTest btnDefTest"},
});

// Every event of the two screens: the main screen's buttons and variants,
// its menu items and its frame close (the exit, failing here to save); the
// definition screen's buttons, options, chapter box, count and frame close.
QList<Event> allEvents()
{
    QList<Event> out = events({"btnDefTest",     "Command4",          "Command1",
                               "Command2",       "Command3",          "Command5",
                               "Command6",       "btnStartCrono",     "nu:Command6",
                               "Option1_0",      "Option1_1",         "Option1_2",
                               "Option1_3",      "Option1_4",         "menu:mnuSeteazaProbl",
                               "menu:mnuAddCap", "menu:mnuRezultate", "menu:mnuRezolva",
                               "menu:mnuPrint",  "menu:mnuBackup",    "menu:mnuTesteazaIntegritate",
                               "menu:mnuHiphen", "menu:mnuUtilizare", "menu:mnuDespre",
                               "def:Option1",    "def:Option2",       "def:Command2",
                               "def:Command1",   "def:Command3",      "close:frmDefTest"});
    // Two inputs at once, and what a screen opened before brings about.
    out += events({"alt:C Command3 wait", "alt:S Command3 wait", "alt:R Command6 wait",
                   "on:frmDespre.Command1", "on:frmAddCap.Command3", "on:frmTipareste.Command1",
                   "on:frmSetProblema.Command3", "on:frmRezolva.Command6"});
    out.append({"frame close, the save failing", [](Driver &d) { return d.main()->isVisible(); },
                [](Driver &) {
                    test::FileSizeLimit full(0);
                    Driver::closeFromFrame("Main");
                }});
    auto combo = [] { return def<QComboBox>("Combo1"); };
    auto comboUsable = [=](Driver &) {
        return shown(kDef) && usable(combo()) && combo()->count() > 0;
    };
    out.append({"a line chosen with the mouse", comboUsable,
                [=](Driver &) { Driver::chooseLine(kDef, "Combo1", combo()->itemText(0)); }});
    out.append({"a line chosen with the keys", comboUsable,
                [=](Driver &) { Driver::pressKey(combo(), Qt::Key_Down); }});
    out.append({"the count raised with the keys",
                [](Driver &) { return shown(kDef) && usable(def<QScrollBar>("HScroll1")); },
                [](Driver &) { Driver::pressKey(def<QScrollBar>("HScroll1"), Qt::Key_Right); }});
    return out;
}

// The definition screen's state (1 on, 0 off): "Toata culegerea" and "Pe
// capitole" marked; the chapter box, the count and "Adauga" usable; "Ok".
const QStringList kDefinitionTable = {
    "10 000 0", // the whole collection marked
    "10 000 1", // accepted
    "01 111 0", // chapters being chosen
    "01 000 0", // ten chapters chosen
    "01 000 1", // accepted per chapter: closed for additions
};
QString definitionState()
{
    QString s;
    for (QWidget *w : std::initializer_list<QWidget *>{
             def<QRadioButton>("Option1"), def<QRadioButton>("Option2"), nullptr,
             def<QComboBox>("Combo1"), def<QScrollBar>("HScroll1"), def<QPushButton>("Command2"),
             nullptr, def<QPushButton>("Command3")}) {
        auto *option = qobject_cast<QRadioButton *>(w);
        s += !w ? ' ' : (option ? option->isChecked() : w->isEnabled()) ? '1' : '0';
    }
    return s;
}

// The main screen is in a state of its table; the definition screen, while
// shown, in a state of its own, the chapters it lists adding up to nine
// when accepted per chapter and each chapter either offered or listed. The
// screens that edit or page through the collection are usable exactly while
// no test is under way; the print dialog is open only during a test, and
// no screen shown in the main screen's place is open beside it; a corrected
// test is stored once (an access key's click comes late, after its button
// went off).
QString cycleBreak(Driver &d)
{
    if (!kMainTable.contains(d.phase()))
        return "the main screen in " + d.phase();
    const bool underWay = !d.menuItem("mnuAddCap")->isEnabled();
    for (const QString screen : {"frmSetProblema", "frmAddCap", "frmRezolva"}) {
        const QString list = screen == "frmAddCap" ? "listCap" : "Combo1";
        if (shown(screen) && Driver::control<QWidget>(screen, list)->isEnabled() == underWay)
            return screen + (underWay ? " usable during a test" : " closed with no test");
    }
    if (shown("frmTipareste") && !underWay)
        return "printing with no test";
    if (d.folder().read(datafile::Users).size() > 2 * UserRecord::Size) // one test at most
        return "a test stored twice";
    for (const QString inPlace : {"frmTipareste", "frmRezultate"}) {
        if (shown(inPlace) && d.main()->isVisible())
            return inPlace + " open beside the main screen";
    }
    if (!shown(kDef))
        return {};
    const QString state = definitionState();
    if (!kDefinitionTable.contains(state))
        return "the definition screen in " + state;
    const QStringList listed = test::lines(def<QListWidget>("listCap"));
    int total = 0;
    for (const QString &line : listed)
        total += line.section("-----", -1).toInt();
    if (listed.size() + def<QComboBox>("Combo1")->count() != 4)
        return "a chapter neither offered nor listed";
    if (state == "01 000 1" && total != 9)
        return QStringLiteral("accepted with %1 problems").arg(total);
    return {};
}

} // namespace

class TstTestCycle : public QObject
{
    Q_OBJECT

private slots:
    // What each step tells and plays, from a state reached by others
    // ("setup | steps"), and the main screen's state after it.
    void whatAStepTells_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QStringList>("cues");
        QTest::addColumn<QString>("after");
        const QString ok = "setareok.wav", exitForm = "exitform.wav";
        QTest::newRow("the definition opened")
            << "| btnDefTest" << QStringList{} << QStringList{"birds_22khz_lp-1.wav"}
            << phase::Startup;
        QTest::newRow("chapters added, accepted, Ok")
            << "btnDefTest def:Option2 | add:B4 add:A5 def:Command1 def:Command3"
            << QStringList{testmsg::TestSet} << QStringList{ok, ok, ok, exitForm} << phase::Defined;
        QTest::newRow("more problems than the chapter holds")
            << "btnDefTest def:Option2 | add:B5" << QStringList{testmsg::ChapterNotDefined}
            << QStringList{} << phase::Startup;
        QTest::newRow("a total other than nine")
            << "btnDefTest def:Option2 add:B4 | add:A4 def:Command1"
            << QStringList{testmsg::TotalNotNine} << QStringList{ok} << phase::Startup;
        QTest::newRow("the whole collection")
            << "btnDefTest | def:Command1" << QStringList{testmsg::WholeCollectionSet}
            << QStringList{} << phase::Startup;
        QTest::newRow("the pupil's name asked")
            << "| Command5" << QStringList{} << QStringList{ok} << phase::Startup;
        QTest::newRow("corrected unanswered")
            << "whole Command4 | Command3" << QStringList{testmsg::NotAllAnswered} << QStringList{}
            << phase::Drawn;
        QTest::newRow("answered: marking plays nothing")
            << "whole Command4 | answer:5" << QStringList{} << QStringList(9, "next.wav")
            << phase::Drawn;
        QTest::newRow("corrected") << "whole Command4 answer:5 | Command3" << QStringList{}
                                   << QStringList{"exit.wav"} << phase::Corrected;
        QTest::newRow("reset") << "whole Command4 answer:9 Command3 | Command6" << QStringList{}
                               << QStringList{"incarca.wav"} << phase::Startup;
        QTest::newRow("a chapter made too small")
            << "chapters menu:mnuSeteazaProbl delete:6 | Command4"
            << QStringList{testmsg::ChapterTooSmall.arg("B")} << QStringList{} << phase::Startup;
        QTest::newRow("too few problems")
            << "whole menu:mnuSeteazaProbl delete:1 | Command4"
            << QStringList{testmsg::TooFewProblems} << QStringList{} << phase::Startup;
        QTest::newRow("a result that cannot be written")
            << "chapters Command4 answer:6 | full:Command3"
            << QStringList{testmsg::ResultNotSaved.arg("Users.stn")} << QStringList{}
            << phase::Graded;
        QTest::newRow("not written, Reset kept back")
            << "chapters Command4 answer:6 full:Command3 | nu:Command6"
            << QStringList{testmsg::ResultWillBeLost} << QStringList{} << phase::Graded;
        QTest::newRow("not written, Reset gives it up")
            << "chapters Command4 answer:6 full:Command3 | Command6"
            << QStringList{testmsg::ResultWillBeLost} << QStringList{"incarca.wav"}
            << phase::Startup;
        QTest::newRow("not written, written on a retry")
            << "chapters Command4 answer:6 full:Command3 nu:Command6 | Command3" << QStringList{}
            << QStringList{"exit.wav"} << phase::Corrected;
    }
    void whatAStepTells()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, told);
        QFETCH(QStringList, cues);
        QFETCH(QString, after);
        Driver d;
        STEP(d.startOrFail());
        STEP(act(d, steps.section(u'|', 0, 0)));
        const QByteArray users = d.folder().read(datafile::Users);
        d.platform.clear();
        STEP(act(d, steps.section(u'|', 1)));
        QCOMPARE(d.platform.messageTexts(), told);
        QCOMPARE(d.platform.cueNames(), cues);
        QCOMPARE(d.phase(), after);
        const bool written = cues == QStringList{"exit.wav"};
        QCOMPARE(d.folder().read(datafile::Users).size(),
                 users.size() + (written ? UserRecord::Size : 0));
    }

    // A test through the screens: a typed chapter counts, the list shows
    // what was added, a refused total empties it, the choice starts again at
    // the top; a mark shows again with its problem and a new draw shows none;
    // the correction marks the right answers; an archive that cannot be
    // written is told, the log takes the result all the same, and the
    // archive gets it with the next result.
    void aTestThroughTheScreens_data()
    {
        QTest::addColumn<bool>("archiveWorks");
        QTest::newRow("the archive works") << true;
        QTest::newRow("the archive cannot be opened") << false;
    }
    void aTestThroughTheScreens()
    {
        QFETCH(bool, archiveWorks);
        Driver d;
        if (!archiveWorks)
            QVERIFY(QDir().mkpath(d.folder().filePath("Arhiva.sqlite")));
        STEP(d.startOrFail());
        STEP(act(d, "btnDefTest def:Option2"));
        auto *combo = def<QComboBox>("Combo1");
        auto *list = def<QListWidget>("listCap");
        QTest::keyClicks(combo->lineEdit(), "4--B");
        STEP(Driver::scrollTo(def<QScrollBar>("HScroll1"), 4));
        STEP(act(d, "def:Command2 add:A4 add:Benzi_de_completare2"));
        QCOMPARE(test::lines(list),
                 QStringList({"4--B-----4", "5--A-----4", "2--Benzi de completare-----2"}));
        STEP(act(d, "def:Command1"));
        QCOMPARE(list->count(), 0);
        STEP(act(d, "add:A2"));
        STEP(Driver::pressKey(combo, Qt::Key_Down));
        QCOMPARE(combo->currentText(), QString("4--B"));
        // Opened again, the screen forgets even an accepted definition; a
        // close from its frame ends it, the main screen taking nothing over,
        // and "Ok" only hides it.
        STEP(act(d, "def:Option1 def:Command1 btnDefTest"));
        QVERIFY(!def<QPushButton>("Command3")->isEnabled());
        QCOMPARE(list->count(), 0);
        STEP(act(d, "close:frmDefTest"));
        QTRY_VERIFY(!Driver::screen(kDef));
        QCOMPARE(d.phase(), phase::Startup);
        STEP(act(d, "chapters"));
        QVERIFY(Driver::screen(kDef) && !shown(kDef));

        STEP(act(d, "Command4 btnStartCrono"));
        QTRY_VERIFY(!text(d, "Text3").isEmpty()); // the stopwatch counts
        auto *variant = d.control<QRadioButton>("Option1_2");
        STEP(act(d, "Option1_2 Command1"));
        QVERIFY(!variant->isChecked());
        STEP(act(d, "Command2"));
        QVERIFY(variant->isChecked());
        STEP(act(d, "Command4"));
        QVERIFY(!variant->isChecked());
        QCOMPARE(d.control<QLabel>("Label2")->text().trimmed(), QString("B"));
        STEP(d.answer(5));
        d.platform.clear();
        STEP(d.correct());
        QCOMPARE(d.platform.messageTexts().size(), archiveWorks ? 0 : 1);
        QCOMPARE(d.grade(), 6);
        for (int p = 0; p < 9; ++p)
            QCOMPARE(d.control<QCheckBox>(QStringLiteral("Check1_%1").arg(p))->isChecked(), p < 5);
        QCOMPARE(d.folder().read(datafile::Users).size(), 2 * UserRecord::Size);
        ResultArchive kept(d.folder().filePath("Arhiva.sqlite"));
        QCOMPARE(kept.open(false).ok(), archiveWorks);
        QCOMPARE(archiveWorks ? kept.rows().size() : -1, archiveWorks ? 1 : -1);
        if (!archiveWorks)
            QVERIFY(d.platform.messageTexts()[0].startsWith("Arhiva rezultatelor"));

        STEP(d.press("Command6"));
        for (const char *name : {"Text1", "Text2", "Text3"})
            QVERIFY(text(d, name).isEmpty());
        QVERIFY(!d.control<QCheckBox>("Check1_0")->isChecked());
        QCOMPARE(d.control<QWidget>("Picture1")->accessibleName(),
                 QString("Nicio problema afisata"));
        // Once the archive can be made, the next result brings the one it
        // missed along, both with their positions.
        QVERIFY(archiveWorks || QDir(d.folder().filePath("Arhiva.sqlite")).removeRecursively());
        STEP(d.takeTest(3));
        QVERIFY(kept.open(false).ok());
        QCOMPARE(kept.testCount(), 2);
        QCOMPARE(kept.test(1).answers.size() + kept.test(2).answers.size(), 18);
    }

    // From every state of the two screens' tables, every event available
    // leads to a state of their tables.
    void everyEventKeepsTheScreensInTheirTables_data() { test::addRouteRows(kRoutes); }
    void everyEventKeepsTheScreensInTheirTables()
    {
        QFETCH(int, route);
        QString failure;
        const int happened = test::walkEvents<Driver>(started, kRoutes[route], allEvents(),
                                                      cycleBreak, {}, &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(happened >= 2); // with the print dialog open, its Ok and the screen behind
    }
};

QTEST_MAIN(TstTestCycle)
#include "tst_test_cycle.moc"
