#include "testing/definition_screen.h"

#include "platform/cue.h"
#include "testing/testing_messages.h"
#include "widgets/controls.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace culegere {

DefinitionScreen::DefinitionScreen(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Defineste Test"), FrameClose::Destroys), m_state(state),
      m_platform(platform), m_editor(state.definition, state.collection)
{
    setHelpPage(QStringLiteral("definire-test.html"));
    m_wholeCollection = new QRadioButton(QStringLiteral("Toata culegerea"));
    m_perChapter = new QRadioButton(QStringLiteral("Pe capitole"));
    m_chapterPrompt = new QLabel(QStringLiteral("Selectati un capitol/categorie"));
    m_chapterBox = new QComboBox;
    m_chapterBox->setEditable(true);
    m_chapterBox->setInsertPolicy(QComboBox::NoInsert);
    m_chapterBox->setMinimumWidth(320);
    m_countBar = new QScrollBar(Qt::Horizontal);
    m_countBar->setRange(1, 9);
    m_countBar->setSingleStep(1);
    m_countBar->setPageStep(1);
    m_countBar->setValue(1);
    m_count = new QLineEdit;
    m_count->setAlignment(Qt::AlignCenter);
    m_count->setMaximumWidth(50);
    m_set = new QPushButton(QStringLiteral("Seteaza"));
    m_add = new QPushButton(QStringLiteral("Adauga"));
    m_ok = new QPushButton(QStringLiteral("Ok"));
    m_chapterList = new QListWidget;
    m_chapterBox->setAccessibleName(QStringLiteral("Capitolul de adaugat la test"));
    m_countBar->setAccessibleName(QStringLiteral("Numarul de probleme din capitol"));
    m_count->setAccessibleName(QStringLiteral("Numarul de probleme ales"));
    m_chapterList->setAccessibleName(QStringLiteral("Capitolele testului"));
    nameControls({{this, "frmDefTest"},
                  {m_wholeCollection, "Option1"},
                  {m_perChapter, "Option2"},
                  {m_chapterPrompt, "Label1"},
                  {m_chapterBox, "Combo1"},
                  {m_countBar, "HScroll1"},
                  {m_count, "text1"},
                  {m_set, "Command1"},
                  {m_add, "Command2"},
                  {m_ok, "Command3"},
                  {m_chapterList, "listCap"}});

    auto *mode = new QGroupBox;
    auto *modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(m_wholeCollection);
    modeLayout->addWidget(m_perChapter);

    auto *count = new QHBoxLayout;
    count->addWidget(m_countBar, 1);
    count->addWidget(m_count);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_set);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mode);
    layout->addWidget(m_chapterPrompt);
    layout->addWidget(m_chapterBox);
    layout->addLayout(count);
    layout->addWidget(m_chapterList, 1);
    layout->addLayout(buttons);

    connect(m_wholeCollection, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(false);
    });
    connect(m_perChapter, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(true);
    });
    connect(m_chapterBox, &QComboBox::activated, this, &DefinitionScreen::lineChosen);
    connect(m_chapterBox, &QComboBox::editTextChanged, this,
            [this](const QString &text) { m_editor.takeName(text); });
    m_chapterBox->installEventFilter(this);
    if (m_chapterBox->lineEdit())
        m_chapterBox->lineEdit()->installEventFilter(this);
    connect(m_countBar, &QScrollBar::valueChanged, this,
            [this](int value) { m_count->setText(QString::number(value)); });
    connect(m_add, &QPushButton::clicked, this, &DefinitionScreen::addChapter);
    connect(m_set, &QPushButton::clicked, this, &DefinitionScreen::setDefinition);
    closesTheScreen(m_ok);

    // The load step.
    playCue(m_platform, m_state.folder, cue::Birds);
    finishBuilding(QSize(420, 380));
    m_count->setEnabled(false);
    m_count->setText(QString::number(m_countBar->value()));
    m_state.definition.TestChapterCount = 0;
    applyState();
}

void DefinitionScreen::open()
{
    m_editor.open(); // the whole collection chosen, as the option now shows
    m_wholeCollection->setChecked(true);
    // Opened again while open, the list follows the definition just emptied.
    m_chapterList->clear();
    fillCombo();
    applyState();
    present();
}

void DefinitionScreen::modeChosen(bool perChapter)
{
    m_editor.chooseMode(perChapter);
    applyState();
}

void DefinitionScreen::applyState()
{
    const DefinitionControls c = m_editor.controls();
    m_chapterBox->setEnabled(c.chapterChoice);
    m_countBar->setEnabled(c.chapterChoice);
    m_add->setEnabled(c.chapterChoice);
    m_ok->setEnabled(c.ok);
}

void DefinitionScreen::lineChosen(int index)
{
    if (index < 0)
        return;
    m_chapterBox->setEditText(m_chapterBox->itemText(index).trimmed());
    m_editor.takeName(m_chapterBox->currentText());
}

void DefinitionScreen::validateCombo()
{
    m_editor.validate(m_chapterBox->currentText());
}

bool DefinitionScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_chapterBox->hasFocus())
        validateCombo();
    return QWidget::eventFilter(watched, event);
}

void DefinitionScreen::addChapter()
{
    validateCombo();
    const QString text = m_chapterBox->currentText();
    const int value = m_countBar->value();
    if (!m_editor.add(text, value)) {
        m_platform.showMessage(this, testmsg::ChapterNotDefined, Platform::Buttons::Ok, kAppTitle);
        return;
    }
    m_chapterList->addItem(text + QStringLiteral("-----") + QString::number(value));
    // A chapter is offered once per definition.
    const FixedText<100> added = m_editor.lastAddedName();
    for (int i = 0; i < m_chapterBox->count(); ++i) {
        if (extractChapterName(m_chapterBox->itemText(i).trimmed()) == added) {
            m_chapterBox->removeItem(i);
            break;
        }
    }
    m_chapterBox->setCurrentIndex(-1);
    m_chapterBox->clearEditText();
    applyState();
    playCue(m_platform, m_state.folder, cue::SetOk);
}

void DefinitionScreen::setDefinition()
{
    validateCombo();
    const DefinitionEditor::SetOutcome outcome = m_editor.set();
    if (outcome == DefinitionEditor::SetOutcome::Refused) {
        m_chapterList->clear();
        fillCombo();
    }
    applyState();
    switch (outcome) {
    case DefinitionEditor::SetOutcome::WholeCollection:
        m_platform.showMessage(this, testmsg::WholeCollectionSet, Platform::Buttons::Ok, kAppTitle);
        break;
    case DefinitionEditor::SetOutcome::Refused:
        m_platform.showMessage(this, testmsg::TotalNotNine, Platform::Buttons::Ok, kAppTitle);
        break;
    case DefinitionEditor::SetOutcome::Accepted:
        m_platform.showMessage(this, testmsg::TestSet, Platform::Buttons::Ok, kAppTitle);
        playCue(m_platform, m_state.folder, cue::SetOk);
        break;
    }
}

void DefinitionScreen::fillCombo()
{
    offerChoices(m_chapterBox, m_editor.chapterLines());
}

void DefinitionScreen::closeSteps()
{
    // "Ok"; a close from the frame is always possible and acts as "Ok".
    m_chapterList->clear();
    emit finished();
    playCue(m_platform, m_state.folder, cue::CloseScreen);
}

} // namespace culegere
