// Long use: a seeded random walk over the main screen's states, as a school
// would use the program over a year: tests defined, drawn, answered, gone
// through, corrected and ended; chapters and problems edited; the program
// left through its exit, or ended without it, and started again. A model
// says what must hold: after each correction the log (Users.stn) holds the
// latest 98 results; at each start-up the archive holds every corrected test
// with its answers, after the log it took over at its first use; after each
// exit the data files hold the chapters and the catalogue as edited, with
// counters that agree, and an end without the exit loses the editing since.
// The resident memory grows only so much.
//
// CULEGERE_LONG_TESTS=<n>: n corrected tests (2000 by default; nine
// start-ups on the way); CULEGERE_LONG_SEED=<seed> walks another way.
#include "archive/result_archive.h"
#include "editing/editing_messages.h"
#include "store/collection_io.h"
#include "store/problem_paths.h"
#include "support/driver.h"

#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
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
using test::Driver;
namespace phase = test::phase;

namespace {

const QString kReserved = "Benzi de completare";
const QString kChapters = "frmAddCap";
const QString kEditor = "frmSetProblema";
// Resident memory the process may gain between the warm-up and the end. One
// problem picture kept per test (200 x 100, decoded 80 KB) adds about 150 MB
// over 1900 tests.
constexpr double kGrowthBoundMb = 40.0;

double residentMb()
{
    QFile statm("/proc/self/statm");
    const QList<QByteArray> fields =
        statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
    return fields.size() < 2 ? -1 : fields[1].toDouble() * sysconf(_SC_PAGESIZE) / (1 << 20);
}

// An archived test as one line, to compare the archive with the model.
QString text(const ArchivedTest &t)
{
    const auto n = [](int value) { return QString::number(value); };
    QString s = QStringLiteral("%1|%2|%3|%4|%5|")
                    .arg(t.pupil, t.date.toString(Qt::ISODate), n(t.grade), n(t.imported),
                         n(t.wholeCollection));
    for (const ArchivedChapter &c : t.chapters)
        s += QStringLiteral("%1:%2,").arg(c.name, n(c.problems));
    for (const ArchivedAnswer &a : t.answers)
        s += QStringLiteral(" %1/%2/%3/%4")
                 .arg(a.problemIndex, a.chapter, n(a.marked), n(a.correct));
    return s;
}

struct Problem
{
    QString index, chapter;
    int answer = 0;
    QString line() const { return QStringLiteral("%1 %2 %3").arg(index, chapter).arg(answer); }
};

class Walk
{
public:
    Walk(int tests, unsigned seed) : m_tests(tests), m_rng(seed), d(firstCollection()) {}

    double warmRss = 0, finalRss = 0; // the resident memory after the warm-up, at the end

    void run()
    {
        // The events, and the states they can happen in: S start-up, F test
        // defined, u drawn and not all answered, a drawn and all answered,
        // C corrected; ! a start-up is due.
        const struct
        {
            const char *name, *states;
            double weight;
            std::function<void()> happen;
        } events[] = {
            {"define the whole collection", "S", 5, [this] { define(true); }},
            {"define per chapter", "S", 5, [this] { define(false); }},
            {"draw", "F", 10, [this] { draw(); }},
            {"draw again", "ua", 0.3, [this] { draw(); }},
            {"mark a variant, go on", "u", 30, [this] { mark(); }},
            {"mark another variant, go on", "a", 2, [this] { mark(); }},
            {"go back", "uaC", 3, [this] { move(8); }},
            {"go on", "C", 2, [this] { move(1); }},
            {"correct", "ua", 6, [this] { correct(); }},
            {"end the test", "C", 10, [this] { d.press("Command6"); }},
            {"edit the chapters", "S", 1.2, [this] { editChapters(); }},
            {"edit a problem", "S", 1.5, [this] { editProblem(); }},
            {"exit or end without it, start again", "!", 1, [this] { startAgain(pick(2)); }},
        };
        STEP(d.startOrFail());
        for (int step = 1; m_corrected < m_tests; ++step) {
            const QString now = d.phase();
            const char state = now == phase::Startup     ? 'S'
                               : now == phase::Defined   ? 'F'
                               : now == phase::Drawn     ? (unmarked() ? 'u' : 'a')
                               : now == phase::Corrected ? 'C'
                                                         : '?';
            QVERIFY2(state != '?', qPrintable("the main screen in " + now));
            auto available = [&](const auto &e) {
                return m_startDue ? e.states[0] == '!' : std::strchr(e.states, state) != nullptr;
            };
            double at = 0;
            for (const auto &e : events)
                at += available(e) ? e.weight : 0;
            at = std::uniform_real_distribution<double>(0, at)(m_rng);
            const auto *event = std::find_if(std::begin(events), std::end(events), [&](auto &e) {
                return available(e) && (at -= e.weight) < 0;
            });
            if (event == std::end(events))
                continue;
            const int before = m_corrected;
            d.platform.clear();
            event->happen();
            if (QTest::currentTestFailed())
                return qWarning("failed at step %d (%s) after %d tests", step, event->name,
                                m_corrected);
            QCoreApplication::processEvents(); // between the events the event loop runs
            if (m_corrected != before && m_corrected == std::min(100, m_tests / 10))
                warmRss = residentMb();
        }
        finalRss = residentMb();
        startAgain(true);
    }

private:
    // Five chapters of 8..12 problems, the reserved strips with 3, and 40
    // results in the log.
    Collection firstCollection()
    {
        Collection c;
        m_live.chapters = {"Algebra",       "Geometrie",     "Analiza",
                           "Trigonometrie", "Combinatorica", kReserved};
        for (const QString &chapter : std::as_const(m_live.chapters)) {
            const int count = chapter == kReserved ? 3 : 8 + pick(5);
            test::addChapter(c, chapter.toLatin1(), qint16(count));
            for (int i = 0; i < count; ++i) {
                m_live.problems.append({test::pictureIndex(m_nextIndex++), chapter, pick(5)});
                test::addProblem(c, chapter.toLatin1(), m_live.problems.last().index,
                                 qint16(m_live.problems.last().answer));
            }
        }
        for (int i = 1; i <= 40; ++i) {
            m_log.push_back(test::result("Elev " + QByteArray::number(i), qint16(1 + i % 10),
                                         qint16(i * 7), QDate(2026, 9, 1).addDays(i)));
            c.UserTable[c.NextUserRecord++] = m_log.back();
        }
        m_saved = m_live;
        return c;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool unmarked() const { return std::count(m_marked.begin(), m_marked.end(), -1) > 0; }
    int filed(const QString &chapter) const
    {
        return int(std::count_if(m_live.problems.begin(), m_live.problems.end(),
                                 [&](const Problem &p) { return p.chapter == chapter; }));
    }
    int rowOf(const QString &index) const
    {
        const auto &all = m_live.problems;
        const auto at =
            std::find_if(all.begin(), all.end(), [&](auto &p) { return p.index == index; });
        return at == all.end() ? -1 : int(at - all.begin());
    }
    // A chapter outside the reserved chapter.
    QString pickChapter(const QString &besides = {})
    {
        QStringList candidates = m_live.chapters;
        candidates.removeAll(kReserved);
        candidates.removeAll(besides);
        return candidates[pick(int(candidates.size()))];
    }

    // Per chapter: chapters and counts adding up to 9, each within what its
    // chapter holds, at most ten chapters (the whole collection when the
    // counts picked fall short).
    void define(bool whole)
    {
        QStringList chapters = m_live.chapters;
        std::shuffle(chapters.begin(), chapters.end(), m_rng);
        m_plan.clear();
        int remaining = whole ? 0 : 9;
        for (int i = 0; i < chapters.size() && remaining > 0 && m_plan.size() < 10; ++i) {
            const int count = std::min(filed(chapters[i]), 1 + pick(remaining));
            if (count > 0)
                m_plan.append({chapters[i], count});
            remaining -= count;
        }
        m_whole = whole || remaining > 0;
        if (m_whole)
            m_plan.clear();
        STEP(m_whole ? d.defineWholeCollection() : d.definePerChapter(m_plan));
        QCOMPARE(d.phase(), phase::Defined);
    }

    void draw()
    {
        for (qsizetype i = 0; i < 2 * (m_live.problems.size() + 12); ++i)
            d.platform.randoms.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(m_rng));
        STEP(d.draw());
        d.platform.randoms.clear();
        QCOMPARE(d.platform.messageTexts(), QStringList());
        m_shown.fill({});
        m_marked.fill(-1);
        m_position = 0;
        arrive();
    }

    // The problem at the position reached: a catalogued one, the same each
    // time the position is reached, shown with its mark.
    void arrive()
    {
        const QString index = test::pictureIndex(d.shownIndex());
        QVERIFY2(rowOf(index) >= 0, qPrintable("no such problem: " + index));
        if (m_shown[m_position].isEmpty())
            m_shown[m_position] = index;
        QCOMPARE(index, m_shown[m_position]);
        for (int v = 0; v < 5; ++v)
            QCOMPARE(d.control<QRadioButton>(QString("Option1_%1").arg(v))->isChecked(),
                     m_marked[m_position] == v);
    }
    // On to the next position of nine ("Urmatoarea", 1), or back (8).
    void move(int steps)
    {
        STEP(d.press(steps == 1 ? "Command1" : "Command2"));
        m_position = (m_position + steps) % 9;
        arrive();
    }
    void mark()
    {
        const int correct = m_live.problems[rowOf(m_shown[m_position])].answer;
        const int variant = pick(100) < 65 ? correct : (correct + 1 + pick(4)) % 5;
        STEP(Driver::click(d.control<QRadioButton>(QString("Option1_%1").arg(variant))));
        m_marked[m_position] = variant;
        move(1);
    }

    // A correction before all are answered is refused; otherwise the result
    // goes into the log and the archive.
    void correct()
    {
        STEP(d.correct());
        QCOMPARE(d.phase(), unmarked() ? phase::Drawn : phase::Corrected);
        if (unmarked())
            return;
        ArchivedTest test{"NoName", d.platform.date, QTime(), 0, 1, false, m_whole, {}, {}};
        for (const auto &[chapter, count] : std::as_const(m_plan))
            test.chapters.append({chapter, count});
        for (const QString &index : m_shown) {
            const Problem &p = m_live.problems[rowOf(index)];
            test.answers.append({index, p.chapter, m_marked[test.answers.size()], p.answer});
            test.grade += test.answers.last().right() ? 1 : 0;
        }
        QCOMPARE(d.grade(), test.grade);
        ArchivedTest logged; // a result of the log, as the archive's first use takes it over
        logged.imported = true;
        for (const UserRecord &r : m_archiveUsed ? std::deque<UserRecord>() : m_log) {
            logged.pupil = r.Name.trimmedText();
            logged.date = serialToDate(r.TestDate);
            logged.grade = r.Grade;
            m_archive.append(text(logged));
        }
        m_archiveUsed = true;
        m_archive.append(text(test));
        m_log.push_back(test::result("NoName", qint16(test.grade), 0, test.date));
        if (m_log.size() > 98)
            m_log.pop_front();
        ++m_corrected;
        m_startDue = m_corrected % std::max(1, m_tests / 10) == 0 && m_corrected < m_tests;
        d.platform.date = QDate(2026, 10, 1).addDays(m_corrected / 40);

        // Users.stn: the header counts the results in use, the latest 98.
        const std::optional<Collection> c = test::collectionOnDisk(d.path());
        QVERIFY(c);
        QByteArray onDisk, expected;
        for (int row = Collection::FirstRow; row < c->NextUserRecord; ++row)
            onDisk += c->UserTable[row].encoded();
        for (const UserRecord &r : m_log)
            expected += r.encoded();
        QCOMPARE(onDisk.toHex(' '), expected.toHex(' '));
    }

    // Closes a screen with its button or from its frame.
    void close(const QString &screen, const QString &button)
    {
        STEP(pick(3) == 0 ? Driver::closeFromFrame(screen) : Driver::press(screen, button));
    }

    // Adds a chapter or renames one (its problems go with it).
    void editChapters()
    {
        STEP(d.chooseMenu("mnuAddCap"));
        const QString chapter = pickChapter(), name = QString("Capitolul %1").arg(m_nextName++);
        const bool add = pick(2) && m_live.chapters.size() < 10; // all shown in a combo's list
        if (add) {
            m_live.chapters.append(name);
        } else {
            STEP(Driver::clickRow(kChapters, "listCap", int(m_live.chapters.indexOf(chapter))));
            m_live.chapters.replace(m_live.chapters.indexOf(chapter), name);
            for (Problem &p : m_live.problems)
                p.chapter = p.chapter == chapter ? name : p.chapter;
        }
        STEP(Driver::type(kChapters, "Text1", name));
        STEP(Driver::press(kChapters, add ? "Command1" : "Command4"));
        QCOMPARE(test::lines(Driver::control<QListWidget>(kChapters, "listCap")), m_live.chapters);
        close(kChapters, "Command3");
    }

    // Catalogues a new picture put into "probleme", files a problem under
    // another chapter with another answer, or deletes a problem with its
    // picture (the last problem takes its row).
    void editProblem()
    {
        int row = pick(int(m_live.problems.size())), what = pick(3);
        while (m_live.problems[row].chapter == kReserved)
            row = (row + 1) % m_live.problems.size();
        row = what == 0 && m_live.problems.size() < 120 ? -1 : row;
        const QString index =
            row < 0 ? test::pictureIndex(m_nextIndex++) : m_live.problems[row].index;
        if (row < 0)
            d.folder().addPicture(index);
        auto option = [](int v) {
            return Driver::control<QRadioButton>(kEditor, QString("Option2_%1").arg(v));
        };
        STEP(d.chooseMenu("mnuSeteazaProbl"));
        d.platform.textAnswers = {index};
        STEP(Driver::press(kEditor, "Command1"));
        if (what == 2 && m_live.problems.size() > 40) {
            STEP(Driver::press(kEditor, "btnSterge"));
            QCOMPARE(d.platform.messageTexts(), QStringList{editmsg::Deleted});
            QVERIFY(!d.folder().exists("probleme/probl" + index + ".jpg"));
            m_live.problems[row] = m_live.problems.last();
            m_live.problems.removeLast();
        } else {
            const Problem problem{index, pickChapter(row < 0 ? "" : m_live.problems[row].chapter),
                                  pick(5)};
            STEP(Driver::chooseLine(kEditor, "Combo1", problem.chapter));
            STEP(Driver::click(option(problem.answer)));
            STEP(Driver::press(kEditor, "Command2"));
            QCOMPARE(d.platform.messageTexts(), QStringList{editmsg::Saved});
            (row < 0 ? m_live.problems.emplaceBack() : m_live.problems[row]) = problem;
        }
        close(kEditor, "Command3");
    }

    // Ends the program, through its exit or without it, and starts it again.
    // Only the exit saves the chapters and the catalogue: an end without it
    // takes them back to the last exit (the teacher then puts back the
    // pictures of the problems deleted since).
    void startAgain(bool throughExit)
    {
        m_startDue = false;
        if (throughExit) {
            QVERIFY(d.exit());
            QCOMPARE(QApplication::topLevelWidgets().size(), 0); // no screen outlives it
            m_saved = m_live;
            const std::optional<Collection> c = test::collectionOnDisk(d.path());
            QVERIFY(c);
            QCOMPARE(test::countersBreak(*c), QString());
            QCOMPARE(chapterNames(*c), m_live.chapters);
            QStringList onDisk, expected;
            for (int row = Collection::FirstRow; row <= c->lastProblemRow(); ++row) {
                const ProblemRecord &p = c->ProblemTable[row];
                onDisk << Problem{problemIndex(p.ImagePath), p.Chapter.Name.trimmedText(),
                                  p.CorrectAnswer}
                              .line();
            }
            for (const Problem &p : std::as_const(m_live.problems))
                expected << p.line();
            QCOMPARE(onDisk, expected);
            STEP(d.startOrFail());
        } else {
            QVERIFY(d.restart());
            m_live = m_saved;
        }
        for (const Problem &p : std::as_const(m_live.problems)) {
            if (!d.folder().exists("probleme/probl" + p.index + ".jpg"))
                d.folder().addPicture(p.index);
        }
        m_plan.clear();
        QCOMPARE(d.phase(), phase::Startup);
        ResultArchive archive(d.path() + "/Arhiva.sqlite");
        QCOMPARE(archive.open(false).ok(), m_archiveUsed);
        QVERIFY(!m_archiveUsed || archive.quickCheck().ok());
        QStringList archived;
        for (const ArchiveRow &row : archive.rows())
            archived.append(text(archive.test(row.id)));
        QCOMPARE(archived, m_archive);
    }

    const int m_tests;
    std::mt19937 m_rng;
    struct
    {
        QStringList chapters; // row order
        QList<Problem> problems;
    } m_live, m_saved; // as the program holds it; as the last exit saved it
    std::deque<UserRecord> m_log;
    QStringList m_archive; // text(...) of each test archived
    bool m_archiveUsed = false, m_startDue = false;
    int m_corrected = 0, m_nextName = 1, m_nextIndex = 1;
    // The test on the screen.
    bool m_whole = false;
    QList<QPair<QString, int>> m_plan;
    std::array<QString, 9> m_shown;
    std::array<int, 9> m_marked{};
    int m_position = 0;
    Driver d; // made last: the collection is made with the model
};

} // namespace

class TstLongUse : public QObject
{
    Q_OBJECT

private slots:
    void yearOfUse()
    {
        if (residentMb() < 0)
            QSKIP("the memory of the process cannot be measured here (no /proc/self/statm)");
        // The offscreen platform says, at every screen shown, that it cannot
        // raise a window; thousands of those would crowd out the walk's own
        // messages (Qt Test stops printing after 2000).
        static const QtMessageHandler next = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                if (!text.startsWith(QLatin1String("This plugin does not support")))
                    next(type, context, text);
            });
        const int tests = qEnvironmentVariableIntValue("CULEGERE_LONG_TESTS");
        const unsigned seed = qEnvironmentVariable("CULEGERE_LONG_SEED", "20261204").toUInt();
        qInfo("seed %u", seed);
        Walk walk(tests > 0 ? std::max(tests, 20) : 2000, seed);
        STEP(walk.run());
        const double warm = walk.warmRss, grown = walk.finalRss - warm;
        qInfo("resident set: %.1f MB after the warm-up, then %.1f MB more", warm, grown);
        QVERIFY(warm > 0);
#ifndef LONG_USE_UNDER_ASAN // its quarantine holds freed memory
        QVERIFY2(grown < kGrowthBoundMb, qPrintable(QString("grew %1 MB").arg(grown)));
#endif
    }
};

QTEST_MAIN(TstLongUse)
#include "tst_long_use.moc"
