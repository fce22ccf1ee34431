#include "testing/test_session.h"

#include <numeric>

namespace culegere {

TestSession::TestSession(AppState &state) : m_state(state), m_problemOrder(identityOrder())
{
    startup();
}

void TestSession::startup()
{
    m_problemOrder = identityOrder();
    m_stopwatchTicks = 0;
    m_currentUser = UserRecord();
    m_currentUser.Name = FixedText<30>::fromBytes("NoName");
}

DrawResult TestSession::draw(const RandomSource &random)
{
    const DrawResult result =
        DrawTest(m_state.collection, m_state.definition, test(), m_problemOrder, random);
    if (result.outcome == DrawResult::Drawn) {
        test().CurrentPosition = 0;
        test().TestGrade = 1;
    }
    return result;
}

const ProblemRecord &TestSession::problemAt(int position) const
{
    return m_state.collection.ProblemTable[test().TestProblems[position]];
}

void TestSession::next()
{
    test().CurrentPosition = static_cast<qint16>((test().CurrentPosition + 1) % CurrentTest::Size);
}

void TestSession::previous()
{
    const int position = test().CurrentPosition - 1;
    test().CurrentPosition = static_cast<qint16>(position < 0 ? CurrentTest::Size - 1 : position);
}

void TestSession::mark(int variant)
{
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

UserRecord TestSession::grade(QDate today)
{
    test().AnswerCorrect.fill(false);
    test().TestGrade = 1;
    for (int position = 0; position < CurrentTest::Size; ++position) {
        const ProblemRecord &problem = problemAt(position);
        if (problem.CorrectAnswer == problem.ChosenAnswer) {
            ++test().TestGrade;
            test().AnswerCorrect[position] = true;
        }
    }
    m_currentUser.Grade = test().TestGrade;
    m_currentUser.TestDate = dateToSerial(today);
    m_currentUser.ElapsedTicks = m_stopwatchTicks;
    return m_currentUser;
}

void TestSession::finishCorrection()
{
    const int last = std::min<int>(m_state.collection.ProblemCount + 2,
                                   static_cast<int>(m_problemOrder.size()) - 1);
    std::iota(m_problemOrder.begin(), m_problemOrder.begin() + last + 1, qint16(0));
}

void TestSession::setUserName(const QString &name)
{
    if (!name.isEmpty())
        m_currentUser.Name.setText(name);
}

bool TestSession::tick()
{
    if (m_stopwatchTicks >= MaxTicks)
        return false;
    ++m_stopwatchTicks;
    return true;
}

void TestSession::reset()
{
    test().TestProblems.fill(0);
    m_state.definition.TestChapterCount = 0;
    m_stopwatchTicks = 0;
}

} // namespace culegere
