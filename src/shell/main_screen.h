#pragma once

#include <QMainWindow>

#include <functional>

class QAction;
class QMenu;

namespace culegere {

struct AppState;
class Platform;
class PictureBox;
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

    QAction *mnuSeteazaProbl = nullptr;
    QAction *mnuAddCap = nullptr;
    QAction *mnuRezultate = nullptr;
    QAction *mnuRezolva = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuBackup = nullptr;
    QAction *mnuTesteazaIntegritate = nullptr;
    QAction *mnuHiphen = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuUtilizare = nullptr;
    QAction *mnuDespre = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void setEditingMenusEnabled(bool enabled);

    TestArea *m_testArea = nullptr;
    PictureBox *m_picture4 = nullptr;
    std::function<bool()> m_exitHandler;
};

} // namespace culegere
