// Long use: the program worked through its screens as a school would over a
// whole year. Thousands of tests are defined (the whole collection and per
// chapter, in turn), drawn, answered, corrected and reset; hundreds of edits
// change the chapters and the catalogue; now and then the results and the
// problems are looked through; the program is left through its exit, or ends
// without it, and is started again on the same folder.
//
// All along: the log holds exactly the latest 98 results (the grades follow
// from the variants marked), every chapter's counter agrees with the
// catalogue, what an exit saved is what the next start-up loads (and an end
// without the exit loses exactly the editing since the last exit), and the
// process does not keep growing.
//
// CULEGERE_LONG_TESTS=<n> sets the number of tests (2000 by default; an edit
// follows every fourth test, and the program is restarted nine times on the
// way), e.g. to keep a run under AddressSanitizer short.
#include "archive/archive_messages.h"
#include "editing/chapter_rules.h"
#include "editing/editing_messages.h"
#include "shell/shell_messages.h"
#include "store/collection_io.h"
#include "store/integrity.h"
#include "support/running_app.h"
#include "support/user_input.h"
#include "testing/testing_messages.h"
#include "viewing/browsing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include <deque>
#include <random>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define LONG_USE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LONG_USE_UNDER_ASAN 1
#endif
#endif

using namespace culegere;
using test::child;
using test::topLevel;

// Stops the calling step as soon as a check inside a helper has failed.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace {

const QString kReserved = QStringLiteral("Benzi de completare");
constexpr int kLogSize = 98;
// Resident memory the process may gain between the warm-up and the end. One
// problem picture kept per test (200 x 100, decoded 80 KB) adds about 150 MB
// over 1900 tests. (A screen or control left behind is caught sooner, by the
// object counts and the windows left after the program ends.)
constexpr double kGrowthBoundMb = 40.0;

QString pictureIndex(int i)
{
    return test::pictureIndex(i);
}

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return double(fields[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int testsWanted()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("CULEGERE_LONG_TESTS", &ok);
    return ok && n > 0 ? std::max(n, 20) : 2000;
}

// The collection as the session expects the program to hold it.
struct Problem
{
    QString index;
    QString chapter;
    int answer = 0;
};

struct Model
{
    QStringList chapters;    // row order
    QList<Problem> problems; // row order

    int filed(const QString &chapter) const
    {
        int n = 0;
        for (const Problem &p : problems)
            n += p.chapter == chapter ? 1 : 0;
        return n;
    }
    int rowOf(const QString &index) const
    {
        for (int r = 0; r < problems.size(); ++r) {
            if (problems[r].index == index)
                return r;
        }
        return -1;
    }
    QString comboLine(const QString &chapter) const
    {
        return u' ' + QString::number(filed(chapter)) + QStringLiteral("--") + chapter;
    }
    QStringList comboLines() const
    {
        QStringList lines;
        for (const QString &chapter : chapters)
            lines.append(comboLine(chapter));
        return lines;
    }
    QList<int> rowsOf(const QString &chapter) const
    {
        QList<int> rows;
        for (int r = 0; r < problems.size(); ++r) {
            if (problems[r].chapter == chapter)
                rows.append(r);
        }
        return rows;
    }
};

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

QStringList itemsOf(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

QString recordText(const UserRecord &r)
{
    return QStringLiteral("%1 grade %2 ticks %3 day %4")
        .arg(QString::fromLatin1(r.Name.bytes().toHex()))
        .arg(r.Grade)
        .arg(r.ElapsedTicks)
        .arg(r.TestDate);
}

// The main screen's phase, control by control (1 on, 0 off): btnDefTest,
// Command4, Command1, Command2, Command3, Command5, Command6, btnStartCrono;
// the variants and the check marks shown; mnuAddCap, mnuRezolva,
// mnuSeteazaProbl, mnuPrint.
const QString kStartup = QStringLiteral("10000100 00 1110");
const QString kDefined = QStringLiteral("01000100 00 1110");
const QString kDrawn = QStringLiteral("01111001 10 0001");
const QString kCorrected = QStringLiteral("00110010 11 0001"); // the stopwatch fixed

class LongUse
{
public:
    explicit LongUse(int tests) : m_tests(tests) {}
    void run();

    double warmRss = 0;
    double finalRss = 0;

private:
    // The program.
    QWidget *main() const { return m_app->mainScreen(); }
    QAction *action(const QString &name) const { return child<QAction>(main(), name); }
    QPushButton *button(const QString &name) const { return child<QPushButton>(main(), name); }
    QString text(const QString &name) const { return child<QLineEdit>(main(), name)->text(); }
    QString phase() const;
    int shownIndex() const;
    void flushDeleted();
    // Closes a screen created on demand by its button, or now and then from
    // its frame, which destroys it.
    void closeNowAndThenFromTheFrame(QWidget *screen, const QString &closeButton);
    void trigger(const QString &name);

    void prepareFolder();
    void startProgram();
    void endSession(bool throughExit);
    void checkStartup();
    void checkFilesHold(const Model &model);

    // Tests.
    void takeTest(int n);
    void changeUser(int n);
    void defineTest(int n, bool whole, QStringList &chapterAt);
    QList<QPair<QString, int>> makePlan();
    void checkLog();
    void checkObjectCounts();

    // Editing and looking through.
    void edit(int e);
    void openChapters();
    void closeChapters();
    void clickChapter(int position);
    void addChapter();
    void renameChapter();
    void deleteChapter();
    void openEditor();
    void closeEditor(bool fromFrame);
    void lookUp(const QString &index);
    QString editorState() const;
    void checkOpened(int row);
    void saveNewPicture();
    void refile(int row = -1, QString chapter = {});
    void reshapeChapters(int e);
    void deleteProblem(bool pictureMissing = false, int row = -1);
    void lookUpOnly();
    void browse();
    void viewResults();
    void checkIntegrityMenu();
    QStringList missingPictures() const;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return pick(100) < percent; }
    int pickProblem();
    QString pickChapter(const QString &besides = {});

    QWidget *chapters() const { return topLevel(QStringLiteral("frmAddCap")); }
    QWidget *editor() const { return topLevel(QStringLiteral("frmSetProblema")); }
    template <typename T> T *ed(const QString &name) const { return child<T>(editor(), name); }
    template <typename T> T *cap(const QString &name) const { return child<T>(chapters(), name); }

    // What the session went through, for its closing summary.
    struct Tally
    {
        int chaptersAdded = 0, chaptersRenamed = 0, chaptersDeleted = 0, deletesRefused = 0;
        int picturesCatalogued = 0, refiled = 0, problemsDeleted = 0, lookUps = 0;
        int browsed = 0, resultsViewed = 0, repaired = 0;
        int fewestChapters = 99, mostChapters = 0, fewestProblems = 9999, mostProblems = 0;
        std::array<int, 11> grades{};
    } m_tally;

    const int m_tests;
    test::TempAppFolder m_dir;
    test::ScriptedPlatform m_platform;
    std::unique_ptr<Application> m_app;
    Model m_live;          // what the program holds now
    Model m_saved;         // what the data files hold
    QSet<QString> m_files; // the pictures in "probleme", by index
    std::deque<UserRecord> m_log;
    QHash<QString, int> m_objectCounts; // per screen, as first seen
    FixedText<30> m_user = FixedText<30>::fromBytes("NoName");
    std::mt19937 m_rng{20261204};
    int m_nextIndex = 1;
    int m_nextChapter = 1;
    int m_test = -1;
    int m_edit = -1;
    int m_starts = 0;
    int m_archived = 0;   // tests corrected: each is in the archive too
    int m_logAtStart = 0; // the log the archive takes over on its first use
};

QString LongUse::phase() const
{
    auto on = [](bool b) { return b ? u'1' : u'0'; };
    QString s;
    for (const char *name : {"btnDefTest", "Command4", "Command1", "Command2", "Command3",
                             "Command5", "Command6", "btnStartCrono"})
        s += on(button(QString::fromLatin1(name))->isEnabled());
    s += u' ';
    s += on(child<QRadioButton>(main(), QStringLiteral("Option1_0"))->isVisible());
    s += on(child<QCheckBox>(main(), QStringLiteral("Check1_0"))->isVisible());
    s += u' ';
    for (const char *name : {"mnuAddCap", "mnuRezolva", "mnuSeteazaProbl", "mnuPrint"})
        s += on(action(QString::fromLatin1(name))->isEnabled());
    return s;
}

int LongUse::shownIndex() const
{
    const QString path =
        child<QWidget>(main(), QStringLiteral("Picture1"))->property("imagePath").toString();
    return path.isEmpty() ? -1 : path.right(9).left(5).toInt();
}

void LongUse::flushDeleted()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void LongUse::closeNowAndThenFromTheFrame(QWidget *screen, const QString &closeButton)
{
    const QString name = screen->objectName();
    if (chance(40)) {
        QVERIFY(screen->close());
        flushDeleted();
        QVERIFY(!topLevel(name));
    } else {
        child<QPushButton>(screen, closeButton)->click();
        QVERIFY(!screen->isVisible());
    }
}

void LongUse::trigger(const QString &name)
{
    QVERIFY2(action(name)->isEnabled(), qPrintable(name));
    action(name)->trigger();
}

// ---------------------------------------------------------------------------
// The folder, start-up and the end of a session.

void LongUse::prepareFolder()
{
    // Seven chapters of 8..20 problems and the reserved strips with 3: 100
    // problems, and 40 results already in the log.
    const QStringList names = {QStringLiteral("Algebra"),
                               QStringLiteral("Geometrie plana"),
                               QStringLiteral("Analiza matematica"),
                               QStringLiteral("Trigonometrie"),
                               QStringLiteral("Combinatorica"),
                               QStringLiteral("Numere complexe"),
                               QStringLiteral("Probabilitati"),
                               kReserved};
    const int counts[] = {20, 16, 14, 12, 17, 8, 10, 3};
    auto c = std::make_unique<Collection>();
    for (int k = 0; k < names.size(); ++k) {
        test::addChapter(*c, names[k].toLatin1(), qint16(counts[k]));
        m_live.chapters.append(names[k]);
    }
    for (int k = 0; k < names.size(); ++k) {
        for (int i = 0; i < counts[k]; ++i) {
            const QString index = pictureIndex(m_nextIndex++);
            const int answer = pick(5);
            test::addProblem(*c, names[k].toLatin1(), index, qint16(answer));
            m_live.problems.append({index, names[k], answer});
            m_dir.addPicture(index, QSize(200, 100), QColor::fromHsv(pick(360), 200, 200));
            m_files.insert(index);
        }
    }
    for (int i = 1; i <= 40; ++i) {
        const UserRecord r = test::result("Elev " + QByteArray::number(i), qint16(1 + i % 10),
                                          qint16(i * 7), QDate(2026, 9, 15).addDays(i));
        c->UserTable[c->NextUserRecord++] = r;
        m_log.push_back(r);
    }
    m_logAtStart = int(m_log.size());
    m_dir.writeCollection(*c);
    m_saved = m_live;
}

void LongUse::startProgram()
{
    m_app = std::make_unique<Application>(m_dir.path(), m_platform);
    m_platform.clear();
    QVERIFY2(m_app->start(), qPrintable(m_platform.messageTexts().join(u'|')));
    ++m_starts;
    m_user = FixedText<30>::fromBytes("NoName");
}

// What the data files hold: the chapters in their rows with their counters,
// the catalogue row by row, the log, and a catalogue the integrity check
// finds whole.
void LongUse::checkFilesHold(const Model &model)
{
    auto c = std::make_unique<Collection>();
    QVERIFY(loadCollection(m_dir.read(datafile::Users), m_dir.read(datafile::Chapters),
                           m_dir.read(datafile::Problems), *c)
                .ok());
    QCOMPARE(int(c->ChapterCount), model.chapters.size());
    for (int k = 0; k < model.chapters.size(); ++k) {
        const ChapterRecord &row = c->ChapterTable[k + Collection::FirstRow];
        QCOMPARE(row.Name.trimmedText(), model.chapters[k]);
        QCOMPARE(int(row.ProblemTotal), model.filed(model.chapters[k]));
    }
    QCOMPARE(int(c->ProblemCount), model.problems.size());
    for (int k = 0; k < model.problems.size(); ++k) {
        const ProblemRecord &row = c->ProblemTable[k + Collection::FirstRow];
        QCOMPARE(row.ImagePath.trimmedText().right(9), model.problems[k].index + ".jpg");
        QCOMPARE(row.Chapter.Name.trimmedText(), model.problems[k].chapter);
        QCOMPARE(int(row.CorrectAnswer), model.problems[k].answer);
    }
    QCOMPARE(int(c->NextUserRecord), Collection::FirstRow + int(m_log.size()));
    for (int k = 0; k < int(m_log.size()); ++k) {
        const UserRecord &row = c->UserTable[k + Collection::FirstRow];
        QVERIFY2(row == m_log[k], qPrintable(recordText(row) + " / " + recordText(m_log[k])));
    }

    // Recounting from the rows gives the stored counters.
    auto recounted = std::make_unique<Collection>(*c);
    recountChapters(*recounted);
    for (int row = Collection::FirstRow; row <= c->lastChapterRow(); ++row)
        QCOMPARE(recounted->ChapterTable[row].ProblemTotal, c->ChapterTable[row].ProblemTotal);

    const IntegrityReport report = checkIntegrity(*c, listPictureFiles(AppFolder(m_dir.path())));
    QStringList missing;
    for (const IntegrityReport::Missing &m : report.missing)
        missing.append(m.index);
    QStringList expected;
    for (const Problem &p : model.problems) {
        if (!m_files.contains(p.index))
            expected.append(p.index);
    }
    QCOMPARE(missing, expected);
    QVERIFY(report.totalsAgree());
    QCOMPARE(report.problemCount, model.problems.size());
}

// Ends the program, through its exit or without it, and starts it again.
void LongUse::endSession(bool throughExit)
{
    if (throughExit) {
        // A problem left open in the editor gives its chapter's unit back.
        STEP(openEditor());
        STEP(lookUp(m_live.problems[pickProblem()].index));
        m_platform.clear();
        QVERIFY(main()->close());
        QCOMPARE(m_platform.cueNames(), QStringList{QStringLiteral("exit.wav")});
        QVERIFY(m_platform.messages.isEmpty());
        QCOMPARE(test::visibleTopLevels(), QStringList());
        m_saved = m_live;
    } else {
        // Work in progress is lost: a new chapter, a problem open in the editor.
        STEP(openChapters());
        STEP(addChapter());
        STEP(openEditor());
        STEP(lookUp(m_live.problems[pickProblem()].index));
        m_live = m_saved;
    }
    m_app.reset();
    flushDeleted();
    // No screen outlives the program.
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    // Only the exit writes the chapters and the catalogue; the log is always written.
    STEP(checkFilesHold(m_saved));
    STEP(startProgram());
    STEP(checkStartup());
}

// The program as a start-up leaves it: the chapters, the catalogue with its
// counters and the log loaded; pictures deleted by a session that ended
// without the exit are reported by the integrity check and their problems
// are deleted through the editor.
void LongUse::checkStartup()
{
    QCOMPARE(phase(), kStartup);
    STEP(checkIntegrityMenu());
    const QStringList missing = missingPictures();
    for (const QString &index : missing)
        STEP(deleteProblem(true, m_live.rowOf(index)));
    if (!missing.isEmpty())
        STEP(checkIntegrityMenu());
    STEP(openChapters());
    STEP(closeChapters());
    STEP(openEditor());
    STEP(closeEditor(false));
    STEP(viewResults());
}

QStringList LongUse::missingPictures() const
{
    QStringList missing;
    for (const Problem &p : m_live.problems) {
        if (!m_files.contains(p.index))
            missing.append(p.index);
    }
    return missing;
}

void LongUse::checkIntegrityMenu()
{
    m_platform.clear();
    STEP(trigger(QStringLiteral("mnuTesteazaIntegritate")));
    QStringList expected;
    for (const QString &index : missingPictures())
        expected.append(shellmsg::PictureMissing.arg(index));
    if (expected.isEmpty())
        expected.append(shellmsg::IntegrityOk.arg(u' ' + QString::number(m_live.problems.size())));
    // The first correction made the archive, taking over the log it found.
    expected.append(m_archived == 0 ? archivemsg::CheckAbsent
                                    : archivemsg::CheckOk.arg(m_logAtStart + m_archived));
    QCOMPARE(m_platform.messageTexts(), expected);
    QCOMPARE(m_platform.cueNames(), QStringList{QStringLiteral("exitform.wav")});
}

// ---------------------------------------------------------------------------
// Tests.

void LongUse::changeUser(int n)
{
    // Typed, then stored (cut to 30 bytes, the disk code page); "" is Cancel.
    static const std::pair<QString, QByteArray> names[] = {
        {QStringLiteral("Popescu Ana"), "Popescu Ana"},
        {QStringLiteral("Ionescu Mihai-Alexandru Constantinescu"),
         "Ionescu Mihai-Alexandru Consta"},
        {QString(), QByteArray()},
        {QStringLiteral("Ștefan Țuțea"), "\xAAtefan \xDEu\xFE\x65\x61"}, // cedillas in Windows-1250
        {QStringLiteral("  Maria Ionescu"), "  Maria Ionescu"},
    };
    const auto &[typed, stored] = names[(n / 17) % std::size(names)];
    m_platform.textAnswers.push_back(typed);
    button(QStringLiteral("Command5"))->click();
    QCOMPARE(m_platform.prompts.value(m_platform.prompts.size() - 1), testmsg::AskName);
    QVERIFY(m_platform.textAnswers.empty());
    if (!stored.isEmpty())
        m_user = FixedText<30>::fromBytes(stored);
}

// Chapters and counts adding up to 9, at most ten chapters, each count
// within what its chapter holds.
QList<QPair<QString, int>> LongUse::makePlan()
{
    QStringList candidates;
    for (const QString &chapter : m_live.chapters) {
        if (m_live.filed(chapter) > 0)
            candidates.append(chapter);
    }
    std::shuffle(candidates.begin(), candidates.end(), m_rng);
    QList<QPair<QString, int>> plan;
    int remaining = 9;
    for (int i = 0; i < candidates.size() && remaining > 0 && plan.size() < 10; ++i) {
        const int here = std::min(m_live.filed(candidates[i]), remaining);
        int later = 0;
        for (int j = i + 1; j < candidates.size() && j < i + 10 - plan.size(); ++j)
            later += std::min(m_live.filed(candidates[j]), 9);
        const int least = std::max(1, remaining - later);
        const int count = least >= here ? here : least + pick(here - least + 1);
        plan.append({candidates[i], count});
        remaining -= count;
    }
    return plan;
}

void LongUse::defineTest(int n, bool whole, QStringList &chapterAt)
{
    button(QStringLiteral("btnDefTest"))->click();
    QWidget *def = topLevel(QStringLiteral("frmDefTest"));
    QVERIFY(def && def->isVisible());
    auto *combo = child<QComboBox>(def, QStringLiteral("Combo1"));
    // Each chapter's counter as the program holds it now.
    QCOMPARE(itemsOf(combo), m_live.comboLines());
    auto *list = child<QListWidget>(def, QStringLiteral("listCap"));
    auto choose = [&](const QString &chapter, int count) {
        const int i = combo->findText(m_live.comboLine(chapter));
        if (i >= 0)
            test::chooseLine(combo, i);
        child<QScrollBar>(def, QStringLiteral("HScroll1"))->setValue(count);
        child<QPushButton>(def, QStringLiteral("Command2"))->click();
        return i >= 0;
    };

    m_platform.clear();
    if (whole) {
        child<QPushButton>(def, QStringLiteral("Command1"))->click();
        QCOMPARE(m_platform.messageTexts(), QStringList{testmsg::WholeCollectionSet});
    } else {
        child<QRadioButton>(def, QStringLiteral("Option2"))->click();
        if (n % 41 == 1) {
            // A total other than 9 is refused and every chapter offered again.
            const auto plan = makePlan();
            QVERIFY(choose(plan[0].first, 1));
            child<QPushButton>(def, QStringLiteral("Command1"))->click();
            QCOMPARE(m_platform.messageTexts(), QStringList{testmsg::TotalNotNine});
            QCOMPARE(list->count(), 0);
            QCOMPARE(itemsOf(combo), m_live.comboLines());
            m_platform.clear();
        }
        const auto plan = makePlan();
        for (const auto &[chapter, count] : plan) {
            QVERIFY2(choose(chapter, count), qPrintable(chapter));
            for (int i = 0; i < count; ++i)
                chapterAt.append(chapter);
        }
        QCOMPARE(chapterAt.size(), 9);
        QCOMPARE(list->count(), plan.size());
        QCOMPARE(combo->count(), m_live.chapters.size() - plan.size());
        QVERIFY(m_platform.messages.isEmpty());
        child<QPushButton>(def, QStringLiteral("Command1"))->click();
        QCOMPARE(m_platform.messageTexts(), QStringList{testmsg::TestSet});
    }
    if (n % 10 == 7) {
        // The frame's close acts as "Ok" and destroys the screen.
        QVERIFY(def->close());
        flushDeleted();
        QVERIFY(!topLevel(QStringLiteral("frmDefTest")));
    } else {
        child<QPushButton>(def, QStringLiteral("Command3"))->click();
        QVERIFY(!def->isVisible());
    }
}

void LongUse::takeTest(int n)
{
    m_platform.clear();
    QCOMPARE(phase(), kStartup);
    if (n % 17 == 9)
        STEP(changeUser(n));

    const bool whole = n % 2 == 0;
    QStringList chapterAt;
    STEP(defineTest(n, whole, chapterAt));
    QCOMPARE(phase(), kDefined);

    for (int i = 0; i < 2 * (m_live.problems.size() + 12); ++i)
        m_platform.randoms.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(m_rng));
    m_platform.clear();
    button(QStringLiteral("Command4"))->click();
    m_platform.randoms.clear();
    QVERIFY2(m_platform.messages.isEmpty(), qPrintable(m_platform.messageTexts().join(u'|')));
    QCOMPARE(phase(), kDrawn);

    if (n % 37 == 11) {
        // Nothing is corrected while a problem has no marked variant.
        button(QStringLiteral("Command3"))->click();
        QCOMPARE(m_platform.messageTexts(), QStringList{testmsg::NotAllAnswered});
        QCOMPARE(phase(), kDrawn);
    }

    auto option = [this](int variant) {
        return child<QRadioButton>(main(), QStringLiteral("Option1_%1").arg(variant));
    };
    auto *label = child<QLabel>(main(), QStringLiteral("Label2"));
    // Now and then a test all wrong (grade 1) or all right (grade 10).
    const int rightPercent = n % 97 == 13 ? 0 : n % 89 == 5 ? 100 : 65;
    std::array<int, 9> shown{}, correct{}, marked{};
    for (int p = 0; p < 9; ++p) {
        QCOMPARE(text(QStringLiteral("Text1")), QString::number(p));
        shown[p] = shownIndex();
        const int row = m_live.rowOf(pictureIndex(shown[p]));
        QVERIFY2(row >= 0, qPrintable(QStringLiteral("position %1 shows %2").arg(p).arg(shown[p])));
        for (int q = 0; q < p; ++q)
            QVERIFY(shown[q] != shown[p]);
        const Problem &problem = m_live.problems[row];
        QCOMPARE(label->text().trimmed(), problem.chapter);
        if (whole)
            QVERIFY(problem.chapter != kReserved);
        else
            QCOMPARE(problem.chapter, chapterAt[p]);
        for (int v = 0; v < 5; ++v)
            QVERIFY(!option(v)->isChecked());
        correct[p] = problem.answer;
        marked[p] = chance(rightPercent) ? correct[p] : (correct[p] + 1 + pick(4)) % 5;
        option(marked[p])->click();
        button(QStringLiteral("Command1"))->click();
    }
    // Back to some problems: their marks are shown again, and changed.
    int position = 0;
    for (int r = rightPercent == 65 ? pick(3) : 0; r > 0; --r) {
        for (int s = 1 + pick(8); s > 0; --s) {
            button(QStringLiteral("Command2"))->click();
            position = (position + 8) % 9;
        }
        QCOMPARE(text(QStringLiteral("Text1")), QString::number(position));
        QCOMPARE(shownIndex(), shown[position]);
        QVERIFY(option(marked[position])->isChecked());
        marked[position] = pick(5);
        option(marked[position])->click();
    }

    int grade = 1;
    for (int p = 0; p < 9; ++p)
        grade += marked[p] == correct[p] ? 1 : 0;
    m_platform.clear();
    button(QStringLiteral("Command3"))->click();
    QVERIFY2(m_platform.messages.isEmpty(), qPrintable(m_platform.messageTexts().join(u'|')));
    QCOMPARE(text(QStringLiteral("Text2")), QString::number(grade));
    for (int p = 0; p < 9; ++p) {
        QCOMPARE(child<QCheckBox>(main(), QStringLiteral("Check1_%1").arg(p))->isChecked(),
                 marked[p] == correct[p]);
    }
    QCOMPARE(phase(), kCorrected);

    UserRecord result;
    result.Name = m_user;
    result.Grade = qint16(grade);
    result.ElapsedTicks = 0;
    result.TestDate = dateToSerial(m_platform.date);
    ++m_tally.grades[grade];
    ++m_archived;
    m_log.push_back(result);
    if (m_log.size() > kLogSize)
        m_log.pop_front();
    STEP(checkLog());

    button(QStringLiteral("Command6"))->click();
    QCOMPARE(phase(), kStartup);
    STEP(checkObjectCounts());
}

// Each screen holds as many objects as when it was first seen: nothing is
// added per test, per opening or per start-up. (The geometry animations the
// main window starts at each layout end on their own; they are not counted.)
void LongUse::checkObjectCounts()
{
    for (const QWidget *screen : QApplication::topLevelWidgets()) {
        // A window without a name (a combo box's list) is known by its place.
        QString name = screen->objectName();
        if (name.isEmpty()) {
            name = QString::fromLatin1(screen->metaObject()->className());
            for (const QObject *o = screen->parent(); o; o = o->parent()) {
                if (!o->objectName().isEmpty())
                    name = o->objectName() + u'/' + name;
            }
        }
        int count = 0;
        for (const QObject *o : screen->findChildren<QObject *>())
            count += o->inherits("QAbstractAnimation") ? 0 : 1;
        const auto known = m_objectCounts.constFind(name);
        if (known == m_objectCounts.cend())
            m_objectCounts.insert(name, count);
        else
            QVERIFY2(*known == count, qPrintable(QStringLiteral("%1 holds %2 objects, at first %3")
                                                     .arg(name)
                                                     .arg(count)
                                                     .arg(*known)));
    }
}

// Users.stn: the header counts the results in use, and they are the latest 98.
void LongUse::checkLog()
{
    const QByteArray users = m_dir.read(datafile::Users);
    const int next = Collection::FirstRow + int(m_log.size());
    QCOMPARE(users.left(UserRecord::Size), userHeader(qint16(next)));
    QVERIFY(users.size() >= (next - 1) * UserRecord::Size);
    for (int k = 0; k < int(m_log.size()); ++k) {
        const UserRecord row =
            UserRecord::decodeFrom(users.constData() + (k + 1) * UserRecord::Size);
        QVERIFY2(row == m_log[k], qPrintable(QStringLiteral("record %1: %2, expected %3")
                                                 .arg(k + 2)
                                                 .arg(recordText(row), recordText(m_log[k]))));
    }
}

void LongUse::viewResults()
{
    m_platform.clear();
    STEP(trigger(QStringLiteral("mnuRezultate")));
    ++m_tally.resultsViewed;
    QWidget *viewer = topLevel(QStringLiteral("frmRezultate"));
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(!main()->isVisible());
    QStringList expected;
    for (const UserRecord &r : m_log)
        expected.append(resultLine(r, QLocale::system()));
    QCOMPARE(itemsOf(child<QListWidget>(viewer, QStringLiteral("List1"))), expected);
    STEP(closeNowAndThenFromTheFrame(viewer, QStringLiteral("Command1")));
    QVERIFY(main()->isVisible());
}

// ---------------------------------------------------------------------------
// Editing.

int LongUse::pickProblem()
{
    // Any problem outside the reserved chapter, found by a scan from a random row.
    const int size = int(m_live.problems.size());
    const int start = pick(size);
    for (int i = 0; i < size; ++i) {
        const int row = (start + i) % size;
        if (m_live.problems[row].chapter != kReserved)
            return row;
    }
    return 0;
}

QString LongUse::pickChapter(const QString &besides)
{
    QStringList candidates;
    for (const QString &chapter : m_live.chapters) {
        if (chapter != kReserved && chapter != besides)
            candidates.append(chapter);
    }
    return candidates[pick(candidates.size())];
}

void LongUse::openChapters()
{
    STEP(trigger(QStringLiteral("mnuAddCap")));
    QVERIFY(chapters() && chapters()->isVisible());
    QCOMPARE(itemsOf(cap<QListWidget>(QStringLiteral("listCap"))), m_live.chapters);
}

void LongUse::closeChapters()
{
    m_platform.clear();
    if (chance(30))
        QVERIFY(chapters()->close()); // only hides this screen
    else
        cap<QPushButton>(QStringLiteral("Command3"))->click();
    flushDeleted();
    QVERIFY(chapters() && !chapters()->isVisible());
    QCOMPARE(m_platform.cueNames(), QStringList{QStringLiteral("exitform.wav")});
}

void LongUse::clickChapter(int position)
{
    test::clickRow(cap<QListWidget>(QStringLiteral("listCap")), position);
    QCOMPARE(cap<QLineEdit>(QStringLiteral("Text1"))->text(), m_live.chapters[position]);
}

void LongUse::addChapter()
{
    // A name in use is refused, a new one is added after the last.
    m_platform.clear();
    cap<QLineEdit>(QStringLiteral("Text1"))->setText(pickChapter());
    cap<QPushButton>(QStringLiteral("Command1"))->click();
    QCOMPARE(m_platform.messageTexts(), QStringList{editmsg::CategoryExists});
    QCOMPARE(itemsOf(cap<QListWidget>(QStringLiteral("listCap"))), m_live.chapters);

    m_platform.clear();
    const QString name = QStringLiteral("Capitol nou %1").arg(m_nextChapter++);
    cap<QLineEdit>(QStringLiteral("Text1"))->setText(name);
    cap<QPushButton>(QStringLiteral("Command1"))->click();
    QVERIFY(m_platform.messages.isEmpty());
    m_live.chapters.append(name);
    ++m_tally.chaptersAdded;
    QCOMPARE(itemsOf(cap<QListWidget>(QStringLiteral("listCap"))), m_live.chapters);
}

void LongUse::renameChapter()
{
    const QString old = pickChapter();
    const int position = int(m_live.chapters.indexOf(old));
    STEP(clickChapter(position));
    const QString name = QStringLiteral("Capitolul %1").arg(m_nextChapter++);
    cap<QLineEdit>(QStringLiteral("Text1"))->setText(name);
    m_platform.clear();
    cap<QPushButton>(QStringLiteral("Command4"))->click();
    QVERIFY(m_platform.messages.isEmpty());
    m_live.chapters[position] = name;
    ++m_tally.chaptersRenamed;
    for (Problem &p : m_live.problems) {
        if (p.chapter == old)
            p.chapter = name;
    }
    QCOMPARE(itemsOf(cap<QListWidget>(QStringLiteral("listCap"))), m_live.chapters);
}

// Deletes the chapter (outside the reserved one) with the fewest problems.
// While it holds any the delete is refused; they are filed elsewhere through
// the editor first.
void LongUse::deleteChapter()
{
    QString chapter;
    for (const QString &c : std::as_const(m_live.chapters)) {
        if (c != kReserved && (chapter.isEmpty() || m_live.filed(c) < m_live.filed(chapter)))
            chapter = c;
    }
    if (m_live.filed(chapter) > 0) {
        STEP(clickChapter(int(m_live.chapters.indexOf(chapter))));
        m_platform.clear();
        cap<QPushButton>(QStringLiteral("Command2"))->click();
        QCOMPARE(m_platform.messageTexts(), QStringList{editmsg::CategoryHasProblems});
        QCOMPARE(itemsOf(cap<QListWidget>(QStringLiteral("listCap"))), m_live.chapters);
        ++m_tally.deletesRefused;
        for (const int row : m_live.rowsOf(chapter))
            STEP(refile(row, pickChapter(chapter)));
    }
    const int position = int(m_live.chapters.indexOf(chapter));
    STEP(clickChapter(position));
    m_platform.clear();
    cap<QPushButton>(QStringLiteral("Command2"))->click();
    QVERIFY(m_platform.messages.isEmpty());
    // The last chapter takes the deleted one's row.
    m_live.chapters[position] = m_live.chapters.last();
    m_live.chapters.removeLast();
    ++m_tally.chaptersDeleted;
    QCOMPARE(itemsOf(cap<QListWidget>(QStringLiteral("listCap"))), m_live.chapters);
}

void LongUse::openEditor()
{
    STEP(trigger(QStringLiteral("mnuSeteazaProbl")));
    QVERIFY(editor() && editor()->isVisible());
    QCOMPARE(ed<QLabel>(QStringLiteral("Label2"))->text(),
             editmsg::CountPrefix + QString::number(m_live.problems.size()));
    QCOMPARE(itemsOf(ed<QComboBox>(QStringLiteral("Combo1"))), m_live.chapters);
    QCOMPARE(editorState(), QStringLiteral("100"));
}

void LongUse::closeEditor(bool fromFrame)
{
    m_platform.clear();
    if (fromFrame) {
        QVERIFY(editor()->close());
        flushDeleted();
        QVERIFY(!editor());
    } else {
        ed<QPushButton>(QStringLiteral("Command3"))->click();
        QVERIFY(!editor()->isVisible());
    }
    QCOMPARE(m_platform.cueNames(), QStringList{QStringLiteral("exitform.wav")});
    QVERIFY(main()->isVisible());
}

void LongUse::lookUp(const QString &index)
{
    m_platform.textAnswers.push_back(index);
    ed<QPushButton>(QStringLiteral("Command1"))->click();
    QVERIFY(m_platform.textAnswers.empty());
}

// Cauta, Seteaza, Sterge: 1 on, 0 off.
QString LongUse::editorState() const
{
    QString s;
    for (const char *name : {"Command1", "Command2", "btnSterge"})
        s += ed<QPushButton>(QString::fromLatin1(name))->isEnabled() ? u'1' : u'0';
    return s;
}

// The catalogued problem at `row`, as the editor shows it once looked up.
void LongUse::checkOpened(int row)
{
    const Problem &p = m_live.problems[row];
    QCOMPARE(editorState(), QStringLiteral("011"));
    QCOMPARE(ed<QComboBox>(QStringLiteral("Combo1"))->currentText(), p.chapter);
    QVERIFY(ed<QRadioButton>(QStringLiteral("Option2_%1").arg(p.answer))->isChecked());
    const QString shown = ed<QWidget>(QStringLiteral("Picture1"))->property("imagePath").toString();
    if (m_files.contains(p.index))
        QCOMPARE(shown.right(9), p.index + ".jpg");
    else
        QCOMPARE(shown, QString());
}

void LongUse::saveNewPicture()
{
    // A picture put into "probleme" and not catalogued yet; else a new one.
    QString index;
    for (const QString &file : std::as_const(m_files)) {
        if (m_live.rowOf(file) < 0 && (index.isEmpty() || file < index))
            index = file;
    }
    if (index.isEmpty()) {
        index = pictureIndex(m_nextIndex++);
        m_dir.addPicture(index, QSize(200, 100), QColor::fromHsv(pick(360), 200, 200));
        m_files.insert(index);
    }
    STEP(openEditor());
    m_platform.clear();
    STEP(lookUp(index));
    QCOMPARE(editorState(), QStringLiteral("010"));
    QCOMPARE(ed<QWidget>(QStringLiteral("Picture1"))->property("imagePath").toString().right(9),
             index + ".jpg");
    const QString chapter = pickChapter();
    const int answer = pick(5);
    ed<QComboBox>(QStringLiteral("Combo1"))->setEditText(chapter);
    ed<QRadioButton>(QStringLiteral("Option2_%1").arg(answer))->click();
    m_platform.clear();
    ed<QPushButton>(QStringLiteral("Command2"))->click();
    QCOMPARE(m_platform.messageTexts(), QStringList{editmsg::Saved});
    m_live.problems.append({index, chapter, answer});
    ++m_tally.picturesCatalogued;
    QCOMPARE(editorState(), QStringLiteral("100"));
    QCOMPARE(ed<QLabel>(QStringLiteral("Label2"))->text(),
             editmsg::CountPrefix + QString::number(m_live.problems.size()));
    STEP(closeEditor(chance(20)));
}

// Files the problem at `row` (-1: any outside the reserved chapter) under
// `chapter` (empty: another one at random), with a new correct answer.
void LongUse::refile(int row, QString chapter)
{
    if (row < 0)
        row = pickProblem();
    if (chapter.isEmpty())
        chapter = pickChapter(m_live.problems[row].chapter);
    STEP(openEditor());
    STEP(lookUp(m_live.problems[row].index));
    STEP(checkOpened(row));
    const int answer = pick(5);
    ed<QComboBox>(QStringLiteral("Combo1"))->setEditText(chapter);
    ed<QRadioButton>(QStringLiteral("Option2_%1").arg(answer))->click();
    m_platform.clear();
    ed<QPushButton>(QStringLiteral("Command2"))->click();
    QCOMPARE(m_platform.messageTexts(), QStringList{editmsg::Saved});
    m_live.problems[row].chapter = chapter;
    m_live.problems[row].answer = answer;
    ++m_tally.refiled;
    QCOMPARE(editorState(), QStringLiteral("100"));
    STEP(closeEditor(chance(20)));
}

// Deletes the problem at `row` (any problem outside the reserved chapter when
// -1) through the editor; `pictureMissing`: its picture is known to be gone.
void LongUse::deleteProblem(bool pictureMissing, int row)
{
    if (row < 0)
        row = pickProblem();
    const QString index = m_live.problems[row].index;
    STEP(openEditor());
    m_platform.clear();
    STEP(lookUp(index));
    QCOMPARE(m_platform.messageTexts(),
             pictureMissing ? QStringList{editmsg::PictureMissing} : QStringList());
    STEP(checkOpened(row));
    m_platform.clear();
    ed<QPushButton>(QStringLiteral("btnSterge"))->click();
    QCOMPARE(m_platform.messageTexts(), QStringList{editmsg::Deleted});
    QVERIFY(!m_dir.exists(QStringLiteral("probleme/probl%1.jpg").arg(index)));
    m_files.remove(index);
    // The last problem takes the deleted one's row.
    m_live.problems[row] = m_live.problems.last();
    m_live.problems.removeLast();
    ++(pictureMissing ? m_tally.repaired : m_tally.problemsDeleted);
    QCOMPARE(editorState(), QStringLiteral("100"));
    QCOMPARE(ed<QLabel>(QStringLiteral("Label2"))->text(),
             editmsg::CountPrefix + QString::number(m_live.problems.size()));
    STEP(closeEditor(chance(20)));
}

// A look-up that changes nothing, left in the ways a user leaves it.
void LongUse::lookUpOnly()
{
    const int row = pickProblem();
    ++m_tally.lookUps;
    STEP(openEditor());
    switch (pick(4)) {
    case 0: // another chapter chosen, then Close
        STEP(lookUp(m_live.problems[row].index));
        STEP(checkOpened(row));
        ed<QComboBox>(QStringLiteral("Combo1"))
            ->setEditText(pickChapter(m_live.problems[row].chapter));
        ed<QRadioButton>(QStringLiteral("Option2_%1").arg(pick(5)))->click();
        STEP(closeEditor(false));
        break;
    case 1: // the menu again while a problem is open
        STEP(lookUp(m_live.problems[row].index));
        STEP(checkOpened(row));
        STEP(trigger(QStringLiteral("mnuSeteazaProbl")));
        QCOMPARE(editorState(), QStringLiteral("100")); // let go, as Close lets go
        STEP(closeEditor(false));
        break;
    case 2: // the frame's close
        STEP(lookUp(m_live.problems[row].index));
        STEP(checkOpened(row));
        STEP(closeEditor(true));
        break;
    default: // an index with no picture
        m_platform.clear();
        STEP(lookUp(QStringLiteral("99999")));
        QCOMPARE(m_platform.messageTexts(), QStringList{editmsg::NoSuchProblem});
        QCOMPARE(editorState(), QStringLiteral("100"));
        STEP(closeEditor(chance(30)));
        break;
    }
}

void LongUse::browse()
{
    STEP(trigger(QStringLiteral("mnuRezolva")));
    ++m_tally.browsed;
    QWidget *browser = topLevel(QStringLiteral("frmRezolva"));
    QVERIFY(browser && browser->isVisible());
    auto *combo = child<QComboBox>(browser, QStringLiteral("Combo1"));
    QCOMPARE(itemsOf(combo), m_live.chapters);
    const QString chapter = m_live.chapters[pick(m_live.chapters.size())];
    test::chooseLine(combo, combo->findText(chapter));
    child<QPushButton>(browser, QStringLiteral("Command5"))->click();
    const QList<int> rows = m_live.rowsOf(chapter);
    auto *label = child<QLabel>(browser, QStringLiteral("Label2"));
    auto *picture = child<QWidget>(browser, QStringLiteral("Picture1"));
    int position = 0;
    for (int step = 0;; ++step) {
        QCOMPARE(label->text(), QStringLiteral("Problema nr:--%1").arg(position));
        const QString shown = picture->property("imagePath").toString();
        if (rows.isEmpty())
            QCOMPARE(shown, QString());
        else
            QCOMPARE(shown.right(9), m_live.problems[rows[position]].index + ".jpg");
        if (rows.isEmpty() || step == 3)
            break;
        child<QPushButton>(browser, QStringLiteral("Command2"))->click();
        position = (position + 1) % rows.size();
    }
    m_platform.clear();
    STEP(closeNowAndThenFromTheFrame(browser, QStringLiteral("Command6")));
    QCOMPARE(m_platform.cueNames(), QStringList{QStringLiteral("exitform.wav")});
}

// The number of chapters wanders between 6 and 10 over the session's edits.
void LongUse::reshapeChapters(int e)
{
    static const int targets[] = {8, 7, 6, 7, 8, 9, 10, 9};
    const int target = targets[(e / 48) % std::size(targets)];
    const int chapters = int(m_live.chapters.size());
    STEP(openChapters());
    if (chapters < target)
        STEP(addChapter());
    else if (chapters > target)
        STEP(deleteChapter());
    else
        STEP(renameChapter());
    STEP(closeChapters());
}

void LongUse::edit(int e)
{
    const int problems = int(m_live.problems.size());
    const int chapters = int(m_live.chapters.size());
    m_tally.fewestChapters = std::min(m_tally.fewestChapters, chapters);
    m_tally.mostChapters = std::max(m_tally.mostChapters, chapters);
    m_tally.fewestProblems = std::min(m_tally.fewestProblems, problems);
    m_tally.mostProblems = std::max(m_tally.mostProblems, problems);
    switch (e % 12) {
    case 0:
    case 8:
        reshapeChapters(e);
        break;
    case 1:
    case 7:
        problems < 150 ? saveNewPicture() : deleteProblem();
        break;
    case 4:
    case 11:
        problems > 60 ? deleteProblem() : saveNewPicture();
        break;
    case 2:
    case 9:
        refile();
        break;
    case 3:
        browse();
        break;
    case 5:
        lookUpOnly();
        break;
    case 6:
        STEP(openChapters());
        STEP(renameChapter());
        STEP(closeChapters());
        break;
    case 10:
        viewResults();
        break;
    }
}

// ---------------------------------------------------------------------------

void LongUse::run()
{
    // Says where the session stopped when a check failed.
    auto failed = [this](const char *what) {
        if (!QTest::currentTestFailed())
            return false;
        qWarning("failed in %s: test %d, edit %d, start-up %d", what, m_test, m_edit, m_starts);
        return true;
    };
    QElapsedTimer clock;
    clock.start();
    prepareFolder();
    startProgram();
    if (failed("the first start-up"))
        return;
    checkStartup();
    if (failed("the first start-up"))
        return;

    const int edits = m_tests / 4;
    const int sessionLength = m_tests / 10;
    const int warmUp = std::min(100, m_tests / 10);
    int restarts = 0;
    for (int n = 0; n < m_tests; ++n) {
        m_test = n;
        m_platform.date = QDate(2026, 10, 1).addDays(n / 40);
        takeTest(n);
        if (failed("a test"))
            return;
        if ((n + 1) % 4 == 0 && m_edit + 1 < edits) {
            edit(++m_edit);
            if (failed("an edit"))
                return;
        }
        if (n % 50 == 49) {
            checkIntegrityMenu();
            if (failed("the integrity check"))
                return;
        }
        // Between the user's clicks the program's event loop runs.
        QCoreApplication::processEvents();
        if (n + 1 == warmUp) {
            warmRss = residentMb();
            qInfo("after %d tests: resident set %.1f MB", warmUp, warmRss);
        }
        if ((n + 1) % sessionLength == 0 && n + 1 < m_tests) {
            ++restarts;
            endSession(restarts % 2 == 1);
            if (failed(restarts % 2 == 1 ? "an exit and start-up"
                                         : "an end without exit and start-up"))
                return;
        }
    }
    finalRss = residentMb();
    endSession(true);
    if (failed("the last exit and start-up"))
        return;
    qInfo("%d tests, %d edits, %d start-ups in %.1f s", m_tests, m_edit + 1, m_starts,
          double(clock.elapsed()) / 1000.0);
    const Tally &t = m_tally;
    qInfo("chapters: %d..%d, %d added, %d renamed, %d deleted, %d deletes refused",
          t.fewestChapters, t.mostChapters, t.chaptersAdded, t.chaptersRenamed, t.chaptersDeleted,
          t.deletesRefused);
    qInfo("problems: %d..%d, %d catalogued, %d re-filed, %d deleted, %d look-ups, %d deleted "
          "for a picture lost by an end without exit",
          t.fewestProblems, t.mostProblems, t.picturesCatalogued, t.refiled, t.problemsDeleted,
          t.lookUps, t.repaired);
    QStringList grades;
    for (int g = 1; g <= 10; ++g)
        grades.append(QStringLiteral("%1:%2").arg(g).arg(t.grades[g]));
    qInfo("problem browser %d times, results %d times; grades %s", t.browsed, t.resultsViewed,
          qPrintable(grades.join(u' ')));
}

} // namespace

QtMessageHandler g_testHandler = nullptr;

// The offscreen platform says, at every screen shown, that it cannot raise a
// window or pass size hints on; thousands of those would crowd out the
// session's own messages (Qt Test stops printing after 2000).
void dropPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_testHandler(type, context, text);
}

class TstLongUse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The soak watches the process's memory as the kernel counts it.
        if (residentMb() < 0)
            QSKIP("the memory of the process cannot be measured here (no /proc/self/statm)");
        g_testHandler = qInstallMessageHandler(dropPlatformNotes);
    }
    void cleanupTestCase()
    {
        if (g_testHandler)
            qInstallMessageHandler(g_testHandler);
    }

    void yearOfUse()
    {
        LongUse session(testsWanted());
        session.run();
        if (QTest::currentTestFailed())
            return;
        const double growth = session.finalRss - session.warmRss;
        qInfo("resident set: %.1f MB after the warm-up, %.1f MB at the end, growth %.1f MB "
              "(bound %.0f MB)",
              session.warmRss, session.finalRss, growth, kGrowthBoundMb);
        QVERIFY(session.warmRss > 0);
#ifdef LONG_USE_UNDER_ASAN
        qInfo("growth not checked under AddressSanitizer: its quarantine holds freed memory");
#else
        QVERIFY2(growth < kGrowthBoundMb, qPrintable(QStringLiteral("grew %1 MB").arg(growth)));
#endif
    }
};

QTEST_MAIN(TstLongUse)
#include "tst_long_use.moc"
