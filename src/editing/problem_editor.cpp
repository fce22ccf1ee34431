#include "editing/problem_editor.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace culegere {

ProblemEditor::ProblemEditor(AppState &state, Platform &platform)
    : m_state(state), m_platform(platform)
{
    setObjectName(QStringLiteral("frmSetProblema"));
    setWindowTitle(QStringLiteral("Seteaza problema"));
    m_combo1 = new QComboBox;
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_label2 = new QLabel(QStringLiteral("Nr total probleme:-----"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_combo1);
    layout->addWidget(m_label2);
    showProblemCount();
}

void ProblemEditor::clearChapters()
{
    m_combo1->clear();
}

void ProblemEditor::showProblemCount()
{
    m_label2->setText(QStringLiteral("Numar total probleme:  ") +
                      QString::number(m_state.collection.ProblemCount));
}

} // namespace culegere
