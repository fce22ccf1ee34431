#include "testing/test_session.h"

#include "store/problem_paths.h"

#include <numeric>

namespace culegere {

TestControls controlsFor(TestPhase phase, bool stopwatchStarted)
{
    TestControls c;
    switch (phase) {
    case TestPhase::Idle:
    case TestPhase::Defining:
        c.defineTest = true;
        c.changeUser = true;
        break;
    case TestPhase::Defined:
        c.startTest = true;
        c.changeUser = true;
        break;
    case TestPhase::Running:
        c.startTest = true;
        c.move = true;
        c.correct = true;
        c.startStopwatch = !stopwatchStarted;
        c.answersShown = true;
        c.answersOpen = true;
        c.editing = false;
        break;
    case TestPhase::Graded:
    case TestPhase::Corrected:
        // The grade, the answers and the count are fixed; a result not yet
        // written can only be written or given up by "Reset".
        c.move = true;
        c.correct = phase == TestPhase::Graded;
        c.reset = true;
        c.answersShown = true;
        c.checksShown = true;
        c.editing = false;
        break;
    }
    return c;
}

TestSession::TestSession(AppState &state) : m_state(state), m_problemOrder(identityOrder())
{
    startup();
}

void TestSession::startup()
{
    m_phase = TestPhase::Idle;
    m_problemOrder = identityOrder();
    m_stopwatchTicks = 0;
    m_stopwatchStarted = false;
    m_stopwatchRunning = false;
    m_currentUser = UserRecord();
    m_currentUser.Name = FixedText<30>::fromBytes("NoName");
}

void TestSession::openDefinition()
{
    if (!controls().defineTest)
        return;
    test().CurrentPosition = 0;
    m_phase = TestPhase::Defining;
}

void TestSession::takeDefinition()
{
    if (m_phase == TestPhase::Defining)
        m_phase = m_state.definition.TestIsSet ? TestPhase::Defined : TestPhase::Idle;
}

DrawResult TestSession::draw(const RandomSource &random)
{
    if (!controls().startTest)
        return {DrawResult::Refused, {}};
    const DrawResult result =
        drawTest(m_state.collection, m_state.definition, test(), m_problemOrder, random);
    if (result.outcome != DrawResult::Drawn) {
        // Nothing to draw from: the teacher defines the test anew.
        endTest();
        return result;
    }
    test().CurrentPosition = 0;
    test().TestGrade = 1;
    m_stopwatchStarted = false;
    m_phase = TestPhase::Running;
    return result;
}

const ProblemRecord &TestSession::problemAt(int position) const
{
    return m_state.collection.ProblemTable[test().TestProblems[position]];
}

bool TestSession::next()
{
    if (!controls().move)
        return false;
    test().CurrentPosition = static_cast<qint16>((test().CurrentPosition + 1) % CurrentTest::Size);
    return true;
}

bool TestSession::previous()
{
    if (!controls().move)
        return false;
    const int position = test().CurrentPosition - 1;
    test().CurrentPosition = static_cast<qint16>(position < 0 ? CurrentTest::Size - 1 : position);
    return true;
}

void TestSession::mark(int variant)
{
    if (!controls().answersOpen)
        return;
    m_state.collection.ProblemTable[test().TestProblems[test().CurrentPosition]].ChosenAnswer =
        static_cast<qint16>(variant);
}

int TestSession::firstUnanswered() const
{
    for (int position = 0; position < CurrentTest::Size; ++position) {
        if (problemAt(position).ChosenAnswer == ProblemRecord::NoAnswer)
            return position;
    }
    return -1;
}

bool TestSession::grade(QDate today)
{
    if (m_phase != TestPhase::Running)
        return false;
    test().AnswerCorrect.fill(false);
    if (firstUnanswered() >= 0)
        return false;
    test().TestGrade = 1;
    for (int position = 0; position < CurrentTest::Size; ++position) {
        const ProblemRecord &problem = problemAt(position);
        if (problem.CorrectAnswer == problem.ChosenAnswer) {
            ++test().TestGrade;
            test().AnswerCorrect[position] = true;
        }
    }
    m_stopwatchRunning = false;
    m_currentUser.Grade = test().TestGrade;
    m_currentUser.TestDate = dateToSerial(today);
    m_currentUser.ElapsedTicks = m_stopwatchTicks;
    m_result = m_currentUser;
    m_phase = TestPhase::Graded;
    return true;
}

TestSession::Correction TestSession::correct(QDate today)
{
    if (m_phase == TestPhase::Running)
        return grade(today) ? Correction::ToWrite : Correction::Unanswered;
    return m_phase == TestPhase::Graded ? Correction::ToWrite : Correction::Refused;
}

void TestSession::resultStored()
{
    if (m_phase != TestPhase::Graded)
        return;
    const int last = std::min<int>(m_state.collection.ProblemCount + 2,
                                   static_cast<int>(m_problemOrder.size()) - 1);
    std::iota(m_problemOrder.begin(), m_problemOrder.begin() + last + 1, qint16(0));
    m_phase = TestPhase::Corrected;
}

void TestSession::setUserName(const QString &name)
{
    if (controls().changeUser && !name.isEmpty())
        m_currentUser.Name.setText(name);
}

void TestSession::startStopwatch()
{
    if (!controls().startStopwatch)
        return;
    m_stopwatchTicks = 0;
    m_stopwatchStarted = true;
    m_stopwatchRunning = true;
}

void TestSession::tick()
{
    if (!m_stopwatchRunning)
        return;
    if (m_stopwatchTicks < MaxTicks)
        ++m_stopwatchTicks;
    if (m_stopwatchTicks >= MaxTicks)
        m_stopwatchRunning = false;
}

bool TestSession::reset()
{
    if (!controls().reset)
        return false;
    endTest();
    return true;
}

void TestSession::endTest()
{
    test().TestProblems.fill(0);
    m_state.definition.TestIsSet = false;
    m_state.definition.TestChapterCount = 0;
    m_stopwatchTicks = 0;
    m_stopwatchStarted = false;
    m_stopwatchRunning = false;
    m_phase = TestPhase::Idle;
}

ArchivedTest TestSession::archivedResult(QTime time) const
{
    ArchivedTest archived;
    archived.pupil = m_result.Name.trimmedText();
    archived.date = serialToDate(m_result.TestDate);
    archived.time = time;
    archived.stopwatch = m_result.ElapsedTicks;
    archived.grade = m_result.Grade;
    const TestDefinition &definition = m_state.definition;
    archived.wholeCollection = definition.TestWholeCollection;
    if (!definition.TestWholeCollection) {
        for (int i = 0; i < definition.TestChapterCount; ++i)
            archived.chapters.append({definition.TestChapters[i].Name.trimmedText(),
                                      definition.TestChapters[i].DrawCount});
    }
    for (int position = 0; position < CurrentTest::Size; ++position) {
        const ProblemRecord &problem = problemAt(position);
        archived.answers.append({problemIndex(problem.ImagePath),
                                 problem.Chapter.Name.trimmedText(), problem.ChosenAnswer,
                                 problem.CorrectAnswer});
    }
    return archived;
}

} // namespace culegere
