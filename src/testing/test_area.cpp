#include "testing/test_area.h"

#include "platform/picture_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <numeric>

namespace culegere {

namespace {

constexpr int kStopwatchPeriodMs = 970;
const QString kAnswerLetters[5] = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                   QStringLiteral("d"), QStringLiteral("e")};

template <typename W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QPushButton *button(const QString &name, const QString &caption)
{
    return named(new QPushButton(caption), name);
}

QLineEdit *displayBox(const QString &name)
{
    auto *box = named(new QLineEdit, name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

// Answer options and check marks stand on pure blue.
void paintBlue(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    palette.setColor(QPalette::WindowText, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TestArea::TestArea(AppState &state, Platform &platform, QWidget *timerOwner, QWidget *parent)
    : QWidget(parent), m_state(state), m_platform(platform), m_problemOrder(7001)
{
    buildControls(timerOwner);
}

void TestArea::buildControls(QWidget *timerOwner)
{
    m_btnDefTest = button(QStringLiteral("btnDefTest"), QStringLiteral("Defineste Test"));
    m_command4 = button(QStringLiteral("Command4"), QStringLiteral("Start Test"));
    m_command1 = button(QStringLiteral("Command1"), QStringLiteral("-->"));
    m_command2 = button(QStringLiteral("Command2"), QStringLiteral("<--"));
    m_command3 = button(QStringLiteral("Command3"), QStringLiteral("Corecteaza test"));
    m_command5 = button(QStringLiteral("Command5"), QStringLiteral("Schimba User"));
    m_command6 = button(QStringLiteral("Command6"), QStringLiteral("Reset"));
    m_btnStartCrono = button(QStringLiteral("btnStartCrono"), QStringLiteral("Start Cronometru"));

    m_picture1 = named(new PictureBox, QStringLiteral("Picture1"));
    m_picture1->setMinimumSize(560, 360);
    m_text1 = displayBox(QStringLiteral("Text1"));
    m_text1->setMaximumWidth(60);
    m_text2 = displayBox(QStringLiteral("Text2"));
    m_text2->setMaximumWidth(60);
    m_text3 = displayBox(QStringLiteral("Text3"));
    m_text3->setMaximumWidth(90);
    m_label1 = named(new QLabel(QStringLiteral("Nota acordata")), QStringLiteral("Label1"));
    m_label2 = named(new QLabel, QStringLiteral("Label2"));
    m_label2->setTextFormat(Qt::PlainText);
    m_label2->setWordWrap(true);

    m_timer1 = new QTimer(timerOwner);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kStopwatchPeriodMs);

    auto *answers = new QWidget;
    auto *answerRow = new QHBoxLayout(answers);
    auto *answerGroup = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        m_option1[i] = named(new QRadioButton(kAnswerLetters[i]), QStringLiteral("Option1_%1").arg(i));
        answerGroup->addButton(m_option1[i], i);
        answerRow->addWidget(m_option1[i]);
    }

    auto *checks = new QWidget;
    auto *checkRow = new QHBoxLayout(checks);
    for (int i = 0; i < 9; ++i) {
        m_check1[i] = named(new QCheckBox(QString::number(i)), QStringLiteral("Check1_%1").arg(i));
        checkRow->addWidget(m_check1[i]);
    }

    // Left: the problem with its navigation and answers; right: the test's commands.
    auto *navigation = new QHBoxLayout;
    navigation->addWidget(m_command2);
    navigation->addWidget(answers, 1);
    navigation->addWidget(m_command1);

    auto *position = new QHBoxLayout;
    position->addWidget(new QLabel(QStringLiteral("Problema nr.")));
    position->addWidget(m_text1);
    position->addWidget(m_label2, 1);

    auto *left = new QVBoxLayout;
    left->addLayout(position);
    left->addWidget(m_picture1, 1);
    left->addLayout(navigation);
    left->addWidget(checks);

    auto *grade = new QHBoxLayout;
    grade->addWidget(m_label1);
    grade->addWidget(m_text2);
    auto *stopwatch = new QHBoxLayout;
    stopwatch->addWidget(m_btnStartCrono);
    stopwatch->addWidget(m_text3);

    auto *right = new QVBoxLayout;
    right->addWidget(m_btnDefTest);
    right->addWidget(m_command4);
    right->addWidget(m_command5);
    right->addSpacing(16);
    right->addWidget(m_command3);
    right->addLayout(grade);
    right->addSpacing(16);
    right->addLayout(stopwatch);
    right->addWidget(m_command6);
    right->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addLayout(right);
}

void TestArea::applyStartupState()
{
    for (QCheckBox *check : m_check1) {
        paintBlue(check);
        check->hide();
    }
    for (QRadioButton *option : m_option1) {
        paintBlue(option);
        option->hide();
    }
    std::iota(m_problemOrder.begin(), m_problemOrder.end(), qint16(0));
    m_stopwatchTicks = 0;
    for (QPushButton *b : {m_command1, m_command2, m_command3, m_command4, m_command6, m_btnStartCrono})
        b->setEnabled(false);
    m_currentUser = UserRecord();
    m_currentUser.Name = FixedText<30>::fromBytes("NoName");
}

} // namespace culegere
