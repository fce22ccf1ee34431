#include "shell/main_screen.h"

#include "shell/decoration.h"
#include "state/app_state.h"
#include "testing/test_area.h"
#include "widgets/access_keys.h"
#include "widgets/controls.h"
#include "widgets/picture_box.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>

namespace culegere {

namespace {

QAction *item(QMenu *menu, const QString &caption, const QKeySequence &shortcut = {})
{
    auto *action = menu->addAction(caption);
    action->setShortcut(shortcut);
    return action;
}

// A band that frames the decorative picture: a picture box holding no
// picture, only its colour.
PictureBox *band()
{
    auto *box = new PictureBox;
    box->setFrameShape(QFrame::NoFrame);
    box->setFixedHeight(4);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(18, 52, 120));
    box->setPalette(palette);
    return box;
}

} // namespace

MainScreen::MainScreen(AppState &state, Platform &platform)
{
    setWindowTitle(QStringLiteral("Test....."));

    auto *central = new QWidget;
    m_testArea = new TestArea(state, platform, this);

    auto *topBand = band();
    auto *bottomBand = band();
    auto *decoration = new PictureBox;
    decoration->setFrameShape(QFrame::NoFrame);
    decoration->setBackgroundRole(QPalette::Window);
    decoration->setFixedHeight(96);
    decoration->showImage(decorativePicture());

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(topBand);
    layout->addWidget(decoration);
    layout->addWidget(bottomBand);
    layout->addWidget(m_testArea, 1);
    layout->setSpacing(4);
    setCentralWidget(central);
    resize(1024, 740);

    buildMenu();
    for (PictureBox *picture : {topBand, bottomBand, decoration})
        picture->setAccessibleName(QStringLiteral("Imagine decorativa"));
    nameControls({{this, "Main"},
                  {topBand, "Picture2"},
                  {decoration, "Picture4"},
                  {bottomBand, "Picture3"},
                  {m_fileMenu, "mnuFile"},
                  {m_menu.editProblems, "mnuSeteazaProbl"},
                  {m_menu.editChapters, "mnuAddCap"},
                  {m_menu.viewResults, "mnuRezultate"},
                  {m_menu.viewProblems, "mnuRezolva"},
                  {m_menu.print, "mnuPrint"},
                  {m_menu.backup, "mnuBackup"},
                  {m_menu.checkIntegrity, "mnuTesteazaIntegritate"},
                  {m_menu.divider, "mnuHiphen"},
                  {m_menu.exit, "mnuExit"},
                  {m_helpMenu, "mnuHelp"},
                  {m_menu.help, "mnuUtilizare"},
                  {m_menu.about, "mnuDespre"}});
    // Alt+F and Alt+H open the menus.
    giveAccessKeys(this, QStringLiteral("FH"));
    connect(&state.watch, &TestWatch::changed, this,
            [this](bool underWay) { setEditingMenusEnabled(!underWay); });
}

void MainScreen::setEditingMenusEnabled(bool enabled)
{
    // While a test runs the collection cannot be edited; its sheet can be printed.
    m_menu.editChapters->setEnabled(enabled);
    m_menu.viewProblems->setEnabled(enabled);
    m_menu.editProblems->setEnabled(enabled);
    m_menu.print->setEnabled(!enabled);
}

void MainScreen::buildMenu()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_menu.editProblems =
        item(m_fileMenu, QStringLiteral("Seteaza problema"), QKeySequence(Qt::CTRL | Qt::Key_S));
    m_menu.editChapters = item(m_fileMenu, QStringLiteral("Adauga/Elimina capitol/categorie"),
                               QKeySequence(Qt::Key_F2));
    m_menu.viewResults = item(m_fileMenu, QStringLiteral("Vizualizeaza rezultate"),
                              QKeySequence(Qt::CTRL | Qt::Key_T));
    m_menu.viewProblems = item(m_fileMenu, QStringLiteral("Vizualizeaza probleme"),
                               QKeySequence(Qt::CTRL | Qt::Key_R));
    m_menu.print = item(m_fileMenu, QStringLiteral("Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    m_menu.backup = item(m_fileMenu, QStringLiteral("Backup"), QKeySequence(Qt::CTRL | Qt::Key_B));
    m_menu.checkIntegrity = item(m_fileMenu, QStringLiteral("Testeaza Integritatea Culegerii"),
                                 QKeySequence(Qt::CTRL | Qt::Key_I));
    // Choosing the divider does nothing.
    m_menu.divider = item(m_fileMenu, QString(31, u'-'));
    m_menu.exit = item(m_fileMenu, QStringLiteral("Exit"));
    connect(m_menu.exit, &QAction::triggered, this, &QWidget::close);

    m_helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    m_menu.help = item(m_helpMenu, QStringLiteral("Utilizare"), QKeySequence(Qt::Key_F1));
    m_menu.about = item(m_helpMenu, QStringLiteral("Despre"));
}

void MainScreen::applyStartupState()
{
    m_testArea->applyStartupState();
    setEditingMenusEnabled(true);
}

void MainScreen::closeEvent(QCloseEvent *event)
{
    if (m_exitHandler && !m_exitHandler()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace culegere
