#pragma once

#include "testing/app_state.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace culegere {

class Platform;
class PictureBox;

// The test area of the main screen: the controls with which a test is
// defined, drawn, answered, corrected and timed.
class TestArea : public QWidget
{
    Q_OBJECT

public:
    // `timerOwner` is the main screen, which owns the stopwatch's timer.
    TestArea(AppState &state, Platform &platform, QWidget *timerOwner, QWidget *parent = nullptr);

    // The state of the controls when the program starts.
    void applyStartupState();

private:
    void buildControls(QWidget *timerOwner);

    AppState &m_state;
    Platform &m_platform;

    // Form-level state of the main screen.
    UserRecord m_currentUser;
    qint16 m_stopwatchTicks = 0;
    std::vector<qint16> m_problemOrder;

    QPushButton *m_btnDefTest = nullptr;
    QPushButton *m_command4 = nullptr; // Start Test
    QPushButton *m_command1 = nullptr; // -->
    QPushButton *m_command2 = nullptr; // <--
    QPushButton *m_command3 = nullptr; // Corecteaza test
    QPushButton *m_command5 = nullptr; // Schimba User
    QPushButton *m_command6 = nullptr; // Reset
    QPushButton *m_btnStartCrono = nullptr;
    std::array<QRadioButton *, 5> m_option1{};
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
