#pragma once

#include "state/app_state.h"
#include "widgets/secondary_screen.h"

class QListWidget;
class QPushButton;

namespace culegere {

class Platform;

// The results screen "Rezultate": one line per stored result, oldest first;
// "Arhiva" leads to the archive of every result.
// Created on first use (with its cue); a frame close destroys it.
class ResultsViewer : public SecondaryScreen
{
    Q_OBJECT

public:
    ResultsViewer(AppState &state, Platform &platform);

    // Lists the log's results and shows the screen.
    void open();

signals:
    void closed();
    // "Arhiva": the teacher asks for the archive screen.
    void archiveAsked();

protected:
    void closeSteps() override;

private:
    AppState &m_state;
    Platform &m_platform;
    QListWidget *m_results = nullptr;
    QPushButton *m_archive = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace culegere
