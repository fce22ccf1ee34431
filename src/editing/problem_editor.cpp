#include "editing/problem_editor.h"

#include "editing/editing_messages.h"
#include "platform/cue.h"
#include "widgets/controls.h"
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

ProblemEditor::ProblemEditor(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Seteaza problema"), FrameClose::Destroys), m_state(state),
      m_platform(platform), m_editing(state.collection, state.folder), m_answers(this)
{
    setHelpPage(QStringLiteral("probleme.html"));
    m_chapterLabel = new QLabel(QStringLiteral("Seteaza capitol"));
    m_chapterBox = new QComboBox;
    m_chapterBox->setEditable(true);
    m_chapterBox->setInsertPolicy(QComboBox::NoInsert);
    m_chapterBox->setMinimumWidth(280);
    m_answerLabel = new QLabel(QStringLiteral("Seteaza varianta corecta"));
    auto *answerRow = new QHBoxLayout;
    for (QRadioButton *option : m_answers.buttons())
        answerRow->addWidget(option);
    m_chapterBox->setAccessibleName(QStringLiteral("Capitolul problemei"));
    m_picture = new PictureBox;
    m_picture->setAccessibleName(QStringLiteral("Imaginea problemei"));
    m_picture->setMinimumSize(640, 300);
    m_problemCount = new QLabel(QStringLiteral("Nr total probleme:-----"));
    m_lookUp = new QPushButton(QStringLiteral("Cauta problema"));
    m_save = new QPushButton(QStringLiteral("Seteaza"));
    m_delete = new QPushButton(QStringLiteral("Sterge problema"));
    m_close = new QPushButton(QStringLiteral("Close"));
    nameControls({{this, "frmSetProblema"},
                  {m_chapterLabel, "Label1"},
                  {m_chapterBox, "Combo1"},
                  {m_answerLabel, "Label3"},
                  {m_picture, "Picture1"},
                  {m_problemCount, "Label2"},
                  {m_lookUp, "Command1"},
                  {m_save, "Command2"},
                  {m_delete, "btnSterge"},
                  {m_close, "Command3"}});
    nameElements(m_answers.buttons(), "Option2");

    auto *choices = new QGridLayout;
    choices->addWidget(m_chapterLabel, 0, 0);
    choices->addWidget(m_chapterBox, 0, 1);
    choices->addWidget(m_answerLabel, 1, 0);
    choices->addLayout(answerRow, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_problemCount, 1);
    buttons->addWidget(m_lookUp);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_picture, 1);
    layout->addLayout(buttons);

    connect(m_answers.group(), &QButtonGroup::idToggled, this, [this](int variant, bool marked) {
        if (marked)
            m_editing.markAnswer(variant);
    });
    connect(m_lookUp, &QPushButton::clicked, this, &ProblemEditor::lookUp);
    connect(m_save, &QPushButton::clicked, this, &ProblemEditor::save);
    connect(m_delete, &QPushButton::clicked, this, &ProblemEditor::remove);
    closesTheScreen(m_close);
    // While a test is under way nothing is open here and only Close works.
    connect(&m_state.watch, &TestWatch::changed, this, [this](bool underWay) {
        m_editing.lock(underWay);
        m_chapterBox->clearEditText();
        applyState();
    });

    // The load step.
    finishBuilding();
    for (QRadioButton *option : m_answers.buttons())
        option->setBackgroundRole(QPalette::Window);
    m_editing.lock(m_state.watch.underWay());
    applyState();
}

void ProblemEditor::message(const QString &text)
{
    m_platform.showMessage(this, text, Platform::Buttons::Ok, kAppTitle);
}

void ProblemEditor::applyState()
{
    const ProblemEditing::Controls c = m_editing.controls();
    m_lookUp->setEnabled(c.lookUp);
    m_save->setEnabled(c.save);
    m_delete->setEnabled(c.remove);
    m_chapterBox->setEnabled(!m_editing.locked());
    for (QRadioButton *option : m_answers.buttons())
        option->setEnabled(!m_editing.locked());
    // The marks show the answer chosen; with none, no mark.
    m_answers.showMarked(m_editing.markedAnswer());
    if (m_editing.state() == ProblemEditing::State::Idle)
        m_picture->clear();
    showProblemCount();
}

void ProblemEditor::clearChapters()
{
    m_chapterBox->clear();
}

void ProblemEditor::fillChapters()
{
    offerChoices(m_chapterBox, chapterNames(m_state.collection));
}

void ProblemEditor::showProblemCount()
{
    m_problemCount->setText(editmsg::CountPrefix +
                            QString::number(m_state.collection.ProblemCount));
}

void ProblemEditor::open()
{
    m_editing.open();
    fillChapters();
    applyState();
    present();
}

void ProblemEditor::lookUp()
{
    if (!m_editing.controls().lookUp)
        return;
    const QString index = m_platform.askText(this, editmsg::AskIndex, kAppTitle);
    const ProblemEditing::LookUp found = m_editing.lookUp(index);
    applyState();
    switch (found.kind) {
    case ProblemEditing::LookUp::Catalogued:
        m_chapterBox->setEditText(found.chapter);
        if (found.pictureMissing) {
            m_picture->clear();
            message(editmsg::PictureMissing);
        } else {
            m_picture->showFile(found.picture);
        }
        break;
    case ProblemEditing::LookUp::NewPicture:
        m_picture->showFile(found.picture);
        playCue(m_platform, m_state.folder, cue::SetOk);
        break;
    case ProblemEditing::LookUp::NoSuchProblem:
        message(editmsg::NoSuchProblem);
        playCue(m_platform, m_state.folder, cue::SetOk);
        break;
    case ProblemEditing::LookUp::Refused:
        break;
    }
}

void ProblemEditor::save()
{
    switch (m_editing.save(m_chapterBox->currentText())) {
    case ProblemEditing::Saved::Incomplete:
        message(editmsg::Incomplete);
        return;
    case ProblemEditing::Saved::CatalogueFull:
        message(editmsg::CatalogueFull);
        return;
    case ProblemEditing::Saved::Refused:
        return;
    case ProblemEditing::Saved::Saved:
        break;
    }
    m_chapterBox->clearEditText();
    applyState();
    message(editmsg::Saved);
    playCue(m_platform, m_state.folder, cue::SetOk);
}

void ProblemEditor::remove()
{
    switch (m_editing.remove()) {
    case ProblemEditing::Deleted::NothingOpen:
        message(editmsg::NothingToDelete);
        return;
    case ProblemEditing::Deleted::NotCatalogued:
    case ProblemEditing::Deleted::Refused:
        return;
    case ProblemEditing::Deleted::Deleted:
        break;
    }
    m_chapterBox->clearEditText();
    applyState();
    message(editmsg::Deleted);
    playCue(m_platform, m_state.folder, cue::SetOk);
}

void ProblemEditor::settle()
{
    m_editing.close();
    m_chapterBox->clearEditText();
    applyState();
}

void ProblemEditor::closeSteps()
{
    settle();
    playCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
