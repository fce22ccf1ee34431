#pragma once

#include <QMainWindow>

#include <functional>

class QAction;
class QMenu;

namespace culegere {

struct AppState;
class Platform;
class TestArea;

// The main screen "Test.....": the test area and the program's only menu.
class MainScreen : public QMainWindow
{
    Q_OBJECT

public:
    MainScreen(AppState &state, Platform &platform);

    // Start-up state of the controls and the menu.
    void applyStartupState();

    // Asked when the screen is closed (menu Exit or the close box); the
    // screen closes only when it returns true.
    void setExitHandler(std::function<bool()> handler) { m_exitHandler = std::move(handler); }

    TestArea *testArea() const { return m_testArea; }

    // The menu's items; the program connects what they open.
    struct Menu
    {
        QAction *editProblems = nullptr;
        QAction *editChapters = nullptr;
        QAction *viewResults = nullptr;
        QAction *viewProblems = nullptr;
        QAction *print = nullptr;
        QAction *backup = nullptr;
        QAction *checkIntegrity = nullptr;
        QAction *divider = nullptr; // a plain item standing as a divider
        QAction *exit = nullptr;
        QAction *help = nullptr;
        QAction *about = nullptr;
    };
    const Menu &menu() const { return m_menu; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void setEditingMenusEnabled(bool enabled);

    TestArea *m_testArea = nullptr;
    Menu m_menu;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    std::function<bool()> m_exitHandler;
};

} // namespace culegere
