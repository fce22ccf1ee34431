#pragma once

#include "archive/test_table.h"
#include "state/app_state.h"
#include "widgets/secondary_screen.h"

class QChartView;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace culegere {

class Platform;

// The archive screen "Arhiva rezultatelor": every archived test, filtered by
// the pupil's name and a date range and sorted by any column; the chosen
// pupil's grades over time with their average; the per-problem statistics,
// hardest first; "Exporta" writes the rows shown to a CSV file. Opened from
// the results screen; a frame close destroys it.
class ArchiveScreen : public SecondaryScreen
{
    Q_OBJECT

public:
    ArchiveScreen(AppState &state, Platform &platform);

    // Reads the archive (opened, and the log taken over, on its first use)
    // and shows the screen; false, with a message, when it cannot be read.
    bool open();

signals:
    void closed();

protected:
    void closeSteps() override;

private:
    void applyFilter();
    void showPupil();
    void fillProblems();
    void exportShown();
    void message(const QString &text);

    AppState &m_state;
    Platform &m_platform;
    TestTable m_tests;
    QList<ProblemStats> m_problemStats; // hardest first
    bool m_problemsShown = false;       // the problems' table is filled

    QLineEdit *m_name = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_testTable = nullptr;
    QChartView *m_chart = nullptr;
    QLabel *m_average = nullptr;
    QTableWidget *m_problemTable = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace culegere
