#include "editing/problem_editor.h"

#include "editing/editing_messages.h"
#include "platform/cue.h"
#include "widgets/named.h"
#include "widgets/picture_box.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace culegere {

namespace {

const char *const kLetters[5] = {"a", "b", "c", "d", "e"};

} // namespace

ProblemEditor::ProblemEditor(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("frmSetProblema"), QStringLiteral("Seteaza problema"),
                      FrameClose::Destroys),
      m_state(state), m_platform(platform), m_editing(state.collection, state.folder)
{
    m_label1 = named(new QLabel(QStringLiteral("Seteaza capitol")), QStringLiteral("Label1"));
    m_combo1 = named(new QComboBox, QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMinimumWidth(280);
    m_label3 =
        named(new QLabel(QStringLiteral("Seteaza varianta corecta")), QStringLiteral("Label3"));
    m_answers = new QButtonGroup(this);
    auto *answerRow = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        m_option2[i] = new QRadioButton(QString::fromLatin1(kLetters[i]));
        m_option2[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
        m_answers->addButton(m_option2[i], i);
        answerRow->addWidget(m_option2[i]);
    }
    m_combo1->setAccessibleName(QStringLiteral("Capitolul problemei"));
    m_picture1 = named(new PictureBox, QStringLiteral("Picture1"));
    m_picture1->setAccessibleName(QStringLiteral("Imaginea problemei"));
    m_picture1->setMinimumSize(640, 300);
    m_label2 =
        named(new QLabel(QStringLiteral("Nr total probleme:-----")), QStringLiteral("Label2"));
    m_command1 = namedButton(QStringLiteral("Command1"), QStringLiteral("Cauta problema"));
    m_command2 = namedButton(QStringLiteral("Command2"), QStringLiteral("Seteaza"));
    m_btnSterge = namedButton(QStringLiteral("btnSterge"), QStringLiteral("Sterge problema"));
    m_command3 = namedButton(QStringLiteral("Command3"), QStringLiteral("Close"));

    auto *choices = new QGridLayout;
    choices->addWidget(m_label1, 0, 0);
    choices->addWidget(m_combo1, 0, 1);
    choices->addWidget(m_label3, 1, 0);
    choices->addLayout(answerRow, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_label2, 1);
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    buttons->addWidget(m_btnSterge);
    buttons->addWidget(m_command3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_picture1, 1);
    layout->addLayout(buttons);

    connect(m_answers, &QButtonGroup::idToggled, this, [this](int variant, bool marked) {
        if (marked)
            m_editing.markAnswer(variant);
    });
    connect(m_command1, &QPushButton::clicked, this, &ProblemEditor::lookUp);
    connect(m_command2, &QPushButton::clicked, this, &ProblemEditor::save);
    connect(m_btnSterge, &QPushButton::clicked, this, &ProblemEditor::remove);
    connect(m_command3, &QPushButton::clicked, this, [this] {
        closeSteps();
        hide();
    });

    // The load step.
    finishBuilding();
    for (QRadioButton *option : m_option2)
        option->setBackgroundRole(QPalette::Window);
    applyState();
}

void ProblemEditor::message(const QString &text)
{
    m_platform.showMessage(this, text, Platform::Buttons::Ok, kAppTitle);
}

void ProblemEditor::applyState()
{
    const ProblemEditing::Controls c = m_editing.controls();
    m_command1->setEnabled(c.lookUp);
    m_command2->setEnabled(c.save);
    m_btnSterge->setEnabled(c.remove);
    // The marks show the answer chosen; with none, no mark (an exclusive
    // group never lets its last mark go by itself).
    const int answer = m_editing.markedAnswer();
    if (answer >= 0 && answer < int(m_option2.size())) {
        m_option2[answer]->setChecked(true);
    } else {
        m_answers->setExclusive(false);
        for (QRadioButton *option : m_option2)
            option->setChecked(false);
        m_answers->setExclusive(true);
    }
    if (m_editing.state() == ProblemEditing::State::Idle)
        m_picture1->clear();
    showProblemCount();
}

void ProblemEditor::clearChapters()
{
    m_combo1->clear();
}

void ProblemEditor::fillChapters()
{
    const Collection &c = m_state.collection;
    m_combo1->clear();
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        m_combo1->addItem(c.ChapterTable[row].Name.trimmedText());
    m_combo1->setCurrentIndex(-1);
    m_combo1->clearEditText();
}

void ProblemEditor::showProblemCount()
{
    m_label2->setText(editmsg::CountPrefix + QString::number(m_state.collection.ProblemCount));
}

void ProblemEditor::open()
{
    m_editing.open();
    fillChapters();
    applyState();
    show();
    raise();
    activateWindow();
}

void ProblemEditor::lookUp()
{
    const QString index = m_platform.askText(this, editmsg::AskIndex, kAppTitle);
    const ProblemEditing::LookUp found = m_editing.lookUp(index);
    applyState();
    switch (found.kind) {
    case ProblemEditing::LookUp::Catalogued:
        m_combo1->setEditText(found.chapter);
        if (found.pictureMissing) {
            m_picture1->clear();
            message(editmsg::PictureMissing);
        } else {
            m_picture1->showFile(found.picture);
        }
        break;
    case ProblemEditing::LookUp::NewPicture:
        m_picture1->showFile(found.picture);
        PlayCue(m_platform, m_state.folder, cue::SetOk);
        break;
    case ProblemEditing::LookUp::NoSuchProblem:
        message(editmsg::NoSuchProblem);
        PlayCue(m_platform, m_state.folder, cue::SetOk);
        break;
    }
}

void ProblemEditor::save()
{
    switch (m_editing.save(m_combo1->currentText())) {
    case ProblemEditing::Saved::Incomplete:
        message(editmsg::Incomplete);
        return;
    case ProblemEditing::Saved::CatalogueFull:
        message(editmsg::CatalogueFull);
        return;
    case ProblemEditing::Saved::Saved:
        break;
    }
    m_combo1->clearEditText();
    applyState();
    message(editmsg::Saved);
    PlayCue(m_platform, m_state.folder, cue::SetOk);
}

void ProblemEditor::remove()
{
    switch (m_editing.remove()) {
    case ProblemEditing::Deleted::NothingOpen:
        message(editmsg::NothingToDelete);
        return;
    case ProblemEditing::Deleted::NotCatalogued:
        return;
    case ProblemEditing::Deleted::Deleted:
        break;
    }
    m_combo1->clearEditText();
    applyState();
    message(editmsg::Deleted);
    PlayCue(m_platform, m_state.folder, cue::SetOk);
}

void ProblemEditor::settle()
{
    m_editing.close();
    m_combo1->clearEditText();
    applyState();
}

void ProblemEditor::closeSteps()
{
    settle();
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
