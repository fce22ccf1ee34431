// The running test without the screen: its phases, marking, grading,
// the result and its archived form, the pupil's name, the stopwatch count
// and the reset.
#include "support/temp_app_folder.h"
#include "testing/test_session.h"

#include <QtTest>

using namespace culegere;

namespace {

const QDate kToday(2026, 12, 4);

// A session of the pupil "  Ana " with a drawn test of rows 2..10 (pictures
// 10000..10008), whose correct answers are 0, 1, 2, 3, 4, 0, 1, 2, 3.
struct Running
{
    AppState state{AppFolder(QStringLiteral("/app"))};
    TestSession session{state};

    explicit Running(bool perChapter = false)
    {
        for (int i = 0; i < 9; ++i)
            test::addProblem(state.collection, "Ecuatii", QString::number(10000 + i),
                             qint16(i % 5));
        session.setUserName("  Ana ");
        session.openDefinition();
        state.definition.TestIsSet = true;
        state.definition.TestWholeCollection = !perChapter;
        if (perChapter) {
            state.definition.TestChapterCount = 1;
            state.definition.TestChapters[0].Name.assign("Ecuatii");
            state.definition.TestChapters[0].DrawCount = 9;
        }
        session.takeDefinition();
        if (session.draw([] { return 0.0; }).outcome != DrawResult::Drawn)
            qFatal("no draw");
    }
    // Marks the first `right` positions right and the others wrong.
    void answer(int right)
    {
        for (int p = 0; p < 9; ++p) {
            const qint16 correct = session.currentProblem().CorrectAnswer;
            session.mark(p < right ? correct : (correct + 1) % 5);
            session.next();
        }
    }
    void grade(int right = 9)
    {
        answer(right);
        if (!session.grade(kToday))
            qFatal("not graded");
    }
};

} // namespace

class TstTestSession : public QObject
{
    Q_OBJECT

private slots:
    // The grade is one plus the right answers; the result and the test the
    // archive keeps hold the pupil (as typed, blanks and all, in the result),
    // the date, the count and every answer.
    void grades_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("perChapter");
        QTest::addColumn<int>("grade");
        QTest::newRow("all nine") << 9 << false << 10;
        QTest::newRow("none") << 0 << true << 1;
        QTest::newRow("five") << 5 << false << 6;
    }
    void grades()
    {
        QFETCH(int, right);
        QFETCH(bool, perChapter);
        QFETCH(int, grade);
        Running r(perChapter);
        r.session.startStopwatch();
        r.session.tick();
        r.session.tick();
        r.answer(right);
        QVERIFY(r.session.grade(kToday));
        QCOMPARE(int(r.state.test.TestGrade), grade);
        const UserRecord result = r.session.result();
        QCOMPARE(int(result.Grade), grade);
        QCOMPARE(result.Name, FixedText<30>::fromBytes("  Ana "));
        QCOMPARE(result.ElapsedTicks, 2);
        QCOMPARE(result.TestDate, 46360.0);

        const ArchivedTest archived = r.session.archivedResult(QTime(10, 30));
        QCOMPARE(archived.pupil, QString("Ana"));
        QCOMPARE(archived.date, kToday);
        QCOMPARE(archived.time, QTime(10, 30));
        QCOMPARE(archived.stopwatch, 2);
        QCOMPARE(archived.grade, grade);
        QCOMPARE(archived.wholeCollection, !perChapter);
        QCOMPARE(archived.chapters.size(), perChapter ? 1 : 0);
        if (perChapter)
            QCOMPARE(archived.chapters[0].name + QString::number(archived.chapters[0].problems),
                     QString("Ecuatii9"));
        QCOMPARE(archived.answers.size(), 9);
        for (int p = 0; p < 9; ++p) {
            const ArchivedAnswer &a = archived.answers[p];
            const ProblemRecord &problem = r.session.problemAt(p);
            QCOMPARE(a.problemIndex, problem.ImagePath.trimmedText().right(9).left(5));
            QCOMPARE(a.chapter, QString("Ecuatii"));
            QCOMPARE(a.correct, int(problem.CorrectAnswer));
            QCOMPARE(a.right(), p < right);
        }
    }

    void anUnansweredPositionIsFound()
    {
        Running r;
        r.session.startStopwatch();
        r.answer(9);
        r.state.collection.ProblemTable[r.state.test.TestProblems[4]].ChosenAnswer =
            ProblemRecord::NoAnswer;
        QCOMPARE(r.session.firstUnanswered(), 4);
        QVERIFY(!r.session.grade(kToday));
        r.session.reset(); // only a graded test can be reset
        QCOMPARE(r.session.phase(), TestPhase::Running);
        QVERIFY(r.session.stopwatchRunning());
        QVERIFY(r.session.controls().answersOpen);
    }

    // Once graded, the answers, the grade and the count are fixed, and the
    // result waits to be written or given up; once written, the draw's
    // order starts afresh and a correction or a draw is refused; Reset ends
    // the test, once, and then no move is made.
    void aGradedTestIsFixed()
    {
        Running r;
        int step = 0;
        const double values[] = {0.05, 0.95, 0.5};
        QCOMPARE(r.session.draw([&] { return values[step++ % 3]; }).outcome, DrawResult::Drawn);
        r.session.startStopwatch();
        r.session.tick();
        r.grade();
        const UserRecord result = r.session.result();
        const qint16 marked = r.session.currentProblem().ChosenAnswer;
        r.session.mark((marked + 1) % 5);
        r.session.tick();
        r.session.startStopwatch();
        QVERIFY(!r.session.grade(QDate(2027, 1, 1)));
        QCOMPARE(r.session.correct(QDate(2027, 1, 1)), TestSession::Correction::ToWrite);
        QCOMPARE(r.session.currentProblem().ChosenAnswer, marked);
        QVERIFY(!r.session.stopwatchRunning());
        QCOMPARE(r.session.stopwatchTicks(), 1);
        QCOMPARE(r.session.result(), result);
        QCOMPARE(r.session.draw([] { return 0.0; }).outcome, DrawResult::Refused);
        QCOMPARE(r.session.phase(), TestPhase::Graded);
        r.session.resultStored();
        QCOMPARE(r.session.phase(), TestPhase::Corrected);
        QCOMPARE(r.session.problemOrder(), identityOrder());
        QCOMPARE(r.session.draw([] { return 0.0; }).outcome, DrawResult::Refused);
        QCOMPARE(r.session.correct(QDate()), TestSession::Correction::Refused); // written once
        r.state.definition.TestChapterCount = 3;
        QVERIFY(r.session.reset() && !r.session.reset() && !r.session.next());
        QCOMPARE(r.session.phase(), TestPhase::Idle);
        QCOMPARE(r.state.test.TestProblems, (std::array<qint16, 10>{}));
        QCOMPARE(r.state.definition.TestChapterCount, 0);
        QCOMPARE(r.session.stopwatchTicks(), 0);
    }

    void cancelKeepsTheDefaultName()
    {
        AppState state{AppFolder(QStringLiteral("/app"))};
        TestSession session{state};
        session.setUserName("");
        QCOMPARE(session.currentUser().Name.bytes(), QByteArray("NoName").leftJustified(30));
    }

    void stopwatchStopsAtItsLimit()
    {
        Running r;
        r.session.tick(); // not started
        QCOMPARE(r.session.stopwatchTicks(), 0);
        r.session.startStopwatch();
        for (int i = 0; i < 32766; ++i)
            r.session.tick();
        QVERIFY(r.session.stopwatchRunning());
        r.session.tick();
        QCOMPARE(r.session.stopwatchTicks(), TestSession::MaxTicks);
        QVERIFY(!r.session.stopwatchRunning());
        r.session.tick();
        QCOMPARE(r.session.stopwatchTicks(), TestSession::MaxTicks);
        r.grade(3);
        QCOMPARE(r.session.result().ElapsedTicks, 32767);
    }
};

QTEST_GUILESS_MAIN(TstTestSession)
#include "tst_test_session.moc"
