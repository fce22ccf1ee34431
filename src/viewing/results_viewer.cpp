#include "viewing/results_viewer.h"

#include "platform/cue.h"
#include "viewing/browsing.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace culegere {

ResultsViewer::ResultsViewer(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("frmRezultate"), QStringLiteral("Rezultate"),
                      FrameClose::Destroys),
      m_state(state), m_platform(platform)
{
    m_list1 = new QListWidget;
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setAccessibleName(QStringLiteral("Rezultatele testelor"));
    // Names keep all 30 characters: a fixed-width font lines the columns up.
    m_list1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list1->setMinimumSize(560, 400);
    m_command1 = new QPushButton(QStringLiteral("Ok"));
    m_command1->setObjectName(QStringLiteral("Command1"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list1, 1);
    layout->addWidget(m_command1, 0, Qt::AlignRight);

    connect(m_command1, &QPushButton::clicked, this, [this] {
        closeSteps();
        hide();
    });

    PlayCue(m_platform, m_state.folder, cue::Load);
    finishBuilding();
}

void ResultsViewer::open()
{
    m_list1->clear();
    const Collection &c = m_state.collection;
    const QLocale locale = QLocale::system();
    for (int row = Collection::FirstRow; row < c.NextUserRecord; ++row)
        m_list1->addItem(resultLine(c.UserTable[row], locale));
    show();
    raise();
    activateWindow();
}

void ResultsViewer::closeSteps()
{
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
