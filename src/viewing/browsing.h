#pragma once

#include "archive/archived_test.h"
#include "store/collection.h"

#include <QHash>

#include <QLocale>
#include <QString>

#include <optional>

namespace culegere {

// The four moves of the problem browser.
enum class BrowseMove { Previous, Next, TenBack, TenForward };

// The position a move leads to among `count` listed problems, or nothing when
// its condition fails: the single steps need a chapter in the box and a
// listed problem, the ten-steps at least 12 problems. Steps past either end
// wrap: one back from 0 is the last; ten back from p < 10 is
// count - 1 + (p - 10); ten forward past the end is (p + 9) mod 10.
std::optional<int> browseMove(BrowseMove move, int position, int count, bool chapterInBox);

// A line of the results list: the name with all 30 characters, the date in
// the locale's short form, the stopwatch count and the grade, joined by "--".
QString resultLine(const UserRecord &result, const QLocale &locale);

// The browser's line under a problem: how often the archive saw it drawn
// and answered right ("Extrasa de 12 ori, rezolvata corect o data"); "Nu a
// fost extrasa inca" when it has no data for `problemIndex`.
QString statisticsLine(const QHash<QString, ProblemStats> &stats, const QString &problemIndex);

} // namespace culegere
