#pragma once

#include "testing/app_state.h"

#include <QWidget>

class QComboBox;
class QLabel;

namespace culegere {

class Platform;

// The problem editor "Seteaza problema": catalogues problem pictures.
// Created hidden at start-up, after the catalogue is loaded.
class ProblemEditor : public QWidget
{
    Q_OBJECT

public:
    ProblemEditor(AppState &state, Platform &platform);

    void clearChapters();
    void showProblemCount();

private:
    AppState &m_state;
    Platform &m_platform;
    QComboBox *m_combo1 = nullptr;
    QLabel *m_label2 = nullptr;
};

} // namespace culegere
