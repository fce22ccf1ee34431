#include "archive/counting.h"

namespace culegere {

QString countText(qint64 n, Counted what)
{
    const bool times = what == Counted::Times;
    if (n == 1)
        return times ? QStringLiteral("o data") : QStringLiteral("1 test");
    const qint64 lastTwo = (n < 0 ? -n : n) % 100;
    const bool withDe = n != 0 && (lastTwo == 0 || lastTwo >= 20);
    const QString plural = QString::number(n) +
                           (withDe ? QStringLiteral(" de ") : QStringLiteral(" ")) +
                           (times ? QStringLiteral("ori") : QStringLiteral("teste"));
    return times ? QStringLiteral("de ") + plural : plural;
}

} // namespace culegere
