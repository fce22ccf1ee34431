#include "viewing/results_viewer.h"

#include "platform/cue.h"
#include "viewing/browsing.h"
#include "widgets/controls.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace culegere {

ResultsViewer::ResultsViewer(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Rezultate"), FrameClose::Destroys), m_state(state),
      m_platform(platform)
{
    setHelpPage(QStringLiteral("vizualizare.html#rezultate"));
    m_results = new QListWidget;
    m_results->setAccessibleName(QStringLiteral("Rezultatele testelor"));
    // Names keep all 30 characters: a fixed-width font lines the columns up.
    m_results->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_results->setMinimumSize(560, 400);
    m_archive = new QPushButton(QStringLiteral("Arhiva"));
    m_ok = new QPushButton(QStringLiteral("Ok"));
    nameControls({{this, "frmRezultate"},
                  {m_results, "List1"},
                  {m_archive, "btnArhiva"},
                  {m_ok, "Command1"}});

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_archive);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_results, 1);
    layout->addLayout(buttons);
    connect(m_archive, &QPushButton::clicked, this, &ResultsViewer::archiveAsked);
    closesTheScreen(m_ok);

    playCue(m_platform, m_state.folder, cue::Load);
    finishBuilding();
}

void ResultsViewer::open()
{
    m_results->clear();
    const Collection &c = m_state.collection;
    const QLocale locale = QLocale::system();
    for (int row = Collection::FirstRow; row < c.NextUserRecord; ++row)
        m_results->addItem(resultLine(c.UserTable[row], locale));
    present();
}

void ResultsViewer::closeSteps()
{
    playCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
