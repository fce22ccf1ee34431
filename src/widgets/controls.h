#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>
#include <utility>

class QComboBox;

namespace culegere {

// Names controls: the names by which the program's tests, and the tests
// outside it, find a screen's controls. Each screen names all of its
// controls in one block, so the names stand in one place.
using ControlName = std::pair<QObject *, const char *>;
void nameControls(std::initializer_list<ControlName> names);

// Names the elements of a control array: element k is `<name>_<k>`.
template <typename W, std::size_t N>
void nameElements(const std::array<W *, N> &elements, const char *name)
{
    for (std::size_t k = 0; k < N; ++k)
        elements[k]->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(k));
}

// Offers `lines` in a combo box, none of them chosen and its text empty.
void offerChoices(QComboBox *box, const QStringList &lines);

} // namespace culegere
