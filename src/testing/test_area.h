#pragma once

#include "state/app_state.h"
#include "testing/test_session.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
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

signals:
    // A test is drawn, answered or graded (true), or none is (false): the
    // editing menu items follow.
    void testRunning(bool running);

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
    // Which controls can be used follows from the session's phase alone;
    // every step ends here.
    void applyState();
    void clearAnswers();
    // Nothing of a test is shown.
    void clearTest();
    void message(const QString &text);
    void playCue(const QString &name);

    AppState &m_state;
    Platform &m_platform;
    TestSession m_session;
    QPointer<DefinitionScreen> m_definitionScreen;

    QPushButton *m_btnDefTest = nullptr;
    QPushButton *m_command4 = nullptr; // Start Test
    QPushButton *m_command1 = nullptr; // -->
    QPushButton *m_command2 = nullptr; // <--
    QPushButton *m_command3 = nullptr; // Corecteaza test
    QPushButton *m_command5 = nullptr; // Schimba User
    QPushButton *m_command6 = nullptr; // Reset
    QPushButton *m_btnStartCrono = nullptr;
    std::array<QRadioButton *, 5> m_option1{};
    QButtonGroup *m_answers = nullptr;
    std::array<QCheckBox *, 9> m_check1{};
    PictureBox *m_picture1 = nullptr;
    QLineEdit *m_text1 = nullptr; // position
    QLineEdit *m_text2 = nullptr; // grade
    QLineEdit *m_text3 = nullptr; // stopwatch
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr; // chapter of the problem shown
    QTimer *m_timer1 = nullptr;
};

} // namespace culegere
