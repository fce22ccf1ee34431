#pragma once

#include <QApplication>
#include <QWidget>

namespace culegere::test {

// The top-level screen with that objectName, or nullptr.
inline QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name)
            return w;
    }
    return nullptr;
}

// The objectNames of the visible top-level screens.
inline QStringList visibleTopLevels()
{
    QStringList names;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !w->objectName().isEmpty())
            names.append(w->objectName());
    }
    return names;
}

// The descendant of `parent` with that objectName; fails the program when
// there is none, so a renamed control cannot pass unnoticed.
template <typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent ? parent->findChild<T *>(name) : nullptr;
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

} // namespace culegere::test
