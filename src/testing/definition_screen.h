#pragma once

#include "state/app_state.h"
#include "testing/definition_rules.h"

#include "widgets/secondary_screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace culegere {

class Platform;

// The definition screen "Defineste Test": the next test is drawn from the
// whole collection, or a given number of problems from each chosen chapter,
// nine in all. Created on its first opening; "Ok" hides it, a close from the
// frame acts as "Ok" and then destroys it.
class DefinitionScreen : public SecondaryScreen
{
    Q_OBJECT

public:
    DefinitionScreen(AppState &state, Platform &platform);

    // The screen's part of the opening: whole collection selected, every
    // chapter offered, "Ok" disabled, the screen shown.
    void open();

signals:
    // "Ok" or a frame close, after the list is emptied and before the cue:
    // the main screen takes the definition over.
    void finished();

protected:
    void closeSteps() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void modeChosen(bool perChapter);
    // The controls that can be used follow from the editor's state alone;
    // every step that changes it ends here.
    void applyState();
    void lineChosen(int index);
    void validateCombo();
    void addChapter();
    void setDefinition();
    void fillCombo();

    AppState &m_state;
    Platform &m_platform;
    DefinitionEditor m_editor;

    QRadioButton *m_wholeCollection = nullptr;
    QRadioButton *m_perChapter = nullptr;
    QLabel *m_chapterPrompt = nullptr;
    QComboBox *m_chapterBox = nullptr;
    QScrollBar *m_countBar = nullptr;
    QLineEdit *m_count = nullptr;
    QPushButton *m_set = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_ok = nullptr;
    QListWidget *m_chapterList = nullptr;
};

} // namespace culegere
