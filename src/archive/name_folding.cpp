#include "archive/name_folding.h"

namespace culegere {

QString foldName(const QString &name)
{
    // Decomposed, a letter with a diacritic is the letter and a combining
    // mark, which is dropped; the cedilla and comma-below forms of s and t
    // both fold to the plain letter.
    const QString decomposed = name.trimmed().toLower().normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded;
}

} // namespace culegere
