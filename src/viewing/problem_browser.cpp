#include "viewing/problem_browser.h"

#include "archive/archive_access.h"
#include "platform/cue.h"
#include "store/problem_paths.h"
#include "widgets/controls.h"
#include "widgets/picture_box.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace culegere {

namespace {

const QString kPositionPrefix = QStringLiteral("Problema nr:--");
const QString kNoChapter = QStringLiteral("Nu ati selectat nici o categorie");

} // namespace

ProblemBrowser::ProblemBrowser(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Rezolva/capitol/categorie"), FrameClose::Destroys),
      m_state(state), m_platform(platform)
{
    setHelpPage(QStringLiteral("vizualizare.html#probleme"));
    m_chapterLabel = new QLabel(QStringLiteral("Selecteaza capitol/categorie"));
    m_chapterBox = new QComboBox;
    m_chapterBox->setEditable(true);
    m_chapterBox->setInsertPolicy(QComboBox::NoInsert);
    m_chapterBox->setMinimumWidth(300);
    m_chapterBox->setAccessibleName(QStringLiteral("Capitolul de vizualizat"));
    m_loadChapter = new QPushButton(QStringLiteral("Incarca Capitol/Categorie"));
    m_picture = new PictureBox;
    m_picture->setMinimumSize(760, 420);
    m_picture->setAccessibleName(QStringLiteral("Nicio problema afisata"));
    m_statisticsLine = new QLabel;
    m_statisticsLine->setAlignment(Qt::AlignCenter);
    m_statisticsLine->setTextFormat(Qt::PlainText);
    m_positionText = new QLabel(QStringLiteral("Problema nr:"));
    m_positionText->setAlignment(Qt::AlignCenter);
    m_positionText->setMinimumWidth(
        m_positionText->fontMetrics().horizontalAdvance(kPositionPrefix + "0000") + 16);
    m_previous = new QPushButton(QStringLiteral("<--1"));
    m_next = new QPushButton(QStringLiteral("1-->"));
    m_tenBack = new QPushButton(QStringLiteral("<==10"));
    m_tenForward = new QPushButton(QStringLiteral("10==>"));
    m_ok = new QPushButton(QStringLiteral("Ok"));
    nameControls({{this, "frmRezolva"},
                  {m_chapterLabel, "Label1"},
                  {m_chapterBox, "Combo1"},
                  {m_loadChapter, "Command5"},
                  {m_picture, "Picture1"},
                  {m_statisticsLine, "lblStatistica"},
                  {m_positionText, "Label2"},
                  {m_previous, "Command1"},
                  {m_next, "Command2"},
                  {m_tenBack, "Command3"},
                  {m_tenForward, "Command4"},
                  {m_ok, "Command6"}});

    auto *choose = new QHBoxLayout;
    choose->addWidget(m_chapterLabel);
    choose->addWidget(m_chapterBox, 1);
    choose->addWidget(m_loadChapter);

    auto *moves = new QHBoxLayout;
    moves->addWidget(m_tenBack);
    moves->addWidget(m_previous);
    moves->addStretch(1);
    moves->addWidget(m_positionText);
    moves->addStretch(1);
    moves->addWidget(m_next);
    moves->addWidget(m_tenForward);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choose);
    layout->addWidget(m_picture, 1);
    layout->addWidget(m_statisticsLine);
    layout->addLayout(moves);
    layout->addLayout(bottom);
    finishBuilding();

    connect(m_chapterBox, &QComboBox::activated, this, &ProblemBrowser::chapterChosen);
    connect(m_loadChapter, &QPushButton::clicked, this, &ProblemBrowser::loadChapter);
    connect(m_previous, &QPushButton::clicked, this, [this] { move(BrowseMove::Previous); });
    connect(m_next, &QPushButton::clicked, this, [this] { move(BrowseMove::Next); });
    connect(m_tenBack, &QPushButton::clicked, this, [this] { move(BrowseMove::TenBack); });
    connect(m_tenForward, &QPushButton::clicked, this, [this] { move(BrowseMove::TenForward); });
    closesTheScreen(m_ok);
    // While a test is under way no problem is shown here: only Ok works.
    connect(&m_state.watch, &TestWatch::changed, this, &ProblemBrowser::followTest);
    followTest();
}

void ProblemBrowser::followTest()
{
    const bool open = !m_state.watch.underWay();
    if (!open) {
        m_picture->clear();
        m_statisticsLine->clear();
        m_rowList.clear();
    }
    m_chapterBox->setEnabled(open);
    m_loadChapter->setEnabled(open);
    setMovesEnabled(false);
}

void ProblemBrowser::open()
{
    // Only an archive that exists is read: the browser neither makes nor
    // repairs one, and says nothing when there is none.
    m_statistics.clear();
    ArchiveResult why;
    const ResultArchive *archive = m_state.archive.existing(why);
    // No archive: nothing was drawn since it would have begun. One that
    // cannot be read leaves the line out rather than tell "never drawn".
    m_statisticsKnown = !archive && !QFileInfo::exists(m_state.archive.path());
    if (archive) {
        ArchiveResult read;
        for (const ProblemStats &stats : archive->problemStats(&read))
            m_statistics.insert(stats.problemIndex, stats);
        m_statisticsKnown = read.ok();
    }
    offerChoices(m_chapterBox, chapterNames(m_state.collection));
    setMovesEnabled(false);
    m_loadChapter->setEnabled(true);
    present();
}

void ProblemBrowser::setMovesEnabled(bool enabled)
{
    for (QPushButton *b : {m_previous, m_next, m_tenBack, m_tenForward})
        b->setEnabled(enabled);
}

void ProblemBrowser::chapterChosen()
{
    setMovesEnabled(false);
    m_loadChapter->setEnabled(true);
}

void ProblemBrowser::loadChapter()
{
    if (m_state.watch.underWay())
        return;
    const QString text = m_chapterBox->currentText();
    if (text.isEmpty()) {
        // This screen's box has no title of its own.
        m_platform.showMessage(this, kNoChapter, Platform::Buttons::Ok, QString());
        return;
    }
    m_loadedChapter = FixedText<100>::fromText(text);
    // The moves count what is listed, whatever the chapter's counter says.
    m_rowList = chapterRows(m_state.collection, m_loadedChapter);
    m_position = 0;
    showProblem();
    setMovesEnabled(true);
    m_loadChapter->setEnabled(false);
    playCue(m_platform, m_state.folder, cue::Load);
}

void ProblemBrowser::move(BrowseMove move)
{
    if (m_state.watch.underWay())
        return;
    const std::optional<int> next =
        browseMove(move, m_position, int(m_rowList.size()), !m_chapterBox->currentText().isEmpty());
    if (!next)
        return;
    m_position = *next;
    showProblem();
    playCue(m_platform, m_state.folder, cue::Next);
}

void ProblemBrowser::showProblem()
{
    m_picture->clear();
    m_statisticsLine->clear();
    // An empty chapter lists nothing: the box stays empty.
    if (m_position < int(m_rowList.size())) {
        const ProblemRecord &problem = m_state.collection.ProblemTable[m_rowList[m_position]];
        m_picture->showFile(problemPictureFile(m_state.folder, problem.ImagePath));
        if (m_statisticsKnown)
            m_statisticsLine->setText(
                statisticsLine(m_statistics, problemIndex(problem.ImagePath)));
    }
    m_positionText->setText(kPositionPrefix + QString::number(m_position));
    m_picture->setAccessibleName(m_rowList.empty()
                                     ? QStringLiteral("Nicio problema in acest capitol")
                                     : QStringLiteral("Problema %1 din %2, capitolul %3")
                                           .arg(m_position + 1)
                                           .arg(m_rowList.size())
                                           .arg(m_loadedChapter.trimmedText()));
}

void ProblemBrowser::closeSteps()
{
    m_picture->clear();
    m_statisticsLine->clear();
    m_chapterBox->clearEditText();
    m_loadedChapter = FixedText<100>::fromBytes("");
    m_rowList.clear();
    playCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
