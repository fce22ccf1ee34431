#include "widgets/controls.h"

#include <QComboBox>

namespace culegere {

void nameControls(std::initializer_list<ControlName> names)
{
    for (const auto &[control, name] : names)
        control->setObjectName(QLatin1String(name));
}

void offerChoices(QComboBox *box, const QStringList &lines)
{
    box->clear();
    box->addItems(lines);
    box->setCurrentIndex(-1);
    box->clearEditText();
}

} // namespace culegere
