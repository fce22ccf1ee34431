#include "testing/test_area.h"

#include "platform/cue.h"
#include "testing/definition_screen.h"
#include "testing/testing_messages.h"
#include "widgets/named.h"
#include "widgets/picture_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace culegere {

namespace {

constexpr int kStopwatchPeriodMs = 970;
const QString kAnswerLetters[5] = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                   QStringLiteral("d"), QStringLiteral("e")};

QLineEdit *displayBox(const QString &name)
{
    auto *box = named(new QLineEdit, name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

// Answer options and check marks stand on pure blue, their captions in
// large white letters so a pupil reads them at a glance.
void paintBlue(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    palette.setColor(QPalette::WindowText, Qt::white);
    // A graded test locks its variants; the pupil still reads every mark.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::Base})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);
    widget->setForegroundRole(QPalette::WindowText);
    widget->setAutoFillBackground(true);
    QFont font = widget->font();
    font.setPointSize(13);
    font.setBold(true);
    widget->setFont(font);
}

} // namespace

TestArea::TestArea(AppState &state, Platform &platform, QWidget *timerOwner, QWidget *parent)
    : QWidget(parent), m_state(state), m_platform(platform), m_session(state)
{
    buildControls(timerOwner);

    connect(m_btnDefTest, &QPushButton::clicked, this, &TestArea::openDefinition);
    connect(m_command4, &QPushButton::clicked, this, &TestArea::startTest);
    connect(m_command1, &QPushButton::clicked, this, [this] { move(true); });
    connect(m_command2, &QPushButton::clicked, this, [this] { move(false); });
    connect(m_answers, &QButtonGroup::idToggled, this, [this](int variant, bool marked) {
        if (marked)
            m_session.mark(variant);
    });
    connect(m_command3, &QPushButton::clicked, this, &TestArea::correct);
    connect(m_command5, &QPushButton::clicked, this, &TestArea::changeUser);
    connect(m_btnStartCrono, &QPushButton::clicked, this, &TestArea::startStopwatch);
    connect(m_timer1, &QTimer::timeout, this, &TestArea::stopwatchTick);
    connect(m_command6, &QPushButton::clicked, this, &TestArea::reset);
    installKeys(timerOwner);
}

void TestArea::installKeys(QWidget *window)
{
    // During a test the pupil needs no mouse: A..E mark a variant, the arrows
    // move as "<--" and "-->" do, each only while its control can be used.
    for (int i = 0; i < int(m_option1.size()); ++i) {
        auto *key = new QShortcut(QKeySequence(Qt::Key(Qt::Key_A + i)), window);
        connect(key, &QShortcut::activated, this, [this, i] {
            if (m_option1[i]->isVisible() && m_option1[i]->isEnabled())
                m_option1[i]->click();
        });
    }
    const std::pair<Qt::Key, QPushButton *> moves[] = {{Qt::Key_Left, m_command2},
                                                       {Qt::Key_Right, m_command1}};
    for (const auto &[keyCode, button] : moves) {
        auto *key = new QShortcut(QKeySequence(keyCode), window);
        connect(key, &QShortcut::activated, button, [button = button] {
            if (button->isEnabled())
                button->click();
        });
    }
    QWidget *order[] = {m_btnDefTest, m_command4,      m_option1[0], m_option1[1], m_option1[2],
                        m_option1[3], m_option1[4],    m_command2,   m_command1,   m_command3,
                        m_command5,   m_btnStartCrono, m_command6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TestArea::describePicture()
{
    if (m_picture1->imagePath().isEmpty() && m_text1->text().isEmpty()) {
        m_picture1->setAccessibleName(QStringLiteral("Nicio problema afisata"));
        return;
    }
    m_picture1->setAccessibleName(QStringLiteral("Problema %1 din %2, capitolul %3")
                                      .arg(m_state.test.CurrentPosition + 1)
                                      .arg(CurrentTest::Size)
                                      .arg(m_session.currentProblem().Chapter.Name.trimmedText()));
}

TestArea::~TestArea()
{
    delete m_definitionScreen;
}

void TestArea::buildControls(QWidget *timerOwner)
{
    m_btnDefTest = namedButton(QStringLiteral("btnDefTest"), QStringLiteral("Defineste Test"));
    m_command4 = namedButton(QStringLiteral("Command4"), QStringLiteral("Start Test"));
    m_command1 = namedButton(QStringLiteral("Command1"), QStringLiteral("-->"));
    m_command2 = namedButton(QStringLiteral("Command2"), QStringLiteral("<--"));
    m_command3 = namedButton(QStringLiteral("Command3"), QStringLiteral("Corecteaza test"));
    m_command5 = namedButton(QStringLiteral("Command5"), QStringLiteral("Schimba User"));
    m_command6 = namedButton(QStringLiteral("Command6"), QStringLiteral("Reset"));
    m_btnStartCrono =
        namedButton(QStringLiteral("btnStartCrono"), QStringLiteral("Start Cronometru"));

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
    m_picture1->setAccessibleName(QStringLiteral("Nicio problema afisata"));
    m_text1->setAccessibleName(QStringLiteral("Numarul problemei afisate"));
    m_text2->setAccessibleName(QStringLiteral("Nota acordata"));
    m_text3->setAccessibleName(QStringLiteral("Cronometru"));
    m_label2->setTextFormat(Qt::PlainText);
    m_label2->setWordWrap(true);

    m_timer1 = new QTimer(timerOwner);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kStopwatchPeriodMs);

    auto *answers = new QWidget;
    auto *answerRow = new QHBoxLayout(answers);
    m_answers = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        m_option1[i] =
            named(new QRadioButton(kAnswerLetters[i]), QStringLiteral("Option1_%1").arg(i));
        m_answers->addButton(m_option1[i], i);
        answerRow->addWidget(m_option1[i]);
    }

    auto *checks = new QWidget;
    auto *checkRow = new QHBoxLayout(checks);
    for (int i = 0; i < 9; ++i) {
        m_check1[i] = named(new QCheckBox(QString::number(i)), QStringLiteral("Check1_%1").arg(i));
        // They show the correction; a pupil cannot tick them.
        m_check1[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_check1[i]->setFocusPolicy(Qt::NoFocus);
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
    for (QCheckBox *check : m_check1)
        paintBlue(check);
    for (QRadioButton *option : m_option1)
        paintBlue(option);
    m_session.startup();
    applyState();
}

void TestArea::applyState()
{
    const TestControls c = m_session.controls();
    m_btnDefTest->setEnabled(c.defineTest);
    m_command4->setEnabled(c.startTest);
    m_command1->setEnabled(c.move);
    m_command2->setEnabled(c.move);
    m_command3->setEnabled(c.correct);
    m_command5->setEnabled(c.changeUser);
    m_command6->setEnabled(c.reset);
    m_btnStartCrono->setEnabled(c.startStopwatch);
    for (QRadioButton *option : m_option1) {
        option->setVisible(c.answersShown);
        option->setEnabled(c.answersOpen);
    }
    for (QCheckBox *check : m_check1)
        check->setVisible(c.checksShown);
    if (m_session.stopwatchRunning() != m_timer1->isActive())
        m_session.stopwatchRunning() ? m_timer1->start() : m_timer1->stop();
    emit testRunning(!c.editing);
}

void TestArea::hideScreens()
{
    if (m_definitionScreen)
        m_definitionScreen->hide();
}

void TestArea::message(const QString &text)
{
    m_platform.showMessage(window(), text, Platform::Buttons::Ok, kAppTitle);
}

void TestArea::playCue(const QString &name)
{
    PlayCue(m_platform, m_state.folder, name);
}

void TestArea::clearAnswers()
{
    // An exclusive group never lets its last mark go.
    m_answers->setExclusive(false);
    for (QRadioButton *option : m_option1)
        option->setChecked(false);
    m_answers->setExclusive(true);
}

void TestArea::clearTest()
{
    m_picture1->clear();
    clearAnswers();
    for (QCheckBox *check : m_check1)
        check->setChecked(false);
    m_text1->clear();
    m_text2->clear();
    m_text3->clear();
    m_label2->clear();
    describePicture();
}

void TestArea::openDefinition()
{
    if (!m_session.controls().defineTest)
        return;
    m_session.openDefinition();
    if (!m_definitionScreen) {
        m_definitionScreen = new DefinitionScreen(m_state, m_platform);
        connect(m_definitionScreen, &DefinitionScreen::finished, this,
                &TestArea::definitionFinished);
    }
    clearTest();
    applyState();
    m_definitionScreen->open();
}

void TestArea::definitionFinished()
{
    m_session.takeDefinition();
    applyState();
    window()->raise();
    window()->activateWindow();
}

void TestArea::startTest()
{
    const DrawResult drawn = m_session.draw([this] { return m_platform.nextRandom(); });
    if (drawn.outcome != DrawResult::Drawn) {
        // Nothing was drawn and the test shown before is let go: the teacher
        // defines the test anew.
        clearTest();
        applyState();
        message(drawn.outcome == DrawResult::TooFewProblems ? testmsg::TooFewProblems
                : drawn.outcome == DrawResult::ChapterTooSmall
                    ? testmsg::ChapterTooSmall.arg(drawn.chapter.trimmedText())
                    : testmsg::NotDefined);
        return;
    }
    // No grade or check mark is shown before a draw (the phases that lead to
    // one never show them); the variants start unmarked.
    clearAnswers();
    applyState();
    m_picture1->showFile(m_state.folder.resolvePath(
        ProblemImagePath(m_state.folder.root(), m_session.currentProblem().ImagePath)));
    m_text1->setText(QString::number(m_state.test.CurrentPosition));
    m_label2->setText(m_session.currentProblem().Chapter.Name.text());
    describePicture();
    playCue(cue::Load);
}

void TestArea::showProblem()
{
    const ProblemRecord &problem = m_session.currentProblem();
    m_text1->setText(QString::number(m_state.test.CurrentPosition));
    m_label2->setText(problem.Chapter.Name.text());
    if (problem.ChosenAnswer >= 0 && problem.ChosenAnswer < int(m_option1.size()))
        m_option1[problem.ChosenAnswer]->setChecked(true);
    else
        clearAnswers();
    m_picture1->showFile(
        m_state.folder.resolvePath(ProblemImagePath(m_state.folder.root(), problem.ImagePath)));
    describePicture();
    playCue(cue::Next);
}

void TestArea::move(bool forward)
{
    forward ? m_session.next() : m_session.previous();
    showProblem();
}

void TestArea::correct()
{
    if (m_session.phase() == TestPhase::Running) {
        if (!m_session.grade(m_platform.today())) {
            message(testmsg::NotAllAnswered);
            return;
        }
        for (int i = 0; i < CurrentTest::Size; ++i)
            m_check1[i]->setChecked(m_state.test.AnswerCorrect[i]);
        m_text2->setText(QString::number(m_state.test.TestGrade));
        applyState();
    }
    writeResult();
}

void TestArea::writeResult()
{
    // Every attempt writes the result as it was graded; until one succeeds
    // the test stays graded and only "Reset" gives the result up. A result
    // written whose file could not be opened again is stored all the same.
    const StoreResult stored = m_state.files.appendResult(m_state.collection, m_session.result());
    if (!stored.written()) {
        message(testmsg::ResultNotSaved.arg(stored.fileName));
        return;
    }
    if (!stored.ok())
        message(testmsg::ResultStoredNotReopened.arg(stored.fileName));
    m_session.resultStored();
    applyState();
    playCue(cue::Exit);
}

void TestArea::changeUser()
{
    m_session.setUserName(m_platform.askText(window(), testmsg::AskName, kAppTitle));
    playCue(cue::SetOk);
}

void TestArea::startStopwatch()
{
    m_session.startStopwatch();
    applyState();
}

void TestArea::stopwatchTick()
{
    m_session.tick();
    m_text3->setText(QString::number(m_session.stopwatchTicks()));
    applyState();
}

void TestArea::reset()
{
    if (m_session.phase() == TestPhase::Graded &&
        !m_platform.showMessage(window(), testmsg::ResultWillBeLost, Platform::Buttons::YesNo,
                                kAppTitle))
        return;
    m_session.reset();
    clearTest();
    applyState();
    playCue(cue::Load);
}

} // namespace culegere
