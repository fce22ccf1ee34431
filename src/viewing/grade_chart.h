#pragma once

#include "archive/result_archive.h"

#include <QString>

class QChart;

namespace culegere {

// The average grade of `tests` (0 when there are none).
double averageGrade(const QList<ArchiveRow> &tests);

// The chart's caption for a pupil: the name, the average and the count
// ("Ana: media 7,50 din 4 teste", "din 20 de teste"); a prompt when no pupil is chosen.
QString gradeCaption(const QString &pupil, const QList<ArchiveRow> &tests);

// Fills `chart` with the grades of `tests` over time (oldest first) and a
// line at their average; empty when there are none.
void drawGrades(QChart *chart, const QString &pupil, const QList<ArchiveRow> &tests);

} // namespace culegere
