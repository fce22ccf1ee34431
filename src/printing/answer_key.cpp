#include "printing/answer_key.h"

#include "store/problem_paths.h"

#include <QFileInfo>

namespace culegere {

QList<KeyRow> answerKeyRows(const Collection &collection, const std::array<qint16, 10> &rows)
{
    QList<KeyRow> key;
    for (int i = 0; i < CurrentTest::Size; ++i) {
        const int row = rows[i];
        if (row < Collection::FirstRow || row > collection.lastProblemRow()) {
            key.append(KeyRow());
            continue;
        }
        const ProblemRecord &problem = collection.ProblemTable[row];
        const QString picture =
            QFileInfo(problemImagePath(QString(), problem.ImagePath)).completeBaseName();
        const qint16 answer = problem.CorrectAnswer;
        key.append({picture.mid(5), problem.Chapter.Name.trimmedText(),
                    answer >= 0 && answer <= 4 ? QString(QChar(u'a' + answer)) : QString()});
    }
    return key;
}

} // namespace culegere
