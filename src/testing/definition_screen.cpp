#include "testing/definition_screen.h"

#include "platform/cue.h"
#include "testing/testing_messages.h"
#include "widgets/named.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
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
    : SecondaryScreen(QStringLiteral("frmDefTest"), QStringLiteral("Defineste Test"),
                      FrameClose::Destroys),
      m_state(state), m_platform(platform), m_editor(state.definition, state.collection)
{

    m_option1 =
        named(new QRadioButton(QStringLiteral("Toata culegerea")), QStringLiteral("Option1"));
    m_option2 = named(new QRadioButton(QStringLiteral("Pe capitole")), QStringLiteral("Option2"));
    m_label1 = named(new QLabel(QStringLiteral("Selectati un capitol/categorie")),
                     QStringLiteral("Label1"));
    m_combo1 = named(new QComboBox, QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMinimumWidth(320);
    m_hScroll1 = named(new QScrollBar(Qt::Horizontal), QStringLiteral("HScroll1"));
    m_hScroll1->setRange(1, 9);
    m_hScroll1->setSingleStep(1);
    m_hScroll1->setPageStep(1);
    m_hScroll1->setValue(1);
    m_text1 = named(new QLineEdit, QStringLiteral("text1"));
    m_text1->setAlignment(Qt::AlignCenter);
    m_text1->setMaximumWidth(50);
    m_command1 = namedButton(QStringLiteral("Command1"), QStringLiteral("Seteaza"));
    m_command2 = namedButton(QStringLiteral("Command2"), QStringLiteral("Adauga"));
    m_command3 = namedButton(QStringLiteral("Command3"), QStringLiteral("Ok"));
    m_listCap = named(new QListWidget, QStringLiteral("listCap"));
    m_combo1->setAccessibleName(QStringLiteral("Capitolul de adaugat la test"));
    m_hScroll1->setAccessibleName(QStringLiteral("Numarul de probleme din capitol"));
    m_text1->setAccessibleName(QStringLiteral("Numarul de probleme ales"));
    m_listCap->setAccessibleName(QStringLiteral("Capitolele testului"));

    auto *mode = new QGroupBox;
    auto *modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(m_option1);
    modeLayout->addWidget(m_option2);

    auto *count = new QHBoxLayout;
    count->addWidget(m_hScroll1, 1);
    count->addWidget(m_text1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command1);
    buttons->addStretch(1);
    buttons->addWidget(m_command3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mode);
    layout->addWidget(m_label1);
    layout->addWidget(m_combo1);
    layout->addLayout(count);
    layout->addWidget(m_listCap, 1);
    layout->addLayout(buttons);

    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(false);
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(true);
    });
    connect(m_combo1, &QComboBox::activated, this, &DefinitionScreen::lineChosen);
    connect(m_combo1, &QComboBox::editTextChanged, this,
            [this](const QString &text) { m_editor.takeName(text); });
    m_combo1->installEventFilter(this);
    if (m_combo1->lineEdit())
        m_combo1->lineEdit()->installEventFilter(this);
    connect(m_hScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { m_text1->setText(QString::number(value)); });
    connect(m_command2, &QPushButton::clicked, this, &DefinitionScreen::addChapter);
    connect(m_command1, &QPushButton::clicked, this, &DefinitionScreen::setDefinition);
    connect(m_command3, &QPushButton::clicked, this, [this] {
        finish();
        hide();
    });

    // The load step.
    PlayCue(m_platform, m_state.folder, cue::Birds);
    finishBuilding(QSize(420, 380));
    m_text1->setEnabled(false);
    m_text1->setText(QString::number(m_hScroll1->value()));
    m_state.definition.TestChapterCount = 0;
    applyState();
}

void DefinitionScreen::open()
{
    m_editor.open(); // the whole collection chosen, as the option now shows
    m_option1->setChecked(true);
    // Opened again while open, the list follows the definition just emptied.
    m_listCap->clear();
    fillCombo();
    applyState();
    show();
    raise();
    activateWindow();
}

void DefinitionScreen::modeChosen(bool perChapter)
{
    m_editor.chooseMode(perChapter);
    applyState();
}

void DefinitionScreen::applyState()
{
    const DefinitionControls c = m_editor.controls();
    m_combo1->setEnabled(c.chapterChoice);
    m_hScroll1->setEnabled(c.chapterChoice);
    m_command2->setEnabled(c.chapterChoice);
    m_command3->setEnabled(c.ok);
}

void DefinitionScreen::lineChosen(int index)
{
    if (index < 0)
        return;
    m_combo1->setEditText(m_combo1->itemText(index).trimmed());
    m_editor.takeName(m_combo1->currentText());
}

void DefinitionScreen::validateCombo()
{
    m_editor.validate(m_combo1->currentText());
}

bool DefinitionScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_combo1->hasFocus())
        validateCombo();
    return QWidget::eventFilter(watched, event);
}

void DefinitionScreen::addChapter()
{
    validateCombo();
    const QString text = m_combo1->currentText();
    const int value = m_hScroll1->value();
    if (!m_editor.add(text, value)) {
        m_platform.showMessage(this, testmsg::ChapterNotDefined, Platform::Buttons::Ok, kAppTitle);
        return;
    }
    m_listCap->addItem(text + QStringLiteral("-----") + QString::number(value));
    // A chapter is offered once per definition.
    const FixedText<100> added = m_editor.lastAddedName();
    for (int i = 0; i < m_combo1->count(); ++i) {
        if (extractChapterName(m_combo1->itemText(i).trimmed()) == added) {
            m_combo1->removeItem(i);
            break;
        }
    }
    m_combo1->setCurrentIndex(-1);
    m_combo1->clearEditText();
    applyState();
    PlayCue(m_platform, m_state.folder, cue::SetOk);
}

void DefinitionScreen::setDefinition()
{
    validateCombo();
    const DefinitionEditor::SetOutcome outcome = m_editor.set();
    if (outcome == DefinitionEditor::SetOutcome::Refused) {
        m_listCap->clear();
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
        PlayCue(m_platform, m_state.folder, cue::SetOk);
        break;
    }
}

void DefinitionScreen::fillCombo()
{
    m_combo1->clear();
    m_combo1->addItems(m_editor.chapterLines());
    m_combo1->setCurrentIndex(-1);
    m_combo1->clearEditText();
}

void DefinitionScreen::finish()
{
    m_listCap->clear();
    emit finished();
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
}

void DefinitionScreen::closeSteps()
{
    // A close from the frame is always possible and acts as "Ok".
    finish();
}

} // namespace culegere
