#include "editing/chapters_screen.h"

#include "editing/editing_messages.h"
#include "platform/cue.h"
#include "widgets/controls.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace culegere {

ChaptersScreen::ChaptersScreen(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Adauga Capitol"), FrameClose::Hides), m_state(state),
      m_platform(platform), m_rules(state.collection)
{
    setHelpPage(QStringLiteral("capitole.html"));
    m_chapterList = new QListWidget;
    m_name = new QLineEdit;
    m_chapterList->setAccessibleName(QStringLiteral("Capitolele culegerii"));
    m_name->setAccessibleName(QStringLiteral("Numele capitolului"));
    m_add = new QPushButton(QStringLiteral("Adauga Capitol"));
    m_delete = new QPushButton(QStringLiteral("Sterge Capitol"));
    m_rename = new QPushButton(QStringLiteral("Redenumeste"));
    m_close = new QPushButton(QStringLiteral("Close"));
    nameControls({{this, "frmAddCap"},
                  {m_chapterList, "listCap"},
                  {m_name, "Text1"},
                  {m_add, "Command1"},
                  {m_delete, "Command2"},
                  {m_rename, "Command4"},
                  {m_close, "Command3"}});

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_chapterList, 0, 0, 5, 1);
    layout->addWidget(m_add, 0, 1);
    layout->addWidget(m_delete, 1, 1);
    layout->addWidget(m_rename, 2, 1);
    layout->setRowStretch(3, 1);
    layout->addWidget(m_close, 4, 1);
    layout->addWidget(m_name, 5, 0, 1, 2);
    m_chapterList->setMinimumSize(360, 300);

    // The entry shown selected is the one chosen: a click on it chooses it
    // (again), and so does moving the selection with the keys; a Ctrl+click
    // that unselects it lets the choice go.
    connect(m_chapterList, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item->isSelected())
            entryChosen(item);
    });
    connect(m_chapterList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> selected = m_chapterList->selectedItems();
        entryChosen(selected.isEmpty() ? nullptr : selected.first());
    });
    connect(m_add, &QPushButton::clicked, this, &ChaptersScreen::addChapter);
    connect(m_delete, &QPushButton::clicked, this, &ChaptersScreen::deleteChapter);
    connect(m_rename, &QPushButton::clicked, this, &ChaptersScreen::renameChapter);
    closesTheScreen(m_close);
    // While a test is under way the chapters stay as they are: only Close works.
    connect(&m_state.watch, &TestWatch::changed, this, &ChaptersScreen::applyState);
    finishBuilding();
    applyState();
}

void ChaptersScreen::fillFromCollection()
{
    const QSignalBlocker quiet(m_chapterList);
    m_chapterList->clear();
    m_chapterList->addItems(chapterNames(m_state.collection));
}

void ChaptersScreen::applyState()
{
    // The list shows selected exactly the entry chosen. A choice always comes
    // from the selection, so only a choice let go (a deleted entry) has to be
    // shown; the list's current row alone (where the focus puts it) chooses
    // nothing.
    const QSignalBlocker quiet(m_chapterList);
    if (m_choice.position() < 0)
        m_chapterList->clearSelection();
    m_rules.lock(m_state.watch.underWay());
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_chapterList, m_name, m_add, m_delete, m_rename})
        control->setEnabled(!m_rules.locked());
}

void ChaptersScreen::message(const QString &text, bool withCancel)
{
    m_platform.showMessage(
        this, text, withCancel ? Platform::Buttons::OkCancel : Platform::Buttons::Ok, kAppTitle);
}

void ChaptersScreen::entryChosen(QListWidgetItem *item)
{
    // A click runs this twice (the selection changes, then the click): the
    // second run changes nothing more.
    if (item)
        m_name->setText(item->text());
    m_choice.choose(item ? m_chapterList->row(item) : -1, item ? item->text() : QString());
    applyState();
}

void ChaptersScreen::addChapter()
{
    const QString name = m_name->text();
    const ChapterRules::Added added = m_rules.add(name);
    if (added == ChapterRules::Added::Refused)
        return;
    playCue(m_platform, m_state.folder, cue::SetOk);
    switch (added) {
    case ChapterRules::Added::EmptyName:
        message(editmsg::NoCategoryName, true);
        return;
    case ChapterRules::Added::Exists:
        message(editmsg::CategoryExists);
        break;
    case ChapterRules::Added::Full:
        message(editmsg::TooManyCategories);
        break;
    case ChapterRules::Added::Refused:
        return;
    case ChapterRules::Added::Added: {
        const QSignalBlocker quiet(m_chapterList);
        m_chapterList->addItem(name); // listed as typed
        break;
    }
    }
    m_name->clear();
}

void ChaptersScreen::deleteChapter()
{
    const int position = m_choice.position();
    const ChapterRules::Deleted deleted = m_rules.remove(position);
    if (deleted == ChapterRules::Deleted::Refused)
        return;
    playCue(m_platform, m_state.folder, cue::SetOk);
    switch (deleted) {
    case ChapterRules::Deleted::HasProblems:
        message(editmsg::CategoryHasProblems);
        return;
    case ChapterRules::Deleted::NothingSelected:
    case ChapterRules::Deleted::Refused:
        return;
    case ChapterRules::Deleted::Deleted:
        break;
    }
    {
        // The list follows the table: the last entry takes the deleted one's place.
        const QSignalBlocker quiet(m_chapterList);
        const int last = m_chapterList->count() - 1;
        if (position != last)
            m_chapterList->item(position)->setText(m_chapterList->item(last)->text());
        delete m_chapterList->takeItem(last);
    }
    m_choice.clear();
    applyState();
}

void ChaptersScreen::renameChapter()
{
    int row = 0;
    const QString name = m_name->text();
    const ChapterRules::Renamed renamed =
        m_rules.rename(m_choice.titleSelected(), m_choice.selectedTitle(), name, &row);
    if (renamed == ChapterRules::Renamed::Refused)
        return;
    playCue(m_platform, m_state.folder, cue::SetOk);
    switch (renamed) {
    case ChapterRules::Renamed::NothingSelected:
        message(editmsg::NoTitleSelected);
        return;
    case ChapterRules::Renamed::EmptyName:
        message(editmsg::NoNewName);
        return;
    case ChapterRules::Renamed::Exists:
        message(editmsg::CategoryExists);
        return;
    case ChapterRules::Renamed::Refused:
        return;
    case ChapterRules::Renamed::Renamed:
        // The chosen entry shows its chapter's row, and keeps naming it.
        if (QListWidgetItem *chosen = m_chapterList->item(m_choice.position());
            row != 0 && chosen) {
            chosen->setText(name);
            m_choice.renamed(name);
        }
        applyState();
        return;
    }
}

void ChaptersScreen::closeSteps()
{
    emit closed();
    playCue(m_platform, m_state.folder, cue::CloseScreen);
}

} // namespace culegere
