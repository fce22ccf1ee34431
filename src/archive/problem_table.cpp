#include "archive/problem_table.h"

#include "archive/csv.h"

#include <algorithm>

namespace culegere {

namespace {
const QString kLetters = QStringLiteral("abcde");
}

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

std::vector<int> rowsOfMarks(const ArchivedMarks &marks, const QList<ArchiveRow> &rows)
{
    std::vector<int> rowOf;
    rowOf.reserve(size_t(marks.marks.size()));
    int row = 0;
    for (const ArchivedMarks::Mark &mark : marks.marks) {
        while (row < rows.size() && rows[row].id < mark.testId)
            ++row;
        rowOf.push_back(row < rows.size() && rows[row].id == mark.testId ? row : -1);
    }
    return rowOf;
}

QList<ProblemStats> countProblems(const ArchivedMarks &marks, const std::vector<int> &rowOfMark,
                                  const std::vector<char> &counted)
{
    std::vector<ProblemStats> byProblem(size_t(marks.problems.size()));
    std::vector<int> chapterOf(byProblem.size(), 0);
    for (qsizetype i = 0; i < marks.marks.size(); ++i) {
        const int row = rowOfMark[size_t(i)];
        if (row < 0 || !counted[size_t(row)])
            continue;
        const ArchivedMarks::Mark &mark = marks.marks[i];
        ProblemStats &stats = byProblem[size_t(mark.problem)];
        ++stats.drawn;
        stats.answeredRight += mark.marked == mark.correct;
        if (mark.marked >= 0 && mark.marked < 5)
            ++stats.marked[size_t(mark.marked)];
        stats.correct = mark.correct;
        chapterOf[size_t(mark.problem)] = mark.chapter;
    }
    QList<ProblemStats> drawn;
    for (size_t p = 0; p < byProblem.size(); ++p) {
        if (byProblem[p].drawn == 0)
            continue;
        byProblem[p].problemIndex = marks.problems[qsizetype(p)];
        byProblem[p].chapter = marks.chapters.value(chapterOf[p]);
        drawn.append(std::move(byProblem[p]));
    }
    return drawn;
}

QStringList problemHeaderText()
{
    return {QStringLiteral("Problema"),
            QStringLiteral("Capitol"),
            QStringLiteral("Extrasa"),
            QStringLiteral("Rezolvata corect"),
            QStringLiteral("Procent corect"),
            QStringLiteral("Raspuns corect"),
            QStringLiteral("a"),
            QStringLiteral("b"),
            QStringLiteral("c"),
            QStringLiteral("d"),
            QStringLiteral("e")};
}

QStringList problemLineText(const ProblemStats &stats)
{
    QStringList line{stats.problemIndex,
                     stats.chapter,
                     QString::number(stats.drawn),
                     QString::number(stats.answeredRight),
                     decimalText(100.0 * stats.shareRight(), 1),
                     stats.correct >= 0 && stats.correct < 5 ? QString(kLetters[stats.correct])
                                                             : QString()};
    for (const int times : stats.marked)
        line.append(QString::number(times));
    return line;
}

} // namespace culegere
