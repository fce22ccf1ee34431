#include "editing/chapters_screen.h"

#include "editing/editing_messages.h"
#include "platform/cue.h"
#include "platform/named.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

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

    connect(m_listCap, &QListWidget::itemClicked, this, &ChaptersScreen::entryClicked);
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
    m_listCap->clear();
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        m_listCap->addItem(c.ChapterTable[row].Name.trimmedText());
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

void ChaptersScreen::entryClicked(QListWidgetItem *item)
{
    m_titleSelected = false;
    m_selectedTitle.clear();
    m_text1->setText(item ? item->text() : QString());
    if (!m_text1->text().isEmpty()) {
        m_titleSelected = true;
        m_selectedTitle = m_text1->text();
    }
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
    case ChapterRules::Added::Added:
        m_listCap->addItem(name); // listed as typed
        break;
    }
    m_text1->clear();
}

void ChaptersScreen::deleteChapter()
{
    PlayCue(m_platform, m_state.folder, cue::SetOk);
    const int position = m_listCap->currentRow();
    if (m_rules.remove(position) == ChapterRules::Deleted::HasProblems) {
        message(editmsg::CategoryHasProblems);
        return;
    }
    if (position < 0)
        return;
    // The list follows the table: the last entry takes the deleted one's place.
    const int last = m_listCap->count() - 1;
    if (position != last)
        m_listCap->item(position)->setText(m_listCap->item(last)->text());
    delete m_listCap->takeItem(last);
}

void ChaptersScreen::renameChapter()
{
    PlayCue(m_platform, m_state.folder, cue::SetOk);
    int row = 0;
    switch (m_rules.rename(m_titleSelected, m_selectedTitle, m_text1->text(), &row)) {
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
        if (row != 0 && m_listCap->currentItem())
            m_listCap->currentItem()->setText(m_text1->text());
        return;
    }
}

void ChaptersScreen::closeSteps()
{
    emit closed();
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
}

} // namespace culegere
