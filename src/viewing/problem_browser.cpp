#include "viewing/problem_browser.h"

#include "platform/cue.h"
#include "widgets/named.h"
#include "widgets/picture_box.h"

#include <QComboBox>
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
    : SecondaryScreen(QStringLiteral("frmRezolva"), QStringLiteral("Rezolva/capitol/categorie"),
                      FrameClose::Destroys),
      m_state(state), m_platform(platform)
{
    m_label1 = new QLabel(QStringLiteral("Selecteaza capitol/categorie"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_combo1 = new QComboBox;
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMinimumWidth(300);
    m_combo1->setAccessibleName(QStringLiteral("Capitolul de vizualizat"));
    m_command5 =
        namedButton(QStringLiteral("Command5"), QStringLiteral("Incarca Capitol/Categorie"));
    m_picture1 = new PictureBox;
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setMinimumSize(760, 420);
    m_picture1->setAccessibleName(QStringLiteral("Nicio problema afisata"));
    m_label2 = new QLabel(QStringLiteral("Problema nr:"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setAlignment(Qt::AlignCenter);
    m_label2->setMinimumWidth(m_label2->fontMetrics().horizontalAdvance(kPositionPrefix + "0000") +
                              16);
    m_command1 = namedButton(QStringLiteral("Command1"), QStringLiteral("<--1"));
    m_command2 = namedButton(QStringLiteral("Command2"), QStringLiteral("1-->"));
    m_command3 = namedButton(QStringLiteral("Command3"), QStringLiteral("<==10"));
    m_command4 = namedButton(QStringLiteral("Command4"), QStringLiteral("10==>"));
    m_command6 = namedButton(QStringLiteral("Command6"), QStringLiteral("Ok"));

    auto *choose = new QHBoxLayout;
    choose->addWidget(m_label1);
    choose->addWidget(m_combo1, 1);
    choose->addWidget(m_command5);

    auto *moves = new QHBoxLayout;
    moves->addWidget(m_command3);
    moves->addWidget(m_command1);
    moves->addStretch(1);
    moves->addWidget(m_label2);
    moves->addStretch(1);
    moves->addWidget(m_command2);
    moves->addWidget(m_command4);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_command6);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choose);
    layout->addWidget(m_picture1, 1);
    layout->addLayout(moves);
    layout->addLayout(bottom);
    finishBuilding();

    connect(m_combo1, &QComboBox::activated, this, &ProblemBrowser::chapterChosen);
    connect(m_command5, &QPushButton::clicked, this, &ProblemBrowser::loadChapter);
    connect(m_command1, &QPushButton::clicked, this, [this] { move(BrowseMove::Previous); });
    connect(m_command2, &QPushButton::clicked, this, [this] { move(BrowseMove::Next); });
    connect(m_command3, &QPushButton::clicked, this, [this] { move(BrowseMove::TenBack); });
    connect(m_command4, &QPushButton::clicked, this, [this] { move(BrowseMove::TenForward); });
    connect(m_command6, &QPushButton::clicked, this, [this] {
        closeSteps();
        hide();
    });
}

void ProblemBrowser::open()
{
    m_combo1->clear();
    const Collection &c = m_state.collection;
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row)
        m_combo1->addItem(c.ChapterTable[row].Name.trimmedText());
    m_combo1->setCurrentIndex(-1);
    m_combo1->clearEditText();
    setMovesEnabled(false);
    m_command5->setEnabled(true);
    show();
    raise();
    activateWindow();
}

void ProblemBrowser::setMovesEnabled(bool enabled)
{
    for (QPushButton *b : {m_command1, m_command2, m_command3, m_command4})
        b->setEnabled(enabled);
}

void ProblemBrowser::chapterChosen()
{
    setMovesEnabled(false);
    m_command5->setEnabled(true);
}

void ProblemBrowser::loadChapter()
{
    const QString text = m_combo1->currentText();
    if (text.isEmpty()) {
        // This screen's box has no title of its own.
        m_platform.showMessage(this, kNoChapter, Platform::Buttons::Ok, QString());
        return;
    }
    m_loadedChapter = FixedText<100>::fromText(text);
    // The moves count what is listed, whatever the chapter's counter says.
    m_rowList = listChapterRows(m_state.collection, m_loadedChapter);
    m_position = 0;
    showProblem();
    setMovesEnabled(true);
    m_command5->setEnabled(false);
    PlayCue(m_platform, m_state.folder, cue::Load);
}

void ProblemBrowser::move(BrowseMove move)
{
    const std::optional<int> next =
        browseMove(move, m_position, int(m_rowList.size()), !m_combo1->currentText().isEmpty());
    if (!next)
        return;
    m_position = *next;
    showProblem();
    PlayCue(m_platform, m_state.folder, cue::Next);
}

void ProblemBrowser::showProblem()
{
    m_picture1->clear();
    // An empty chapter lists nothing: the box stays empty.
    if (m_position < int(m_rowList.size())) {
        const ProblemRecord &problem = m_state.collection.ProblemTable[m_rowList[m_position]];
        m_picture1->showFile(
            m_state.folder.resolvePath(ProblemImagePath(m_state.folder.root(), problem.ImagePath)));
    }
    m_label2->setText(kPositionPrefix + QString::number(m_position));
    m_picture1->setAccessibleName(m_rowList.empty()
                                      ? QStringLiteral("Nicio problema in acest capitol")
                                      : QStringLiteral("Problema %1 din %2, capitolul %3")
                                            .arg(m_position + 1)
                                            .arg(m_rowList.size())
                                            .arg(m_loadedChapter.trimmedText()));
}

void ProblemBrowser::closeSteps()
{
    m_picture1->clear();
    m_combo1->clearEditText();
    m_loadedChapter = FixedText<100>::fromBytes("");
    m_rowList.clear();
    PlayCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
