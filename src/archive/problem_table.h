#pragma once

#include "archive/archived_test.h"

#include <QList>
#include <QStringList>

namespace culegere {

// The per-problem statistics as the archive screen lists them: hardest
// first (the smallest share answered right), then the most drawn, then by
// index.
QList<ProblemStats> hardestFirst(QList<ProblemStats> stats);

// Their columns' titles and lines of text (the share as a percentage with
// a decimal comma, "58,3").
QStringList problemHeaderText();
QStringList problemLineText(const ProblemStats &stats);

} // namespace culegere
