#pragma once

#include <QPushButton>
#include <QString>

namespace culegere {

// A control with its name, the name by which the program's screens and the
// tests outside it find the control.
template <typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

inline QPushButton *namedButton(const QString &name, const QString &caption)
{
    return named(new QPushButton(caption), name);
}

} // namespace culegere
