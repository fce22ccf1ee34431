#pragma once

#include "editing/problem_editing.h"
#include "state/app_state.h"
#include "widgets/answer_buttons.h"
#include "widgets/secondary_screen.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace culegere {

class Platform;
class PictureBox;

// The problem editor "Seteaza problema": looks a picture up by its index,
// files it under a chapter with its correct answer, re-files or deletes a
// catalogued problem. Created hidden at start-up; a close from the frame
// performs Close and destroys it.
class ProblemEditor : public SecondaryScreen
{
    Q_OBJECT

public:
    ProblemEditor(AppState &state, Platform &platform);

    // The menu command: every chapter offered, nothing to save or delete yet.
    void open();
    // The chapters anew in the box's list (after the chapters screen closed).
    void fillChapters();
    void clearChapters();
    void showProblemCount();
    // The program is about to end: whatever is open is let go, counters made
    // right, the screen Idle (and so it stays when the program cannot end).
    void settle();

signals:
    void closed();

protected:
    void closeSteps() override;

private:
    void lookUp();
    void save();
    void remove();
    // The buttons, the answer marks and the picture follow the editor's
    // state alone; every step ends here.
    void applyState();
    void message(const QString &text);

    AppState &m_state;
    Platform &m_platform;
    ProblemEditing m_editing;

    QLabel *m_chapterLabel = nullptr;
    QComboBox *m_chapterBox = nullptr;
    QLabel *m_answerLabel = nullptr;
    AnswerButtons m_answers;
    PictureBox *m_picture = nullptr;
    QLabel *m_problemCount = nullptr;
    QPushButton *m_lookUp = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace culegere
