#pragma once

#include "archive/archived_test.h"
#include "state/app_state.h"
#include "testing/draw.h"

#include <QDate>
#include <QString>

namespace culegere {

// The phases of the main screen's test controls.
enum class TestPhase {
    Idle,      // start-up, after Reset or a refused draw: no definition to draw from
    Defining,  // the definition screen is open: whatever it holds is not yet taken over
    Defined,   // an accepted definition was taken over by "Ok"
    Running,   // a test is drawn and being answered
    Graded,    // graded, its result not yet written to the log
    Corrected, // graded and its result written
};

// Which controls of the test area can be used (or are shown) in a phase.
// The print menu item is on exactly when the editing items are off.
struct TestControls
{
    bool defineTest = false;     // "Defineste Test"
    bool startTest = false;      // "Start Test"
    bool move = false;           // "-->", "<--"
    bool correct = false;        // "Corecteaza test" (writes the graded result again when
                                 // it could not be written)
    bool changeUser = false;     // "Schimba User"
    bool reset = false;          // "Reset"
    bool startStopwatch = false; // "Start Cronometru"
    bool answersShown = false;   // the variants a..e
    bool answersOpen = false;    // a variant can be marked
    bool checksShown = false;    // the check marks of the right answers
    bool editing = true;         // the menu items that change the collection

    bool operator==(const TestControls &) const = default;
};

// `stopwatchStarted`: "Start Cronometru" was pressed since the last draw.
TestControls controlsFor(TestPhase phase, bool stopwatchStarted);

// The running test as the main screen works it, without any widget: its
// phase, the draw, moving through the nine problems, marking variants,
// grading, the pupil's name and the stopwatch. Each step is refused (does
// nothing) outside the phases whose controls lead to it.
class TestSession
{
public:
    static constexpr qint16 MaxTicks = 32767;

    explicit TestSession(AppState &state);

    // The state at start-up: Idle, the order the identity, the count 0, the
    // pupil "NoName".
    void startup();

    TestPhase phase() const { return m_phase; }
    TestControls controls() const { return controlsFor(m_phase, m_stopwatchStarted); }

    // "Defineste Test": the definition screen takes over; position 0.
    void openDefinition();
    // "Ok" of the definition screen: Defined when it holds an accepted
    // definition, else Idle.
    void takeDefinition();

    // Draws a new test (Defined or Running; Refused in any other phase, with
    // nothing changed). A draw that cannot fill the nine positions draws
    // nothing: the test and the definition are let go (Idle).
    DrawResult draw(const RandomSource &random);
    // The catalogue row at the current position, and at position p.
    const ProblemRecord &problemAt(int position) const;
    const ProblemRecord &currentProblem() const { return problemAt(test().CurrentPosition); }

    // Moves around the ring of nine positions; false (no move) while no test
    // is drawn.
    bool next();
    bool previous();
    // Marks variant 0..4 for the problem shown; only while the test runs.
    void mark(int variant);

    // The first position without a marked variant, or -1.
    int firstUnanswered() const;
    // Grades a fully answered running test: TestGrade, AnswerCorrect and the
    // pupil's result of `today`; the answers and the stopwatch stop (Graded).
    // False, with AnswerCorrect cleared and nothing else changed, while a
    // problem is unanswered.
    bool grade(QDate today);
    // "Corecteaza test": a running test is graded (or Unanswered); a graded
    // test whose result is not yet written stays as graded. ToWrite: the
    // result is to be written now. Refused in every other phase, so a test
    // is graded and written once whatever arrives after its correction.
    enum class Correction { Refused, Unanswered, ToWrite };
    Correction correct(QDate today);
    // The graded result, the record every attempt to write it writes.
    const UserRecord &result() const { return m_result; }
    // The graded result as the archive keeps it, corrected at `time`: the
    // definition and, for each position, the problem and both answers.
    ArchivedTest archivedResult(QTime time) const;
    // The graded result is in the log: the draw's order starts afresh (Corrected).
    void resultStored();

    // Sets the pupil's name (cut to 30 characters); an empty text keeps it.
    void setUserName(const QString &name);
    const UserRecord &currentUser() const { return m_currentUser; }

    // "Start Cronometru": the count starts from 0 (only while the test runs).
    void startStopwatch();
    // One tick; the count stops at its limit and never turns negative.
    void tick();
    bool stopwatchRunning() const { return m_stopwatchRunning; }
    qint16 stopwatchTicks() const { return m_stopwatchTicks; }

    // Ends a graded test: no problems, no chosen chapters, the count 0 (Idle).
    // A result not yet written is lost. False (nothing changes) in any other
    // phase.
    bool reset();

    const ProblemOrder &problemOrder() const { return m_problemOrder; }

private:
    CurrentTest &test() { return m_state.test; }
    const CurrentTest &test() const { return m_state.test; }
    void endTest();

    AppState &m_state;
    TestPhase m_phase = TestPhase::Idle;
    UserRecord m_currentUser;
    UserRecord m_result;
    qint16 m_stopwatchTicks = 0;
    bool m_stopwatchStarted = false;
    bool m_stopwatchRunning = false;
    ProblemOrder m_problemOrder;
};

} // namespace culegere
