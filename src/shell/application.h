#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace culegere {

class AboutScreen;
class ArchiveScreen;
class FolderLock;
class HelpKey;
class HelpWindow;
struct AppState;
class ChaptersScreen;
class MainScreen;
class Platform;
class ProblemBrowser;
class PrintDialog;
class ProblemEditor;
class ResultsViewer;

// The program: owns the shared state and the data files, creates the
// screens, runs the start-up and the exit.
class Application
{
public:
    Application(const QString &appPath, Platform &platform);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    bool start();                // start-up, then shows Main; false when refused
                                 // (message shown, no screen shown, nothing changed)
    QWidget *mainScreen() const; // the window with objectName "Main"

private:
    bool lockFolder();
    void connectMenu();
    void showAbout();
    // The help about `page`: help.chm where the desktop has a viewer for
    // it, else the program's own help window at that page.
    void openHelp(const QString &page);
    void showHelpPages(const QString &page);
    void openBrowser();
    void openResults();
    void openArchive();
    void openPrintDialog();
    void openProblemEditor();
    ProblemEditor *createProblemEditor();
    void showMain();
    void backup();
    void checkIntegrity();
    void message(const QString &text);
    // The screens that exist now, besides the main screen.
    QList<QWidget *> secondaryScreens() const;
    // Saves and ends the program; false (the program stays) when saving failed.
    bool exitProgram();

    Platform &m_platform;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<FolderLock> m_lock;
    std::unique_ptr<MainScreen> m_main;
    std::unique_ptr<ChaptersScreen> m_chapters;
    QPointer<ProblemEditor> m_editor; // created at start-up; a frame close destroys it
    std::unique_ptr<AboutScreen> m_about;
    // Created on first use; a close from the frame destroys them.
    QPointer<ProblemBrowser> m_browser;
    QPointer<ResultsViewer> m_results;
    QPointer<ArchiveScreen> m_archive;
    QPointer<PrintDialog> m_print;
    std::unique_ptr<HelpWindow> m_helpWindow; // made on first use
    std::unique_ptr<HelpKey> m_helpKey;
    bool m_exited = false;
};

} // namespace culegere
