#pragma once

#include "state/app_state.h"
#include "testing/test_session.h"
#include "widgets/answer_buttons.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace culegere {

class DefinitionScreen;
class Platform;
class PictureBox;

// The test area of the main screen: the controls with which a test is
// defined, drawn, answered, corrected and timed. The work is done by a
// TestSession; this class reads and writes the controls.
class TestArea : public QWidget
{
    Q_OBJECT

public:
    // `timerOwner` is the main screen, which owns the stopwatch's timer.
    TestArea(AppState &state, Platform &platform, QWidget *timerOwner, QWidget *parent = nullptr);
    ~TestArea() override;

    // The state of the controls when the program starts.
    void applyStartupState();

    const TestSession &session() const { return m_session; }
    // Hides the screens this area opened (the program is ending).
    void hideScreens();

private:
    void buildControls(QWidget *timerOwner);
    void installKeys(QWidget *window);
    // Tells a screen reader which problem the picture shows.
    void describePicture();
    void openDefinition();
    void definitionFinished();
    void startTest();
    void showProblem();
    void move(bool forward);
    void correct();
    void changeUser();
    void startStopwatch();
    void stopwatchTick();
    void reset();
    // Writes the graded result to the log, as many times as it takes.
    void writeResult();
    // Which controls can be used follows from the session's phase alone, and
    // the shared watch tells the other screens whether a test is under way;
    // every step ends here. Each step checks the session's phase itself when
    // it runs: a key's delayed click may arrive after its button went off.
    void applyState();
    // Nothing of a test is shown.
    void clearTest();
    void message(const QString &text);

    AppState &m_state;
    Platform &m_platform;
    TestSession m_session;
    QPointer<DefinitionScreen> m_definitionScreen;

    QPushButton *m_defineTest = nullptr;
    QPushButton *m_startTest = nullptr;
    QPushButton *m_next = nullptr;     // -->
    QPushButton *m_previous = nullptr; // <--
    QPushButton *m_correct = nullptr;
    QPushButton *m_changeUser = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_startStopwatch = nullptr;
    AnswerButtons m_answers;
    std::array<QCheckBox *, CurrentTest::Size> m_rightAnswers{}; // the correction's marks
    PictureBox *m_problemPicture = nullptr;
    QLineEdit *m_position = nullptr;
    QLineEdit *m_grade = nullptr;
    QLineEdit *m_stopwatch = nullptr;
    QLabel *m_gradeLabel = nullptr;
    QLabel *m_chapterName = nullptr; // the chapter of the problem shown
    QTimer *m_stopwatchTimer = nullptr;
};

} // namespace culegere
