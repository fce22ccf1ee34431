// Long use: a seeded random walk over the screens, as a school would use the
// program over a year. At each step an event a user can cause in the state
// reached is picked at random: a test defined (the whole collection or per
// chapter), drawn, answered, gone through, corrected and ended; a chapter
// added, renamed or deleted; a problem catalogued, re-filed or deleted
// through the editor; the program left through its exit, or ended without
// it, and started again.
//
// A model kept by the test says what the program must hold: after each
// correction the log (Users.stn) holds the latest 98 results; at each
// start-up the archive (Arhiva.sqlite) holds every corrected test with its
// answers, after the log it took over at its first use; after each exit the
// data files hold the chapters and the catalogue as edited, with counters
// that agree; an end without the exit loses the editing since the last exit.
// The resident memory may grow only so much after a warm-up.
//
// CULEGERE_LONG_TESTS=<n>: the walk ends after n corrected tests (2000 by
// default; the program starts again nine times on the way);
// CULEGERE_LONG_SEED=<seed> walks another way.
#include "archive/archive_messages.h"
#include "archive/result_archive.h"
#include "editing/editing_messages.h"
#include "shell/shell_messages.h"
#include "store/collection_io.h"
#include "store/problem_paths.h"
#include "support/driver.h"
#include "testing/testing_messages.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

#include <deque>
#include <map>
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
    QString s = QStringLiteral("%1|%2|%3|%4|%5|")
                    .arg(t.pupil, t.date.toString(Qt::ISODate))
                    .arg(t.grade)
                    .arg(t.imported)
                    .arg(t.wholeCollection);
    for (const ArchivedChapter &c : t.chapters)
        s += QStringLiteral("%1:%2,").arg(c.name).arg(c.problems);
    for (const ArchivedAnswer &a : t.answers)
        s += QStringLiteral(" %1/%2/%3/%4")
                 .arg(a.problemIndex, a.chapter)
                 .arg(a.marked)
                 .arg(a.correct);
    return s;
}
// A result of the log as the archive takes it over.
QString text(const UserRecord &r)
{
    return QStringLiteral("%1|%2|%3|1|0|")
        .arg(r.Name.trimmedText(), serialToDate(r.TestDate).toString(Qt::ISODate))
        .arg(r.Grade);
}

struct Problem
{
    QString index, chapter;
    int answer = 0;
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
            {"correct too early", "u", 0.3, [this] { correct(); }},
            {"correct", "a", 6, [this] { correct(); }},
            {"end the test", "C", 10, [this] { d.press("Command6"); }},
            {"add a chapter", "S", 0.4, [this] { editChapters(0); }},
            {"rename a chapter", "S", 0.4, [this] { editChapters(1); }},
            {"delete a chapter", "S", 0.4, [this] { editChapters(2); }},
            {"catalogue a picture", "S", 0.5, [this] { editProblem(0); }},
            {"re-file a problem", "S", 0.5, [this] { editProblem(1); }},
            {"delete a problem", "S", 0.5, [this] { editProblem(2); }},
            {"exit, start again", "!", 1, [this] { startAgain(true); }},
            {"end without the exit, start again", "!", 1, [this] { startAgain(false); }},
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
            if (m_corrected == before)
                continue;
            // Between the tests the program's event loop runs. Each screen
            // holds as many objects as when first seen: nothing is added per
            // test, per opening or per start-up (the layouts' animations aside).
            QCoreApplication::processEvents();
            for (const QWidget *screen : QApplication::topLevelWidgets()) {
                const auto children = screen->findChildren<QObject *>();
                const int objects =
                    int(std::count_if(children.begin(), children.end(),
                                      [](auto *o) { return !o->inherits("QAbstractAnimation"); }));
                if (!screen->objectName().isEmpty())
                    QCOMPARE(m_objects.try_emplace(screen->objectName(), objects).first->second,
                             objects);
            }
            if (m_corrected == std::min(100, m_tests / 10))
                warmRss = residentMb();
        }
        finalRss = residentMb();
        startAgain(true);
    }

private:
    // Five chapters of 8..12 problems and the reserved strips with 3, and
    // 40 results in the log.
    Collection firstCollection()
    {
        Collection c;
        m_live.chapters = {"Algebra",       "Geometrie",     "Analiza",
                           "Trigonometrie", "Combinatorica", kReserved};
        for (const QString &chapter : std::as_const(m_live.chapters)) {
            const int count = chapter == kReserved ? 3 : 8 + pick(5);
            test::addChapter(c, chapter.toLatin1(), qint16(count));
            for (int i = 0; i < count; ++i) {
                const Problem p{test::pictureIndex(m_nextIndex++), chapter, pick(5)};
                test::addProblem(c, chapter.toLatin1(), p.index, qint16(p.answer));
                m_live.problems.append(p);
                m_pictures.insert(p.index);
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
        for (int r = 0; r < m_live.problems.size(); ++r) {
            if (m_live.problems[r].index == index)
                return r;
        }
        return -1;
    }
    // A chapter, or a problem's row, outside the reserved chapter.
    QString pickChapter(const QString &besides = {})
    {
        QStringList candidates = m_live.chapters;
        candidates.removeAll(kReserved);
        candidates.removeAll(besides);
        return candidates[pick(int(candidates.size()))];
    }
    int pickProblem()
    {
        int row = pick(int(m_live.problems.size()));
        while (m_live.problems[row].chapter == kReserved)
            row = (row + 1) % m_live.problems.size();
        return row;
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

    // The problem at the position reached: one of the definition (per
    // chapter, the chapters fill the positions in the order chosen), not
    // shown at another position, shown with its chapter and its mark.
    void arrive()
    {
        const QString index = test::pictureIndex(d.shownIndex());
        const int row = rowOf(index);
        QVERIFY2(row >= 0, qPrintable("no such problem: " + index));
        const QString chapter = m_live.problems[row].chapter;
        QCOMPARE(d.control<QLabel>("Label2")->text().trimmed(), chapter);
        if (m_shown[m_position].isEmpty()) {
            QVERIFY(std::count(m_shown.begin(), m_shown.end(), index) == 0);
            QString expected = m_whole && chapter != kReserved ? chapter : QString();
            for (int k = 0, first = 0; k < m_plan.size() && expected.isEmpty(); ++k) {
                first += m_plan[k].second;
                expected = m_position < first ? m_plan[k].first : QString();
            }
            QCOMPARE(chapter, expected);
            m_shown[m_position] = index;
        }
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

    void correct()
    {
        STEP(d.correct());
        if (unmarked()) {
            QCOMPARE(d.platform.messageTexts(), QStringList{testmsg::NotAllAnswered});
            return;
        }
        QCOMPARE(d.platform.messageTexts(), QStringList());
        ArchivedTest test{"NoName", d.platform.date, QTime(), 0, 1, false, m_whole, {}, {}};
        for (const auto &[chapter, count] : std::as_const(m_plan))
            test.chapters.append({chapter, count});
        for (const QString &index : m_shown) {
            const Problem &p = m_live.problems[rowOf(index)];
            test.answers.append({index, p.chapter, m_marked[test.answers.size()], p.answer});
            test.grade += test.answers.last().right() ? 1 : 0;
        }
        QCOMPARE(d.grade(), test.grade);
        // The archive's first use takes the log over.
        for (const UserRecord &r : m_log) {
            if (!m_archiveUsed)
                m_archive.append(text(r));
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
        QStringList onDisk, expected;
        for (int row = Collection::FirstRow; row < c->NextUserRecord; ++row)
            onDisk.append(QString::fromLatin1(c->UserTable[row].encoded().toHex()));
        for (const UserRecord &r : m_log)
            expected.append(QString::fromLatin1(r.encoded().toHex()));
        QCOMPARE(onDisk, expected);
    }

    // Closes a screen with its button or from its frame.
    void close(const QString &screen, const QString &closeButton)
    {
        STEP(pick(3) == 0 ? Driver::closeFromFrame(screen) : Driver::press(screen, closeButton));
        QVERIFY(d.main()->isVisible());
    }

    // 0: adds a chapter, 1: renames one, 2: deletes one (refused while it
    // holds problems; the last chapter takes its row).
    void editChapters(int what)
    {
        auto listed = [] {
            return test::lines(Driver::control<QListWidget>(kChapters, "listCap"));
        };
        STEP(d.chooseMenu("mnuAddCap"));
        QCOMPARE(listed(), m_live.chapters);
        const QString chapter = pickChapter();
        const int row = int(m_live.chapters.indexOf(chapter));
        const QString name = QStringLiteral("Capitolul %1").arg(m_nextName++);
        QStringList messages;
        if (what == 0 && m_live.chapters.size() < 10) { // all shown in a combo's list
            STEP(Driver::type(kChapters, "Text1", name));
            STEP(Driver::press(kChapters, "Command1"));
            m_live.chapters.append(name);
        } else if (what == 1) {
            STEP(Driver::clickRow(kChapters, "listCap", row));
            STEP(Driver::type(kChapters, "Text1", name));
            STEP(Driver::press(kChapters, "Command4"));
            m_live.chapters[row] = name;
            for (Problem &p : m_live.problems)
                p.chapter = p.chapter == chapter ? name : p.chapter;
        } else if (what == 2 && m_live.chapters.size() > 4) {
            STEP(Driver::clickRow(kChapters, "listCap", row));
            STEP(Driver::press(kChapters, "Command2"));
            if (filed(chapter) > 0) {
                messages.append(editmsg::CategoryHasProblems);
            } else {
                m_live.chapters[row] = m_live.chapters.last();
                m_live.chapters.removeLast();
            }
        }
        QCOMPARE(d.platform.messageTexts(), messages);
        QCOMPARE(listed(), m_live.chapters);
        close(kChapters, "Command3");
    }

    // 0: catalogues a picture put into "probleme" (one not catalogued yet,
    // or a new one), 1: files a problem under another chapter with another
    // answer, 2: deletes a problem with its picture (the last problem takes
    // its row).
    void editProblem(int what)
    {
        QString index;
        for (const QString &file : std::as_const(m_pictures)) {
            if (rowOf(file) < 0 && (index.isEmpty() || file < index))
                index = file;
        }
        if (what == 0 && index.isEmpty() && m_live.problems.size() < 120) {
            index = test::pictureIndex(m_nextIndex++);
            d.folder().addPicture(index);
            m_pictures.insert(index);
        }
        if (what > 0 || index.isEmpty())
            index = m_live.problems[pickProblem()].index;
        const int row = rowOf(index);
        auto option = [](int v) {
            return Driver::control<QRadioButton>(kEditor, QString("Option2_%1").arg(v));
        };
        STEP(d.chooseMenu("mnuSeteazaProbl"));
        d.platform.textAnswers = {index};
        STEP(Driver::press(kEditor, "Command1"));
        if (row >= 0) {
            QCOMPARE(Driver::control<QComboBox>(kEditor, "Combo1")->currentText(),
                     m_live.problems[row].chapter);
            QVERIFY(option(m_live.problems[row].answer)->isChecked());
        }
        if (what == 2 && m_live.problems.size() > 40) {
            STEP(Driver::press(kEditor, "btnSterge"));
            QCOMPARE(d.platform.messageTexts(), QStringList{editmsg::Deleted});
            QVERIFY(!d.folder().exists("probleme/probl" + index + ".jpg"));
            m_pictures.remove(index);
            m_live.problems[row] = m_live.problems.last();
            m_live.problems.removeLast();
        } else {
            const Problem problem{index, pickChapter(row < 0 ? "" : m_live.problems[row].chapter),
                                  pick(5)};
            STEP(Driver::chooseLine(kEditor, "Combo1", problem.chapter));
            STEP(Driver::click(option(problem.answer)));
            STEP(Driver::press(kEditor, "Command2"));
            QCOMPARE(d.platform.messageTexts(), QStringList{editmsg::Saved});
            if (row < 0)
                m_live.problems.append(problem);
            else
                m_live.problems[row] = problem;
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
        auto catalogue = [](const QString &index, const QString &chapter, int answer) {
            return QStringLiteral("%1 %2 %3").arg(index, chapter).arg(answer);
        };
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
                onDisk.append(catalogue(problemIndex(p.ImagePath), p.Chapter.Name.trimmedText(),
                                        p.CorrectAnswer));
            }
            for (const Problem &p : std::as_const(m_live.problems))
                expected.append(catalogue(p.index, p.chapter, p.answer));
            QCOMPARE(onDisk, expected);
            STEP(d.startOrFail());
        } else {
            QVERIFY(d.restart());
            m_live = m_saved;
        }
        for (const Problem &p : std::as_const(m_live.problems)) {
            if (!m_pictures.contains(p.index))
                d.folder().addPicture(p.index);
            m_pictures.insert(p.index);
        }
        m_plan.clear();
        QCOMPARE(d.phase(), phase::Startup);

        STEP(d.chooseMenu("mnuTesteazaIntegritate"));
        QCOMPARE(
            d.platform.messageTexts(),
            QStringList({shellmsg::IntegrityOk.arg(u' ' + QString::number(m_live.problems.size())),
                         m_archiveUsed ? archivemsg::CheckOk.arg(m_archive.size())
                                       : archivemsg::CheckAbsent}));
        ResultArchive archive(d.path() + "/Arhiva.sqlite");
        QCOMPARE(archive.open(false).ok(), m_archiveUsed);
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
    } m_live, m_saved;        // as the program holds it; as the last exit saved it
    QSet<QString> m_pictures; // the files in "probleme", by index
    std::deque<UserRecord> m_log;
    std::map<QString, int> m_objects; // per screen, as first seen
    QStringList m_archive;            // text(...) of each test archived
    bool m_archiveUsed = false;
    int m_corrected = 0, m_nextName = 1, m_nextIndex = 1;
    bool m_startDue = false;
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
        // The walk watches the process's memory as the kernel counts it.
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
        walk.run();
        if (QTest::currentTestFailed())
            return;
        const double warm = walk.warmRss, end = walk.finalRss;
        qInfo("resident set: %.1f MB after the warm-up, then %.1f MB more (bound %.0f MB)", warm,
              end - warm, kGrowthBoundMb);
        QVERIFY(warm > 0);
#ifndef LONG_USE_UNDER_ASAN // its quarantine holds freed memory
        QVERIFY2(end - warm < kGrowthBoundMb, qPrintable(QString("grew %1 MB").arg(end - warm)));
#endif
    }
};

QTEST_MAIN(TstLongUse)
#include "tst_long_use.moc"
