#include "widgets/answer_buttons.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace culegere {

AnswerButtons::AnswerButtons(QObject *owner) : m_group(new QButtonGroup(owner))
{
    const char letters[Count + 1] = "abcde";
    for (int k = 0; k < Count; ++k) {
        m_buttons[k] = new QRadioButton(QString(QLatin1Char(letters[k])));
        m_group->addButton(m_buttons[k], k);
    }
}

void AnswerButtons::showMarked(int variant)
{
    if (variant >= 0 && variant < Count)
        m_buttons[variant]->setChecked(true);
    else
        clear();
}

void AnswerButtons::clear()
{
    m_group->setExclusive(false);
    for (QRadioButton *button : m_buttons)
        button->setChecked(false);
    m_group->setExclusive(true);
}

} // namespace culegere
