#include "editing/chapters_screen.h"

#include "editing/editing_messages.h"
#include "platform/cue.h"
#include "widgets/named.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace culegere {

ChaptersScreen::ChaptersScreen(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("frmAddCap"), QStringLiteral("Adauga Capitol"),
                      FrameClose::Hides),
      m_state(state), m_platform(platform), m_rules(state.collection)
{
    m_listCap = new QListWidget;
    m_listCap->setObjectName(QStringLiteral("listCap"));
    m_text1 = new QLineEdit;
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_listCap->setAccessibleName(QStringLiteral("Capitolele culegerii"));
    m_text1->setAccessibleName(QStringLiteral("Numele capitolului"));
    m_command1 = namedButton(QStringLiteral("Command1"), QStringLiteral("Adauga Capitol"));
    m_command2 = namedButton(QStringLiteral("Command2"), QStringLiteral("Sterge Capitol"));
    m_command4 = namedButton(QStringLiteral("Command4"), QStringLiteral("Redenumeste"));
    m_command3 = namedButton(QStringLiteral("Command3"), QStringLiteral("Close"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_listCap, 0, 0, 5, 1);
    layout->addWidget(m_command1, 0, 1);
    layout->addWidget(m_command2, 1, 1);
    layout->addWidget(m_command4, 2, 1);
    layout->setRowStretch(3, 1);
    layout->addWidget(m_command3, 4, 1);
    layout->addWidget(m_text1, 5, 0, 1, 2);
    m_listCap->setMinimumSize(360, 300);

    // A click chooses an entry, and so does moving the selection with the keys.
    connect(m_listCap, &QListWidget::itemClicked, this, &ChaptersScreen::entryChosen);
    connect(m_listCap, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> selected = m_listCap->selectedItems();
        entryChosen(selected.isEmpty() ? nullptr : selected.first());
    });
    connect(m_command1, &QPushButton::clicked, this, &ChaptersScreen::addChapter);
    connect(m_command2, &QPushButton::clicked, this, &ChaptersScreen::deleteChapter);
    connect(m_command4, &QPushButton::clicked, this, &ChaptersScreen::renameChapter);
    connect(m_command3, &QPushButton::clicked, this, [this] {
        closeSteps();
        hide();
    });
    finishBuilding();
}

void ChaptersScreen::fillFromCollection()
{
    const Collection &c = m_state.collection;
    const QSignalBlocker quiet(m_listCap);
    m_listCap->clear();
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        m_listCap->addItem(c.ChapterTable[row].Name.trimmedText());
}

void ChaptersScreen::applyState()
{
    // The list shows selected exactly the entry chosen. A choice always comes
    // from the selection, so only a choice let go (a deleted entry) has to be
    // shown; the list's current row alone (where the focus puts it) chooses
    // nothing.
    const QSignalBlocker quiet(m_listCap);
    if (m_choice.position() < 0)
        m_listCap->clearSelection();
}

void ChaptersScreen::open()
{
    show();
    raise();
    activateWindow();
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
        m_text1->setText(item->text());
    m_choice.choose(item ? m_listCap->row(item) : -1, item ? item->text() : QString());
    applyState();
}

void ChaptersScreen::addChapter()
{
    PlayCue(m_platform, m_state.folder, cue::SetOk);
    const QString name = m_text1->text();
    switch (m_rules.add(name)) {
    case ChapterRules::Added::EmptyName:
        message(editmsg::NoCategoryName, true);
        return;
    case ChapterRules::Added::Exists:
        message(editmsg::CategoryExists);
        break;
    case ChapterRules::Added::Full:
        message(editmsg::TooManyCategories);
        break;
    case ChapterRules::Added::Added: {
        const QSignalBlocker quiet(m_listCap);
        m_listCap->addItem(name); // listed as typed
        break;
    }
    }
    m_text1->clear();
}

void ChaptersScreen::deleteChapter()
{
    PlayCue(m_platform, m_state.folder, cue::SetOk);
    const int position = m_choice.position();
    switch (m_rules.remove(position)) {
    case ChapterRules::Deleted::HasProblems:
        message(editmsg::CategoryHasProblems);
        return;
    case ChapterRules::Deleted::NothingSelected:
        return;
    case ChapterRules::Deleted::Deleted:
        break;
    }
    {
        // The list follows the table: the last entry takes the deleted one's place.
        const QSignalBlocker quiet(m_listCap);
        const int last = m_listCap->count() - 1;
        if (position != last)
            m_listCap->item(position)->setText(m_listCap->item(last)->text());
        delete m_listCap->takeItem(last);
    }
    m_choice.clear();
    applyState();
}

void ChaptersScreen::renameChapter()
{
    PlayCue(m_platform, m_state.folder, cue::SetOk);
    int row = 0;
    const QString name = m_text1->text();
    switch (m_rules.rename(m_choice.titleSelected(), m_choice.selectedTitle(), name, &row)) {
    case ChapterRules::Renamed::NothingSelected:
        message(editmsg::NoTitleSelected);
        return;
    case ChapterRules::Renamed::EmptyName:
        message(editmsg::NoNewName);
        return;
    case ChapterRules::Renamed::Exists:
        message(editmsg::CategoryExists);
        return;
    case ChapterRules::Renamed::Renamed:
        // The chosen entry shows its chapter's row, and keeps naming it.
        if (QListWidgetItem *chosen = m_listCap->item(m_choice.position()); row != 0 && chosen) {
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
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
}

} // namespace culegere
