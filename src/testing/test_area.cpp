#include "testing/test_area.h"

#include "platform/cue.h"
#include "store/problem_paths.h"
#include "testing/definition_screen.h"
#include "testing/testing_messages.h"
#include "widgets/controls.h"
#include "widgets/picture_box.h"

#include <QButtonGroup>
#include <QCheckBox>
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

QLineEdit *displayBox()
{
    auto *box = new QLineEdit;
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
    : QWidget(parent), m_state(state), m_platform(platform), m_session(state), m_answers(this)
{
    buildControls(timerOwner);

    connect(m_defineTest, &QPushButton::clicked, this, &TestArea::openDefinition);
    connect(m_startTest, &QPushButton::clicked, this, &TestArea::startTest);
    connect(m_next, &QPushButton::clicked, this, [this] { move(true); });
    connect(m_previous, &QPushButton::clicked, this, [this] { move(false); });
    connect(m_answers.group(), &QButtonGroup::idToggled, this, [this](int variant, bool marked) {
        if (marked)
            m_session.mark(variant);
    });
    connect(m_correct, &QPushButton::clicked, this, &TestArea::correct);
    connect(m_changeUser, &QPushButton::clicked, this, &TestArea::changeUser);
    connect(m_startStopwatch, &QPushButton::clicked, this, &TestArea::startStopwatch);
    connect(m_stopwatchTimer, &QTimer::timeout, this, &TestArea::stopwatchTick);
    connect(m_reset, &QPushButton::clicked, this, &TestArea::reset);
    installKeys(timerOwner);
}

void TestArea::installKeys(QWidget *window)
{
    // During a test the pupil needs no mouse: A..E mark a variant, the arrows
    // move as "<--" and "-->" do, each only while its control can be used.
    for (int i = 0; i < AnswerButtons::Count; ++i) {
        auto *key = new QShortcut(QKeySequence(Qt::Key(Qt::Key_A + i)), window);
        connect(key, &QShortcut::activated, this, [this, i] {
            if (m_answers[i]->isVisible() && m_answers[i]->isEnabled())
                m_answers[i]->click();
        });
    }
    const std::pair<Qt::Key, QPushButton *> moves[] = {{Qt::Key_Left, m_previous},
                                                       {Qt::Key_Right, m_next}};
    for (const auto &[keyCode, button] : moves) {
        auto *key = new QShortcut(QKeySequence(keyCode), window);
        connect(key, &QShortcut::activated, button, [button = button] {
            if (button->isEnabled())
                button->click();
        });
    }
    QWidget *order[] = {m_defineTest, m_startTest,      m_answers[0], m_answers[1], m_answers[2],
                        m_answers[3], m_answers[4],     m_previous,   m_next,       m_correct,
                        m_changeUser, m_startStopwatch, m_reset};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TestArea::describePicture()
{
    if (m_problemPicture->imagePath().isEmpty() && m_position->text().isEmpty()) {
        m_problemPicture->setAccessibleName(QStringLiteral("Nicio problema afisata"));
        return;
    }
    m_problemPicture->setAccessibleName(
        QStringLiteral("Problema %1 din %2, capitolul %3")
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
    m_defineTest = new QPushButton(QStringLiteral("Defineste Test"));
    m_startTest = new QPushButton(QStringLiteral("Start Test"));
    m_next = new QPushButton(QStringLiteral("-->"));
    m_previous = new QPushButton(QStringLiteral("<--"));
    m_correct = new QPushButton(QStringLiteral("Corecteaza test"));
    m_changeUser = new QPushButton(QStringLiteral("Schimba User"));
    m_reset = new QPushButton(QStringLiteral("Reset"));
    m_startStopwatch = new QPushButton(QStringLiteral("Start Cronometru"));

    m_problemPicture = new PictureBox;
    m_problemPicture->setMinimumSize(560, 360);
    m_position = displayBox();
    m_position->setMaximumWidth(60);
    m_grade = displayBox();
    m_grade->setMaximumWidth(60);
    m_stopwatch = displayBox();
    m_stopwatch->setMaximumWidth(90);
    m_gradeLabel = new QLabel(QStringLiteral("Nota acordata"));
    m_chapterName = new QLabel;
    m_problemPicture->setAccessibleName(QStringLiteral("Nicio problema afisata"));
    m_position->setAccessibleName(QStringLiteral("Numarul problemei afisate"));
    m_grade->setAccessibleName(QStringLiteral("Nota acordata"));
    m_stopwatch->setAccessibleName(QStringLiteral("Cronometru"));
    m_chapterName->setTextFormat(Qt::PlainText);
    m_chapterName->setWordWrap(true);

    m_stopwatchTimer = new QTimer(timerOwner);
    m_stopwatchTimer->setInterval(kStopwatchPeriodMs);

    auto *answers = new QWidget;
    auto *answerRow = new QHBoxLayout(answers);
    for (QRadioButton *option : m_answers.buttons())
        answerRow->addWidget(option);

    auto *checks = new QWidget;
    auto *checkRow = new QHBoxLayout(checks);
    for (int i = 0; i < CurrentTest::Size; ++i) {
        m_rightAnswers[i] = new QCheckBox(QString::number(i));
        // They show the correction; a pupil cannot tick them.
        m_rightAnswers[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_rightAnswers[i]->setFocusPolicy(Qt::NoFocus);
        checkRow->addWidget(m_rightAnswers[i]);
    }

    nameControls({{m_defineTest, "btnDefTest"},
                  {m_startTest, "Command4"},
                  {m_next, "Command1"},
                  {m_previous, "Command2"},
                  {m_correct, "Command3"},
                  {m_changeUser, "Command5"},
                  {m_reset, "Command6"},
                  {m_startStopwatch, "btnStartCrono"},
                  {m_problemPicture, "Picture1"},
                  {m_position, "Text1"},
                  {m_grade, "Text2"},
                  {m_stopwatch, "Text3"},
                  {m_gradeLabel, "Label1"},
                  {m_chapterName, "Label2"},
                  {m_stopwatchTimer, "Timer1"}});
    nameElements(m_answers.buttons(), "Option1");
    nameElements(m_rightAnswers, "Check1");

    // Left: the problem with its navigation and answers; right: the test's commands.
    auto *navigation = new QHBoxLayout;
    navigation->addWidget(m_previous);
    navigation->addWidget(answers, 1);
    navigation->addWidget(m_next);

    auto *position = new QHBoxLayout;
    position->addWidget(new QLabel(QStringLiteral("Problema nr.")));
    position->addWidget(m_position);
    position->addWidget(m_chapterName, 1);

    auto *left = new QVBoxLayout;
    left->addLayout(position);
    left->addWidget(m_problemPicture, 1);
    left->addLayout(navigation);
    left->addWidget(checks);

    auto *grade = new QHBoxLayout;
    grade->addWidget(m_gradeLabel);
    grade->addWidget(m_grade);
    auto *stopwatch = new QHBoxLayout;
    stopwatch->addWidget(m_startStopwatch);
    stopwatch->addWidget(m_stopwatch);

    auto *right = new QVBoxLayout;
    right->addWidget(m_defineTest);
    right->addWidget(m_startTest);
    right->addWidget(m_changeUser);
    right->addSpacing(16);
    right->addWidget(m_correct);
    right->addLayout(grade);
    right->addSpacing(16);
    right->addLayout(stopwatch);
    right->addWidget(m_reset);
    right->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addLayout(right);
}

void TestArea::applyStartupState()
{
    for (QCheckBox *check : m_rightAnswers)
        paintBlue(check);
    for (QRadioButton *option : m_answers.buttons())
        paintBlue(option);
    m_session.startup();
    applyState();
}

void TestArea::applyState()
{
    const TestControls c = m_session.controls();
    m_defineTest->setEnabled(c.defineTest);
    m_startTest->setEnabled(c.startTest);
    m_next->setEnabled(c.move);
    m_previous->setEnabled(c.move);
    m_correct->setEnabled(c.correct);
    m_changeUser->setEnabled(c.changeUser);
    m_reset->setEnabled(c.reset);
    m_startStopwatch->setEnabled(c.startStopwatch);
    for (QRadioButton *option : m_answers.buttons()) {
        option->setVisible(c.answersShown);
        option->setEnabled(c.answersOpen);
    }
    for (QCheckBox *check : m_rightAnswers)
        check->setVisible(c.checksShown);
    if (m_session.stopwatchRunning() != m_stopwatchTimer->isActive())
        m_session.stopwatchRunning() ? m_stopwatchTimer->start() : m_stopwatchTimer->stop();
    m_state.watch.follow(!c.editing);
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

void TestArea::clearTest()
{
    m_problemPicture->clear();
    m_answers.clear();
    for (QCheckBox *check : m_rightAnswers)
        check->setChecked(false);
    m_position->clear();
    m_grade->clear();
    m_stopwatch->clear();
    m_chapterName->clear();
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
    if (drawn.outcome == DrawResult::Refused)
        return; // a click late for its phase: a graded test stays as it is
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
    m_answers.clear();
    applyState();
    m_state.watch.drawn();
    m_problemPicture->showFile(
        problemPictureFile(m_state.folder, m_session.currentProblem().ImagePath));
    m_position->setText(QString::number(m_state.test.CurrentPosition));
    m_chapterName->setText(m_session.currentProblem().Chapter.Name.text());
    describePicture();
    playCue(m_platform, m_state.folder, cue::Load);
}

void TestArea::showProblem()
{
    const ProblemRecord &problem = m_session.currentProblem();
    m_position->setText(QString::number(m_state.test.CurrentPosition));
    m_chapterName->setText(problem.Chapter.Name.text());
    m_answers.showMarked(problem.ChosenAnswer);
    m_problemPicture->showFile(problemPictureFile(m_state.folder, problem.ImagePath));
    describePicture();
    playCue(m_platform, m_state.folder, cue::Next);
}

void TestArea::move(bool forward)
{
    if (forward ? m_session.next() : m_session.previous())
        showProblem();
}

void TestArea::correct()
{
    switch (m_session.correct(m_platform.today())) {
    case TestSession::Correction::Refused:
        return;
    case TestSession::Correction::Unanswered:
        message(testmsg::NotAllAnswered);
        return;
    case TestSession::Correction::ToWrite:
        break;
    }
    for (int i = 0; i < CurrentTest::Size; ++i)
        m_rightAnswers[i]->setChecked(m_state.test.AnswerCorrect[i]);
    m_grade->setText(QString::number(m_state.test.TestGrade));
    applyState();
    writeResult();
}

void TestArea::writeResult()
{
    // Every attempt writes the result as it was graded; until one succeeds
    // the test stays graded and only "Reset" gives the result up. A result
    // written whose file could not be opened again is stored all the same.
    // The log comes first, the archive after it: a result the archive could
    // not take still counts, and the archive gets it later.
    const RecordedResult recorded = m_state.recorder.record(
        m_session.result(), m_session.archivedResult(m_platform.timeOfDay()));
    const StoreResult &stored = recorded.stored;
    if (stored.error == StoreError::LockLost) {
        message(testmsg::ResultNotSavedLockLost(stored.fileName));
        return;
    }
    if (!stored.written()) {
        message(testmsg::ResultNotSaved.arg(stored.fileName));
        return;
    }
    // Corrected before any box is shown: a click that comes in while one is
    // open finds nothing more to write.
    m_session.resultStored();
    applyState();
    if (!stored.ok())
        message(testmsg::ResultStoredNotReopened.arg(stored.fileName));
    if (!recorded.archiveMessage.isEmpty())
        message(recorded.archiveMessage);
    playCue(m_platform, m_state.folder, cue::Exit);
}

void TestArea::changeUser()
{
    if (!m_session.controls().changeUser)
        return;
    m_session.setUserName(m_platform.askText(window(), testmsg::AskName, kAppTitle));
    playCue(m_platform, m_state.folder, cue::SetOk);
}

void TestArea::startStopwatch()
{
    m_session.startStopwatch();
    applyState();
}

void TestArea::stopwatchTick()
{
    m_session.tick();
    m_stopwatch->setText(QString::number(m_session.stopwatchTicks()));
    applyState();
}

void TestArea::reset()
{
    if (!m_session.controls().reset)
        return;
    if (m_session.phase() == TestPhase::Graded &&
        !m_platform.showMessage(window(), testmsg::ResultWillBeLost, Platform::Buttons::YesNo,
                                kAppTitle))
        return;
    if (!m_session.reset())
        return; // ended while the question was open
    clearTest();
    applyState();
    playCue(m_platform, m_state.folder, cue::Load);
}

} // namespace culegere
