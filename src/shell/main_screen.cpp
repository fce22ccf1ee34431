#include "shell/main_screen.h"

#include "shell/decoration.h"
#include "testing/test_area.h"
#include "widgets/access_keys.h"
#include "widgets/picture_box.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>

namespace culegere {

namespace {

QAction *item(QMenu *menu, const QString &name, const QString &caption,
              const QKeySequence &shortcut = {})
{
    auto *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

MainScreen::MainScreen(AppState &state, Platform &platform)
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Test....."));

    auto *central = new QWidget;
    m_testArea = new TestArea(state, platform, this);

    // Picture2 and Picture3 hold no picture of their own: two coloured bands
    // that frame the decorative picture.
    auto band = [](const QString &name) {
        auto *box = new PictureBox;
        box->setObjectName(name);
        box->setFrameShape(QFrame::NoFrame);
        box->setFixedHeight(4);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, QColor(18, 52, 120));
        box->setPalette(palette);
        return box;
    };
    auto *picture2 = band(QStringLiteral("Picture2"));
    auto *picture3 = band(QStringLiteral("Picture3"));
    m_picture4 = new PictureBox;
    m_picture4->setObjectName(QStringLiteral("Picture4"));
    m_picture4->setFrameShape(QFrame::NoFrame);
    m_picture4->setBackgroundRole(QPalette::Window);
    m_picture4->setFixedHeight(96);
    m_picture4->showImage(decorativePicture(QSize(1200, 96)));

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(picture2);
    layout->addWidget(m_picture4);
    layout->addWidget(picture3);
    layout->addWidget(m_testArea, 1);
    layout->setSpacing(4);
    setCentralWidget(central);
    resize(1024, 740);

    buildMenu();
    for (PictureBox *band : {picture2, picture3, m_picture4})
        band->setAccessibleName(QStringLiteral("Imagine decorativa"));
    // Alt+F and Alt+H open the menus.
    giveAccessKeys(this, QStringLiteral("FH"));
    connect(m_testArea, &TestArea::testRunning, this,
            [this](bool running) { setEditingMenusEnabled(!running); });
}

void MainScreen::setEditingMenusEnabled(bool enabled)
{
    // While a test runs the collection cannot be edited; its sheet can be printed.
    mnuAddCap->setEnabled(enabled);
    mnuRezolva->setEnabled(enabled);
    mnuSeteazaProbl->setEnabled(enabled);
    mnuPrint->setEnabled(!enabled);
}

void MainScreen::buildMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuSeteazaProbl = item(file, QStringLiteral("mnuSeteazaProbl"),
                           QStringLiteral("Seteaza problema"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuAddCap = item(file, QStringLiteral("mnuAddCap"),
                     QStringLiteral("Adauga/Elimina capitol/categorie"), QKeySequence(Qt::Key_F2));
    mnuRezultate =
        item(file, QStringLiteral("mnuRezultate"), QStringLiteral("Vizualizeaza rezultate"),
             QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuRezolva = item(file, QStringLiteral("mnuRezolva"), QStringLiteral("Vizualizeaza probleme"),
                      QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuPrint = item(file, QStringLiteral("mnuPrint"), QStringLiteral("Print"),
                    QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuBackup = item(file, QStringLiteral("mnuBackup"), QStringLiteral("Backup"),
                     QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuTesteazaIntegritate =
        item(file, QStringLiteral("mnuTesteazaIntegritate"),
             QStringLiteral("Testeaza Integritatea Culegerii"), QKeySequence(Qt::CTRL | Qt::Key_I));
    // A plain item standing as a divider; choosing it does nothing.
    mnuHiphen = item(file, QStringLiteral("mnuHiphen"), QString(31, u'-'));
    mnuExit = item(file, QStringLiteral("mnuExit"), QStringLiteral("Exit"));
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuUtilizare = item(help, QStringLiteral("mnuUtilizare"), QStringLiteral("Utilizare"),
                        QKeySequence(Qt::Key_F1));
    mnuDespre = item(help, QStringLiteral("mnuDespre"), QStringLiteral("Despre"));
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
