#include "widgets/access_keys.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace culegere {

void giveAccessKeys(QWidget *screen, const QString &taken)
{
    QString used = taken.toUpper();
    // In the order Tab goes through them, push buttons first: their commands
    // matter more than options.
    QList<QAbstractButton *> buttons;
    for (QWidget *w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain()) {
        if (auto *button = qobject_cast<QAbstractButton *>(w);
            button && screen->isAncestorOf(button))
            buttons.append(button);
    }
    for (QAbstractButton *button : screen->findChildren<QAbstractButton *>()) {
        if (!buttons.contains(button))
            buttons.append(button);
    }
    std::stable_partition(buttons.begin(), buttons.end(), [](QAbstractButton *b) {
        return qobject_cast<QPushButton *>(b) != nullptr;
    });
    for (QAbstractButton *button : buttons) {
        // Buttons that only show something (the correction's marks) take no key.
        if (button->testAttribute(Qt::WA_TransparentForMouseEvents) ||
            !button->shortcut().isEmpty())
            continue;
        for (const QChar c : button->text().toUpper()) {
            if (c < u'A' || c > u'Z' || used.contains(c))
                continue;
            used += c;
            button->setShortcut(QKeySequence(Qt::ALT | Qt::Key(c.unicode())));
            button->setToolTip(QStringLiteral("Alt+%1").arg(c));
            break;
        }
    }
}

} // namespace culegere
