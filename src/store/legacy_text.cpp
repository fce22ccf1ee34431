#include "store/legacy_text.h"

namespace culegere {

QString stripNull(QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QByteArray stripNull(QByteArray &text)
{
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QString numberText(qint64 number)
{
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}

} // namespace culegere
