#include "shell/application.h"

#include "archive/archive_upkeep.h"
#include "editing/chapters_screen.h"
#include "editing/problem_editor.h"
#include "platform/cue.h"
#include "platform/platform.h"
#include "printing/print_dialog.h"
#include "shell/about_screen.h"
#include "shell/folder_lock.h"
#include "shell/help_window.h"
#include "shell/main_screen.h"
#include "shell/qt_texts.h"
#include "shell/shell_messages.h"
#include "state/app_state.h"
#include "store/backup.h"
#include "store/data_files.h"
#include "store/integrity.h"
#include "store/legacy_text.h"
#include "testing/test_area.h"
#include "testing/testing_messages.h"
#include "viewing/archive_screen.h"
#include "viewing/problem_browser.h"
#include "viewing/results_viewer.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>

namespace culegere {

namespace {
// Held while the program runs, so a second copy on the same folder is refused.
const QString kLockFile = QStringLiteral("\\.culegere.lock");
const QString kHelpFile = QStringLiteral("\\help.chm");
const QString kHelpPages = QStringLiteral("\\help");
const QString kMainHelpPage = QStringLiteral("ecran-principal.html");
} // namespace

Application::Application(const QString &appPath, Platform &platform)
    : m_platform(platform), m_state(std::make_unique<AppState>(AppFolder(appPath)))
{
    installRomanianQtTexts();
}

Application::~Application()
{
    // Ending without the exit keeps the editing undone, as it always has.
    m_state->files.close();
    delete m_browser;
    delete m_archive;
    delete m_results;
    delete m_print;
    delete m_editor;
    m_helpKey.reset();
    m_helpWindow.reset();
    m_about.reset();
    m_chapters.reset();
    m_main.reset();
}

QWidget *Application::mainScreen() const
{
    return m_main.get();
}

bool Application::lockFolder()
{
    const QString root = m_state->folder.root();
    const QString notWritable = shellmsg::FolderNotWritable.arg(QDir::toNativeSeparators(root));
    auto refuse = [this](const QString &text) {
        m_lock.reset();
        m_platform.showMessage(nullptr, text, Platform::Buttons::Ok, kAppTitle);
        return false;
    };
    if (!QDir().mkpath(root))
        return refuse(notWritable);
    m_lock = std::make_unique<FolderLock>(m_state->folder.resolve(kLockFile));
    switch (m_lock->tryLock()) {
    case FolderLock::Outcome::Locked:
        return true;
    case FolderLock::Outcome::HeldHere:
        return refuse(shellmsg::AlreadyOpen);
    case FolderLock::Outcome::CannotWrite:
        return refuse(notWritable);
    case FolderLock::Outcome::HeldElsewhere:
        break;
    }
    // Only the user knows whether the program still runs on that computer.
    const QString question = lockedElsewhereQuestion(m_lock->holder(), m_lock->takenAt());
    if (!m_platform.showMessage(nullptr, question, Platform::Buttons::YesNo, kAppTitle)) {
        m_lock.reset();
        return false;
    }
    return m_lock->takeOver() || refuse(shellmsg::AlreadyOpen);
}

bool Application::start()
{
    if (m_main || !lockFolder())
        return false;

    auto main = std::make_unique<MainScreen>(*m_state, m_platform);
    main->applyStartupState();

    if (const StoreResult loaded = m_state->files.openAndLoad(m_state->collection); !loaded.ok()) {
        m_platform.showMessage(nullptr, startupFailureMessage(loaded), Platform::Buttons::Ok,
                               kAppTitle);
        m_lock.reset();
        return false;
    }

    // What a backup cut short left is no one's; the folder is ours.
    removeBackupLeftovers(m_state->folder.resolve(QStringLiteral("\\backup")));
    // A result an earlier run left to the archive (it was killed, or the
    // archive failed) goes in now.
    if (const QString told = m_state->recorder.catchUpAtStart(); !told.isEmpty())
        m_platform.showMessage(nullptr, told, Platform::Buttons::Ok, kAppTitle);
    // From here on every write first makes sure the folder is still ours.
    m_state->files.setLockCheck([this] { return m_lock->lostTo(); });
    m_main = std::move(main);
    m_chapters = std::make_unique<ChaptersScreen>(*m_state, m_platform);
    m_chapters->fillFromCollection();
    QObject::connect(m_chapters.get(), &ChaptersScreen::closed, m_main.get(), [this] {
        if (m_editor)
            m_editor->fillChapters();
        showMain();
    });
    createProblemEditor()->clearChapters();

    connectMenu();
    m_helpKey = std::make_unique<HelpKey>([this](const QString &page) { openHelp(page); });
    qApp->installEventFilter(m_helpKey.get());
    m_main->setExitHandler([this] { return exitProgram(); });
    m_main->show();
    return true;
}

void Application::connectMenu()
{
    MainScreen *main = m_main.get();
    const MainScreen::Menu &menu = main->menu();
    auto on = [main](QAction *item, auto step) {
        QObject::connect(item, &QAction::triggered, main, step);
    };
    on(menu.help, [this] { openHelp(kMainHelpPage); });
    on(menu.about, [this] { showAbout(); });
    on(menu.viewProblems, [this] { openBrowser(); });
    on(menu.viewResults, [this] { openResults(); });
    on(menu.print, [this] { openPrintDialog(); });
    on(menu.editChapters, [this] { m_chapters->present(); });
    on(menu.editProblems, [this] { openProblemEditor(); });
    on(menu.backup, [this] { backup(); });
    on(menu.checkIntegrity, [this] { checkIntegrity(); });
}

void Application::openHelp(const QString &page)
{
    // The desktop may answer after the program has ended.
    const QPointer<QWidget> alive = m_main.get();
    m_platform.openHelpViewer(m_state->folder.resolve(kHelpFile), [this, alive, page] {
        if (alive)
            showHelpPages(page);
    });
}

void Application::showHelpPages(const QString &page)
{
    const QString folder = m_state->folder.resolve(kHelpPages);
    if (!HelpPages::existIn(folder)) {
        m_platform.showMessage(QApplication::activeWindow(),
                               shellmsg::HelpMissing.arg(QDir::toNativeSeparators(folder)),
                               Platform::Buttons::Ok, kAppTitle);
        return;
    }
    if (!m_helpWindow)
        m_helpWindow = std::make_unique<HelpWindow>(folder);
    m_helpWindow->present(page);
}

void Application::message(const QString &text)
{
    m_platform.showMessage(m_main.get(), text, Platform::Buttons::Ok, kAppTitle);
}

void Application::backup()
{
    if (const StoreResult held = m_state->files.lockHeld(); !held.ok()) {
        message(testmsg::lockLost(held.fileName));
        return;
    }
    BackupReport report = backupDataFiles(m_state->files, m_state->folder);
    const QString backupDir = m_state->folder.resolve(QStringLiteral("\\backup"));
    // The archive's failure says what it met (a damaged archive, a full disk).
    const QString archiveFailure = backupArchive(m_state->archive, backupDir);
    if (!report.copiedAll())
        message(shellmsg::BackupFailed.arg(report.failedCopies.join(QStringLiteral(", "))));
    if (!archiveFailure.isEmpty())
        message(archiveFailure);
    if (!report.notReopened.isEmpty())
        message(reopenFailureMessage(report.notReopened));
    if (report.copiedAll() && archiveFailure.isEmpty())
        playCue(m_platform, m_state->folder, cue::SetOk);
}

void Application::checkIntegrity()
{
    const IntegrityReport report =
        culegere::checkIntegrity(m_state->collection, listPictureFiles(m_state->folder));
    for (const IntegrityReport::Missing &missing : report.missing)
        message(shellmsg::PictureMissing.arg(missing.index));
    if (!report.unknownChapters.isEmpty())
        message(shellmsg::UnknownChapters.arg(report.unknownChapters.join(QStringLiteral(", "))));
    if (report.missing.isEmpty()) {
        message(report.totalsAgree() ? shellmsg::IntegrityOk.arg(numberText(report.problemCount))
                                     : shellmsg::IntegrityMismatch);
    }
    message(checkArchive(m_state->archive));
    playCue(m_platform, m_state->folder, cue::CloseScreen);
}

void Application::showMain()
{
    // The screens shown in the main screen's place close when it comes back
    // (a screen opened before them closing, say): none stays open above it.
    for (SecondaryScreen *inPlace :
         std::initializer_list<SecondaryScreen *>{m_print.data(), m_results.data()}) {
        if (inPlace)
            inPlace->closeIfShown();
    }
    m_main->show();
    m_main->raise();
}

ProblemEditor *Application::createProblemEditor()
{
    m_editor = new ProblemEditor(*m_state, m_platform);
    QObject::connect(m_editor, &ProblemEditor::closed, m_main.get(), [this] { showMain(); });
    return m_editor;
}

void Application::openProblemEditor()
{
    if (!m_editor)
        createProblemEditor();
    m_editor->open();
}

void Application::openBrowser()
{
    if (!m_browser) {
        m_browser = new ProblemBrowser(*m_state, m_platform);
        QObject::connect(m_browser, &ProblemBrowser::closed, m_main.get(), [this] { showMain(); });
    }
    m_browser->open();
}

void Application::openResults()
{
    if (!m_results) {
        m_results = new ResultsViewer(*m_state, m_platform);
        QObject::connect(m_results, &ResultsViewer::closed, m_main.get(), [this] { showMain(); });
        QObject::connect(m_results, &ResultsViewer::archiveAsked, m_main.get(),
                         [this] { openArchive(); });
    }
    m_main->hide();
    m_results->open();
}

void Application::openArchive()
{
    // It stands in front of the results screen, which stays behind it.
    if (!m_archive)
        m_archive = new ArchiveScreen(*m_state, m_platform);
    if (!m_archive->open())
        delete m_archive;
}

void Application::openPrintDialog()
{
    m_main->hide();
    if (!m_print) {
        m_print = new PrintDialog(*m_state, m_platform);
        QObject::connect(m_print, &PrintDialog::closed, m_main.get(), [this] { showMain(); });
    }
    m_print->present();
}

QList<QWidget *> Application::secondaryScreens() const
{
    QList<QWidget *> screens;
    for (QWidget *screen :
         {static_cast<QWidget *>(m_chapters.get()), static_cast<QWidget *>(m_editor.data()),
          static_cast<QWidget *>(m_about.get()), static_cast<QWidget *>(m_browser.data()),
          static_cast<QWidget *>(m_results.data()), static_cast<QWidget *>(m_archive.data()),
          static_cast<QWidget *>(m_print.data()), static_cast<QWidget *>(m_helpWindow.get())}) {
        if (screen)
            screens.append(screen);
    }
    return screens;
}

void Application::showAbout()
{
    if (!m_about) {
        m_about = std::make_unique<AboutScreen>();
        QObject::connect(m_about.get(), &AboutScreen::closed, m_main.get(), [this] { showMain(); });
    }
    m_about->show();
    m_about->raise();
}

bool Application::exitProgram()
{
    if (m_exited)
        return true;
    // A problem open in the editor gives its chapter's unit back first.
    if (m_editor)
        m_editor->settle();
    const StoreResult saved = m_state->files.saveAtExit(m_state->collection);
    // Another computer has the folder now: this program's edits cannot be
    // kept, and only the user can say whether to end without them.
    if (saved.error == StoreError::LockLost &&
        !m_platform.showMessage(m_main.get(), lockLostAtExitQuestion(saved.fileName),
                                Platform::Buttons::YesNo, kAppTitle))
        return false;
    if (!saved.ok() && saved.error != StoreError::LockLost) {
        message(saveFailureMessage(saved));
        return false;
    }
    m_exited = true;
    playCue(m_platform, m_state->folder, cue::Exit);
    for (QWidget *screen : secondaryScreens())
        screen->hide();
    m_main->testArea()->hideScreens();
    m_lock.reset();
    QCoreApplication::quit();
    return true;
}

} // namespace culegere
