#include "archive/problem_table.h"

#include "archive/csv.h"

#include <algorithm>

namespace culegere {

QList<ProblemStats> hardestFirst(QList<ProblemStats> stats)
{
    std::sort(stats.begin(), stats.end(), [](const ProblemStats &a, const ProblemStats &b) {
        // Compared as fractions, so equal shares are equal exactly.
        const qint64 left = qint64(a.answeredRight) * b.drawn;
        const qint64 right = qint64(b.answeredRight) * a.drawn;
        if (left != right)
            return left < right;
        if (a.drawn != b.drawn)
            return a.drawn > b.drawn;
        return a.problemIndex < b.problemIndex;
    });
    return stats;
}

QStringList problemHeaderText()
{
    return {QStringLiteral("Problema"), QStringLiteral("Capitol"), QStringLiteral("Extrasa"),
            QStringLiteral("Rezolvata corect"), QStringLiteral("Procent corect")};
}

QStringList problemLineText(const ProblemStats &stats)
{
    return {stats.problemIndex, stats.chapter, QString::number(stats.drawn),
            QString::number(stats.answeredRight), decimalText(100.0 * stats.shareRight(), 1)};
}

} // namespace culegere
