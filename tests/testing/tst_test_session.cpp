// The running test without the screen: moving, marking, grading, the pupil's
// name, the stopwatch count and the reset.
#include "support/temp_app_folder.h"
#include "testing/test_session.h"

#include <QtTest>

using namespace culegere;

namespace {

// A session with a drawn test of rows 2..10, whose correct answers are
// 0, 1, 2, 3, 4, 0, 1, 2, 3.
struct Running
{
    AppState state{AppFolder(QStringLiteral("/app"))};
    TestSession session{state};

    Running()
    {
        for (int i = 0; i < 9; ++i)
            test::addProblem(state.collection, "Ecuatii", QString::number(10000 + i),
                             qint16(i % 5));
        state.definition.TestWholeCollection = true;
        if (session.draw([] { return 0.0; }).outcome != DrawResult::Drawn)
            qFatal("no draw");
    }
    // Marks `rightCount` positions right and the rest wrong.
    void answer(int rightCount)
    {
        for (int p = 0; p < 9; ++p) {
            const qint16 right = session.currentProblem().CorrectAnswer;
            session.mark(p < rightCount ? right : (right + 1) % 5);
            session.next();
        }
    }
};

} // namespace

class TstTestSession : public QObject
{
    Q_OBJECT

private slots:
    void positionsFormARing()
    {
        Running r;
        QList<int> seen;
        for (int i = 0; i < 9; ++i) {
            r.session.next();
            seen.append(r.state.test.CurrentPosition);
        }
        QCOMPARE(seen, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 0}));
        r.session.previous();
        QCOMPARE(int(r.state.test.CurrentPosition), 8);
    }

    void aMarkStaysWithItsProblem()
    {
        Running r;
        QCOMPARE(r.session.currentProblem().ChosenAnswer, ProblemRecord::NoAnswer);
        r.session.mark(0);
        r.session.mark(4); // the last mark counts
        r.session.next();
        r.session.mark(2);
        r.session.previous();
        QCOMPARE(int(r.session.currentProblem().ChosenAnswer), 4);
        r.session.next();
        QCOMPARE(int(r.session.currentProblem().ChosenAnswer), 2);
    }

    void grades_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("grade");
        QTest::newRow("all nine") << 9 << 10;
        QTest::newRow("none") << 0 << 1;
        QTest::newRow("five") << 5 << 6;
    }
    void grades()
    {
        QFETCH(int, right);
        QFETCH(int, grade);
        Running r;
        r.state.test.AnswerCorrect.fill(true);
        r.answer(right);
        QCOMPARE(r.session.firstUnanswered(), -1);
        const UserRecord result = r.session.grade(QDate(2026, 12, 4));
        QCOMPARE(int(r.state.test.TestGrade), grade);
        for (int p = 0; p < 9; ++p)
            QCOMPARE(r.state.test.AnswerCorrect[p], p < right);
        QCOMPARE(int(result.Grade), grade);
        QCOMPARE(result.Name, FixedText<30>::fromBytes("NoName"));
        QCOMPARE(result.ElapsedTicks, 0);
        QCOMPARE(result.TestDate, 46360.0);
    }

    void anUnansweredPositionIsFound_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("first") << 0;
        QTest::newRow("middle") << 4;
        QTest::newRow("last") << 8;
    }
    void anUnansweredPositionIsFound()
    {
        QFETCH(int, position);
        Running r;
        r.answer(9);
        r.state.collection.ProblemTable[r.state.test.TestProblems[position]].ChosenAnswer =
            ProblemRecord::NoAnswer;
        QCOMPARE(r.session.firstUnanswered(), position);
    }

    void userNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("35 characters keep 30") << QString(35, u'x') << QByteArray(30, 'x');
        QTest::newRow("leading blanks kept")
            << "  Ana" << QByteArray("  Ana") + QByteArray(25, ' ');
        QTest::newRow("Cancel keeps the name") << "" << QByteArray("NoName") + QByteArray(24, ' ');
        QTest::newRow("Romanian letters, one byte each") << "Ștefan Țuțea"
                                                         << QByteArray("\xaa"
                                                                       "tefan \xde"
                                                                       "u\xfe"
                                                                       "ea") +
                                                                QByteArray(18, ' ');
    }
    void userNames()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        Running r;
        r.session.setUserName(typed);
        QCOMPARE(r.session.currentUser().Name.bytes(), stored);
    }

    void stopwatchStopsAtItsLimit()
    {
        Running r;
        r.session.startStopwatch();
        for (int i = 0; i < 32767; ++i)
            QVERIFY(r.session.tick());
        QCOMPARE(r.session.stopwatchTicks(), TestSession::MaxTicks);
        QVERIFY(!r.session.tick());
        QCOMPARE(r.session.stopwatchTicks(), TestSession::MaxTicks);
        r.answer(3);
        QCOMPARE(r.session.grade(QDate(2026, 1, 1)).ElapsedTicks, 32767);
    }

    void correctionRestoresTheOrder()
    {
        Running r;
        r.state.definition.TestWholeCollection = true;
        int step = 0;
        const double values[] = {0.05, 0.95, 0.5};
        QCOMPARE(r.session.draw([&] { return values[step++ % 3]; }).outcome, DrawResult::Drawn);
        QVERIFY(r.session.problemOrder() != identityOrder());
        r.session.finishCorrection();
        QCOMPARE(r.session.problemOrder(), identityOrder());
    }

    void resetEndsTheTest()
    {
        Running r;
        r.state.definition.TestChapterCount = 3;
        r.session.startStopwatch();
        r.session.tick();
        r.session.reset();
        QCOMPARE(r.state.test.TestProblems, (std::array<qint16, 10>{}));
        QCOMPARE(r.state.definition.TestChapterCount, 0);
        QCOMPARE(r.session.stopwatchTicks(), 0);
    }
};

QTEST_GUILESS_MAIN(TstTestSession)
#include "tst_test_session.moc"
