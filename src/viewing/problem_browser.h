#pragma once

#include "state/app_state.h"
#include "viewing/browsing.h"
#include "widgets/secondary_screen.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace culegere {

class Platform;
class PictureBox;

// The problem browser "Rezolva/capitol/categorie": pages through the
// pictures of one chapter, one or ten at a time. It only reads the
// collection. Created on first use; a frame close destroys it.
class ProblemBrowser : public SecondaryScreen
{
    Q_OBJECT

public:
    ProblemBrowser(AppState &state, Platform &platform);

    // The opening: every chapter offered, the moves off until one is loaded.
    void open();

signals:
    void closed();

protected:
    void closeSteps() override;

private:
    void chapterChosen();
    void loadChapter();
    void move(BrowseMove move);
    void showProblem();
    void setMovesEnabled(bool enabled);
    // A test under way closes the screen for all but Ok; once it ends a
    // chapter can be loaded again.
    void followTest();

    AppState &m_state;
    Platform &m_platform;

    FixedText<100> m_loadedChapter;
    std::vector<qint16> m_rowList;             // the loaded chapter's rows, as listed
    QHash<QString, ProblemStats> m_statistics; // the archive's, by problem index
    bool m_statisticsKnown = false;            // the archive was read, or there is none
    int m_position = 0;

    QLabel *m_chapterLabel = nullptr;
    QComboBox *m_chapterBox = nullptr;
    QPushButton *m_loadChapter = nullptr;
    PictureBox *m_picture = nullptr;
    QLabel *m_statisticsLine = nullptr;
    QLabel *m_positionText = nullptr;
    QPushButton *m_previous = nullptr;   // <--1
    QPushButton *m_next = nullptr;       // 1-->
    QPushButton *m_tenBack = nullptr;    // <==10
    QPushButton *m_tenForward = nullptr; // 10==>
    QPushButton *m_ok = nullptr;
};

} // namespace culegere
