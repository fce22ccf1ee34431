#pragma once

#include "testing/app_state.h"

#include <QWidget>

class QListWidget;

namespace culegere {

class Platform;

// The chapters screen "Adauga Capitol": adds, renames and deletes chapters.
// Created hidden at start-up, which fills its list.
class ChaptersScreen : public QWidget
{
    Q_OBJECT

public:
    ChaptersScreen(AppState &state, Platform &platform);

    // Lists the chapters' names, trimmed, in row order: entry p is row p + 2.
    void fillFromCollection();

private:
    AppState &m_state;
    Platform &m_platform;
    QListWidget *m_listCap = nullptr;
};

} // namespace culegere
