#pragma once

#include "archive/problem_table.h"
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

namespace culegere {

class Platform;
class ProblemModel;

// The archive screen "Arhiva rezultatelor": every archived test, filtered by
// the pupil's name and a date range and sorted by any column; the chosen
// pupil's grades over time with their average, both of the tests shown; the
// per-problem statistics of the date range, hardest first, with how often
// each letter was marked; "Exporta" writes the tab's rows to a CSV file.
// Opened from the results screen; resizable; a frame close destroys it.
// Everything is read once, at opening (the positions when the problems' tab
// is first shown); the filters and orders work in memory.
class ArchiveScreen : public SecondaryScreen
{
    Q_OBJECT

public:
    ArchiveScreen(AppState &state, Platform &platform);
    ~ArchiveScreen() override;

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
    void showSummary();
    void tabChosen(int tab);
    void countProblems();
    void exportShown();
    void message(const QString &text);
    // A failed read: told, the archive let go.
    void readFailed(const ArchiveResult &why);

    AppState &m_state;
    Platform &m_platform;
    TestTable m_tests;
    std::unique_ptr<ProblemModel> m_problems;
    ArchivedMarks m_marks;
    std::vector<int> m_rowOfMark;
    bool m_marksRead = false;

    QLineEdit *m_name = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLabel *m_summary = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_testTable = nullptr;
    QChartView *m_chart = nullptr;
    QLabel *m_average = nullptr;
    QTableView *m_problemTable = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace culegere
