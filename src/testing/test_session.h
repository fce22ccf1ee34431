#pragma once

#include "testing/app_state.h"
#include "testing/draw.h"

#include <QDate>
#include <QString>

namespace culegere {

// The running test as the main screen works it, without any widget: the
// draw, moving through the nine problems, marking variants, grading, the
// pupil's name and the stopwatch count.
class TestSession
{
public:
    static constexpr qint16 MaxTicks = 32767;

    explicit TestSession(AppState &state);

    // The state at start-up: the order is the identity, the count 0, the
    // pupil "NoName".
    void startup();

    DrawResult draw(const RandomSource &random);
    // The catalogue row at the current position, and at position p.
    const ProblemRecord &problemAt(int position) const;
    const ProblemRecord &currentProblem() const { return problemAt(test().CurrentPosition); }

    // Moves around the ring of nine positions.
    void next();
    void previous();
    // Marks variant 0..4 for the problem shown.
    void mark(int variant);

    // The first position without a marked variant, or -1.
    int firstUnanswered() const;
    // Grades a fully answered test: TestGrade and AnswerCorrect, and the
    // pupil's result of `today`, ready for the log.
    UserRecord grade(QDate today);
    // After the result is stored: the draw's order starts afresh.
    void finishCorrection();

    // Sets the pupil's name (cut to 30 characters); an empty text keeps it.
    void setUserName(const QString &name);
    const UserRecord &currentUser() const { return m_currentUser; }

    void startStopwatch() { m_stopwatchTicks = 0; }
    // One tick; false once the count has reached its limit (it stays there).
    bool tick();
    qint16 stopwatchTicks() const { return m_stopwatchTicks; }

    // Ends the test: no problems, no chosen chapters, the count 0.
    void reset();

    const ProblemOrder &problemOrder() const { return m_problemOrder; }

private:
    CurrentTest &test() { return m_state.test; }
    const CurrentTest &test() const { return m_state.test; }

    AppState &m_state;
    UserRecord m_currentUser;
    qint16 m_stopwatchTicks = 0;
    ProblemOrder m_problemOrder;
};

} // namespace culegere
