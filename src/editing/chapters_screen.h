#pragma once

#include "editing/chapter_rules.h"
#include "state/app_state.h"
#include "widgets/secondary_screen.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace culegere {

class Platform;

// The chapters screen "Adauga Capitol": adds, renames and deletes chapters.
// Created hidden at start-up, which fills its list; closing it only hides it.
class ChaptersScreen : public SecondaryScreen
{
    Q_OBJECT

public:
    ChaptersScreen(AppState &state, Platform &platform);

    // Lists the chapters' names, trimmed, in row order: entry p is row p + 2.
    // Done at start-up, before anything can be chosen.
    void fillFromCollection();
    const ChapterChoice &choice() const { return m_choice; }

signals:
    // Close: the problem editor offers the chapters anew.
    void closed();

protected:
    void closeSteps() override;

private:
    // The list's selection follows the choice, and the controls whether a
    // test is under way; every step that changes either ends here.
    void applyState();
    void entryChosen(QListWidgetItem *item);
    void addChapter();
    void deleteChapter();
    void renameChapter();
    void message(const QString &text, bool withCancel = false);

    AppState &m_state;
    Platform &m_platform;
    ChapterRules m_rules;
    ChapterChoice m_choice;

    QListWidget *m_chapterList = nullptr;
    QLineEdit *m_name = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_rename = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace culegere
