#include "editing/chapters_screen.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace culegere {

ChaptersScreen::ChaptersScreen(AppState &state, Platform &platform)
    : m_state(state), m_platform(platform)
{
    setObjectName(QStringLiteral("frmAddCap"));
    setWindowTitle(QStringLiteral("Adauga Capitol"));
    m_listCap = new QListWidget;
    m_listCap->setObjectName(QStringLiteral("listCap"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listCap);
}

void ChaptersScreen::fillFromCollection()
{
    const Collection &c = m_state.collection;
    m_listCap->clear();
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        m_listCap->addItem(c.ChapterTable[row].Name.trimmedText());
}

} // namespace culegere
