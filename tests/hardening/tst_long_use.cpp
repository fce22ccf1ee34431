// Long use: a seeded random walk over the main screen's states, as a school
// would use the program over a year: tests defined, drawn, answered, gone
// through, corrected and ended; chapters added and renamed; the program left
// through its exit, or ended without it, and started again. A model says what
// must hold: after each correction the grade is right and the log (Users.stn)
// holds the bytes of the latest 98 results; at each start-up the archive holds
// every corrected test with its answers, after the log it took over at its
// first use; after each exit no screen is left and the data files hold the
// chapters as edited, with counters that agree; an end without the exit loses
// the edits since. The resident memory grows only so much. (Editing problems
// has its own random walk in the editing tests.)
// CULEGERE_LONG_TESTS=<n>: n corrected tests (2000 by default; nine
// start-ups on the way); CULEGERE_LONG_SEED=<seed> walks another way.
#include "archive/result_archive.h"
#include "support/driver.h"

#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

#include <random>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define LONG_USE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LONG_USE_UNDER_ASAN 1
#endif
#endif
#ifndef LONG_USE_UNDER_ASAN
#define LONG_USE_UNDER_ASAN 0
#endif

using namespace culegere;
using test::Driver;
namespace phase = test::phase;

namespace {

const QString kChapters = "frmAddCap";
// Resident memory the process may gain after the warm-up. One problem picture
// kept per test (200 x 100, decoded 80 KB) adds about 150 MB over 1900 tests.
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
    QString s = t.pupil + t.date.toString(Qt::ISODate);
    s += QString::asprintf("|%d|%d|%d|", t.grade, t.imported, t.wholeCollection);
    for (const ArchivedChapter &c : t.chapters)
        s += QString("%1:%2,").arg(c.name).arg(c.problems);
    for (const ArchivedAnswer &a : t.answers)
        s += QString(" %1/%2/%3/%4").arg(a.problemIndex, a.chapter).arg(a.marked).arg(a.correct);
    return s;
}

struct Walk
{
    Walk(int tests, unsigned seed) : m_tests(tests), m_rng(seed), d(firstCollection()) {}

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
            {"correct by its access key and a click at once", "a", 2, [this] { correct(true); }},
            {"end the test", "C", 10, [this] { d.press("Command6"); }},
            {"edit the chapters", "S", 2, [this] { editChapters(); }},
            {"exit or end without it, start again", "!", 1, [this] { startAgain(pick(2)); }},
        };
        const QStringList phases = {phase::Startup, phase::Defined, phase::Drawn, phase::Corrected};
        double warmRss = 0; // the resident memory after the warm-up
        STEP(d.startOrFail());
        for (int step = 1; m_corrected < m_tests; ++step) {
            const int at = phases.indexOf(d.phase());
            QVERIFY2(at >= 0, qPrintable("the main screen in " + d.phase()));
            const char state = at == 2 && !unmarked() ? 'a' : "SFuC"[at];
            std::vector<double> weights;
            for (const auto &e : events)
                weights.push_back(std::strchr(e.states, m_startDue ? '!' : state) ? e.weight : 0);
            const auto &event =
                events[std::discrete_distribution<int>(weights.begin(), weights.end())(m_rng)];
            d.platform.clear();
            event.happen();
            if (QTest::currentTestFailed())
                return qWarning("failed at step %d (%s) after %d tests", step, event.name,
                                m_corrected);
            QCoreApplication::processEvents(); // between the events the event loop runs
            if (warmRss == 0 && m_corrected == std::min(100, m_tests / 10))
                warmRss = residentMb();
        }
        const double grown = residentMb() - warmRss;
        STEP(startAgain(true));
        qInfo("resident set: %.1f MB after the warm-up, then %.1f MB more", warmRss, grown);
        QVERIFY(warmRss > 0);
        // (ASan's quarantine holds freed memory.)
        QVERIFY2(LONG_USE_UNDER_ASAN || grown < kGrowthBoundMb,
                 qPrintable(QString("grew %1 MB").arg(grown)));
    }

    // Five chapters of 8..12 problems, the reserved strips with 3 (the right
    // answer of picture i is i % 5), and 40 results in the log (which the
    // archive takes over at its first use).
    Collection firstCollection()
    {
        Collection c;
        m_chapters = {"Algebra",       "Geometrie",     "Analiza",
                      "Trigonometrie", "Combinatorica", "Benzi de completare"};
        for (int row = 0; row < m_chapters.size(); ++row) {
            const int count = row == 5 ? 3 : 8 + pick(5);
            test::addChapter(c, m_chapters[row].toLatin1(), qint16(count));
            for (int i = 0; i < count; ++i) {
                m_chapterOf.append(row);
                const int index = int(m_chapterOf.size());
                test::addProblem(c, m_chapters[row].toLatin1(), test::pictureIndex(index),
                                 qint16(index % 5));
            }
        }
        for (int i = 1; i <= 40; ++i) {
            const QByteArray pupil = "Elev " + QByteArray::number(i);
            const QDate date = QDate(2026, 9, 1).addDays(i);
            const UserRecord r = test::result(pupil, qint16(1 + i % 10), qint16(i * 7), date);
            c.UserTable[c.NextUserRecord++] = r;
            m_log << r.encoded();
            m_archive << text({pupil, date, QTime(), 0, 1 + i % 10, true, false, {}, {}});
        }
        m_savedChapters = m_chapters;
        return c;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool unmarked() const { return std::count(m_marked.begin(), m_marked.end(), -1) > 0; }

    // Per chapter: chapters and counts adding up to 9, each within what its
    // chapter holds (the whole collection when the counts picked fall short).
    void define(bool whole)
    {
        QStringList chapters = m_chapters;
        std::shuffle(chapters.begin(), chapters.end(), m_rng);
        m_plan.clear();
        int remaining = whole ? 0 : 9;
        for (int i = 0; i < chapters.size() && remaining > 0; ++i) {
            const int filed = int(m_chapterOf.count(m_chapters.indexOf(chapters[i])));
            const int count = std::min(filed, 1 + pick(remaining));
            if (count > 0)
                m_plan.append({chapters[i], count});
            remaining -= count;
        }
        if (whole || remaining > 0)
            m_plan.clear(); // the whole collection
        STEP(m_plan.isEmpty() ? d.defineWholeCollection() : d.definePerChapter(m_plan));
        QCOMPARE(d.phase(), phase::Defined);
    }

    void draw()
    {
        for (qsizetype i = 0; i < 2 * (m_chapterOf.size() + 12); ++i)
            d.platform.randoms.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(m_rng));
        STEP(d.draw());
        d.platform.randoms.clear();
        QCOMPARE(d.platform.messageTexts(), QStringList());
        m_shown.fill(0);
        m_marked.fill(-1);
        m_position = 0;
        move(0);
    }

    // On to the next position of nine ("Urmatoarea", 1), back (8), or stays
    // (0). The problem there is a catalogued one, the same at each visit.
    void move(int steps)
    {
        if (steps != 0)
            STEP(d.press(steps == 1 ? "Command1" : "Command2"));
        m_position = (m_position + steps) % 9;
        const int index = d.shownIndex();
        QVERIFY2(index >= 1 && index <= m_chapterOf.size(), qPrintable(QString::number(index)));
        m_shown[m_position] = m_shown[m_position] == 0 ? index : m_shown[m_position];
        QCOMPARE(index, m_shown[m_position]);
    }
    void mark()
    {
        const int correct = m_shown[m_position] % 5;
        const int variant = pick(100) < 65 ? correct : (correct + 1 + pick(4)) % 5;
        STEP(Driver::click(d.control<QRadioButton>(QString("Option1_%1").arg(variant))));
        m_marked[m_position] = variant;
        move(1);
    }

    // A correction before all are answered is refused; otherwise the result
    // goes into the log (Users.stn: the latest 98, bytes as the header counts
    // them) and the archive.
    void correct(bool withItsKey = false)
    {
        if (withItsKey) // "Corecteaza test" clicks itself a moment after Alt+C
            STEP(Driver::accessKey("Main", 'C', false));
        STEP(d.correct());
        if (withItsKey)
            QTest::qWait(Driver::kAccessKeyDelayMs);
        QCOMPARE(d.phase(), unmarked() ? phase::Drawn : phase::Corrected);
        if (unmarked())
            return;
        ArchivedTest test{"NoName", d.platform.date,  QTime(), 0, 1,
                          false,    m_plan.isEmpty(), {},      {}};
        for (const auto &[chapter, count] : std::as_const(m_plan))
            test.chapters.append({chapter, count});
        for (int i = 0; i < 9; ++i) {
            test.answers.append({test::pictureIndex(m_shown[i]),
                                 m_chapters[m_chapterOf[m_shown[i] - 1]], m_marked[i],
                                 m_shown[i] % 5});
            test.grade += test.answers.last().right() ? 1 : 0;
        }
        QCOMPARE(d.grade(), test.grade);
        m_archive.append(text(test));
        m_log << test::result("NoName", qint16(test.grade), 0, test.date).encoded();
        if (m_log.size() > 98)
            m_log.removeFirst();
        ++m_corrected;
        m_startDue = m_corrected % std::max(1, m_tests / 10) == 0 && m_corrected < m_tests;
        d.platform.date = QDate(2026, 10, 1).addDays(m_corrected / 40);
        const std::optional<Collection> c = test::collectionOnDisk(d.path());
        QVERIFY(c);
        QByteArray onDisk;
        for (int row = Collection::FirstRow; row < c->NextUserRecord; ++row)
            onDisk += c->UserTable[row].encoded();
        QCOMPARE(onDisk.toHex(' '), m_log.join().toHex(' '));
    }

    // Adds a chapter or renames one of the first five (its problems go with
    // it; the sixth is the reserved chapter).
    void editChapters()
    {
        STEP(d.chooseMenu("mnuAddCap"));
        const int row = pick(5);
        const QString name = QString("Capitolul %1").arg(m_nextName++);
        const bool add = pick(2) && m_chapters.size() < 10; // all shown in a combo's list
        STEP(add ? m_chapters.append(name) : Driver::clickRow(kChapters, "listCap", row));
        m_chapters[add ? m_chapters.size() - 1 : row] = name;
        STEP(Driver::type(kChapters, "Text1", name));
        STEP(Driver::press(kChapters, add ? "Command1" : "Command4"));
        QCOMPARE(test::lines(Driver::control<QListWidget>(kChapters, "listCap")), m_chapters);
        STEP(Driver::press(kChapters, "Command3"));
    }

    // Ends the program, through its exit or without it, and starts it again.
    // Only the exit saves the chapters: an end without it takes them back to
    // the last exit.
    void startAgain(bool throughExit)
    {
        m_startDue = false;
        if (throughExit) {
            QVERIFY(d.exit());
            QCOMPARE(QApplication::topLevelWidgets().size(), 0); // no screen outlives it
            m_savedChapters = m_chapters;
            const std::optional<Collection> c = test::collectionOnDisk(d.path());
            QVERIFY(c);
            QCOMPARE(test::countersBreak(*c), QString());
            QCOMPARE(chapterNames(*c), m_chapters);
        }
        QVERIFY(throughExit ? d.start() : d.restart());
        m_chapters = m_savedChapters;
        QCOMPARE(d.phase(), phase::Startup);
        ResultArchive archive(d.path() + "/Arhiva.sqlite");
        QCOMPARE(archive.open(false).ok(), m_corrected > 0);
        QStringList archived;
        for (const ArchiveRow &row : archive.rows())
            archived.append(text(archive.test(row.id)));
        QCOMPARE(archived, m_corrected > 0 ? m_archive : QStringList());
    }

    const int m_tests;
    std::mt19937 m_rng;
    QList<int> m_chapterOf; // by picture index - 1: the chapter's row (a rename keeps it)
    QStringList m_chapters, m_savedChapters; // in row order: as now; as the last exit saved them
    QList<QByteArray> m_log;                 // the results of Users.stn
    QStringList m_archive;                   // text(...) of each test archived, once it is used
    bool m_startDue = false;
    int m_corrected = 0, m_nextName = 1;
    // The test on the screen: the chapters and counts (none: the whole collection).
    QList<QPair<QString, int>> m_plan;
    std::array<int, 9> m_shown{}, m_marked{}; // picture index, variant marked
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
        // Quiets the offscreen platform's "cannot raise" at every screen shown.
        static const QtMessageHandler next = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                if (!text.startsWith(QLatin1String("This plugin does not support")))
                    next(type, context, text);
            });
        const int tests = qEnvironmentVariableIntValue("CULEGERE_LONG_TESTS");
        const unsigned seed = qEnvironmentVariable("CULEGERE_LONG_SEED", "20261204").toUInt();
        qInfo("seed %u", seed);
        Walk(tests > 0 ? std::max(tests, 20) : 2000, seed).run();
    }
};

QTEST_MAIN(TstLongUse)
#include "tst_long_use.moc"
