#include "viewing/browsing.h"

#include "archive/counting.h"

namespace culegere {

namespace {
constexpr int kTenStepMinimum = 12;
} // namespace

std::optional<int> browseMove(BrowseMove move, int position, int count, bool chapterInBox)
{
    switch (move) {
    case BrowseMove::Previous:
        if (!chapterInBox || count < 1)
            return std::nullopt;
        return position - 1 < 0 ? count - 1 : position - 1;
    case BrowseMove::Next:
        if (!chapterInBox || count < 1)
            return std::nullopt;
        return position + 1 >= count ? 0 : position + 1;
    case BrowseMove::TenBack:
        if (count < kTenStepMinimum)
            return std::nullopt;
        return position - 10 < 0 ? count - 1 + (position - 10) : position - 10;
    case BrowseMove::TenForward:
        if (count < kTenStepMinimum)
            return std::nullopt;
        return position + 10 >= count ? (position + 9) % 10 : position + 10;
    }
    return std::nullopt;
}

QString resultLine(const UserRecord &result, const QLocale &locale)
{
    // A name never written holds NUL bytes; they show as blanks.
    QString name = result.Name.text();
    for (QChar &c : name) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    const QString separator = QStringLiteral("--");
    return name + separator + locale.toString(serialToDate(result.TestDate), QLocale::ShortFormat) +
           separator + QString::number(result.ElapsedTicks) + separator +
           QString::number(result.Grade);
}

QString statisticsLine(const QHash<QString, ProblemStats> &stats, const QString &problemIndex)
{
    const auto found = stats.constFind(problemIndex);
    if (found == stats.constEnd() || found->drawn == 0)
        return QStringLiteral("Nu a fost extrasa inca");
    return QStringLiteral("Extrasa %1, rezolvata corect %2")
        .arg(countText(found->drawn, Counted::Times),
             countText(found->answeredRight, Counted::Times));
}

} // namespace culegere
