#include "harness.h"

#include "store/codepage.h"
#include "store/collection_io.h"
#include "store/integrity.h"
#include "store/problem_paths.h"
#include "support/driver.h"
#include "viewing/browsing.h"

#include <QLocale>
#include <QtEndian>

#include <memory>

namespace culegere::fuzz {

QString targetName(Target target)
{
    static const char *const names[] = {"users", "chapters", "problems", "startup"};
    return QString::fromLatin1(names[static_cast<int>(target)]);
}

namespace {

// Picture names for the integrity check: plain, in capitals, with a letter of
// the code page, without an index, and with a NUL in the index.
const QStringList kPictures = {QStringLiteral("probl00001.jpg"),
                               QStringLiteral("PROBL00002.JPG"),
                               QStringLiteral("probl0000\u0103.jpg"),
                               QStringLiteral(".jpg"),
                               QStringLiteral("x.jpg"),
                               QStringLiteral("probl000") + QChar(u'\0') + QStringLiteral("3.jpg")};

// The rows of two tables hold the same bytes, as the files hold them (so
// that a NaN date equals itself); rows `first`..`last`.
template <typename Table> bool sameRows(const Table &a, const Table &b, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        if (a[row].encoded() != b[row].encoded())
            return false;
    }
    return true;
}

// The counts and the rows in use of two collections agree.
bool sameInUse(const Collection &a, const Collection &b)
{
    return a.ChapterCount == b.ChapterCount && a.ProblemCount == b.ProblemCount &&
           a.NextUserRecord == b.NextUserRecord &&
           sameRows(a.ChapterTable, b.ChapterTable, Collection::FirstRow, a.lastChapterRow()) &&
           sameRows(a.ProblemTable, b.ProblemTable, Collection::FirstRow, a.lastProblemRow()) &&
           sameRows(a.UserTable, b.UserTable, Collection::FirstRow, a.NextUserRecord - 1);
}

// Two collections kept from input to input: tables of 7001 problems made
// afresh for every input would spend most of each run on page faults.
Collection &freshCollection(std::size_t slot)
{
    static const auto blank = std::make_unique<const Collection>();
    static std::array<std::unique_ptr<Collection>, 2> kept = {std::make_unique<Collection>(),
                                                              std::make_unique<Collection>()};
    *kept.at(slot) = *blank;
    return *kept.at(slot);
}

// Every byte of a text read from a file must survive the way through a
// screen (decoded to text, encoded back).
template <int N> bool survivesScreens(const FixedText<N> &text)
{
    return encodeCp1250(text.text()) == text.bytes();
}

// The exit keeps the records past the ones it writes, byte for byte.
bool keepsTail(const QByteArray &old, const QByteArray &written, qsizetype from)
{
    return old.size() <= from || written.mid(from) == old.mid(from);
}

QString checkTextsAndViews(Collection &c)
{
    const QLocale romanian(QLocale::Romanian, QLocale::Romania);
    for (int row = Collection::FirstRow; row <= c.NextUserRecord; ++row) {
        const UserRecord &r = c.UserTable[row];
        const QString line = resultLine(r, romanian);
        if (line.mid(FixedText<30>::Width, 2) != QStringLiteral("--"))
            return QStringLiteral("result line of row %1 does not keep 30 name characters")
                .arg(row);
        if (row < c.NextUserRecord && !survivesScreens(r.Name))
            return QStringLiteral("name of result row %1 does not survive a decode").arg(row);
    }
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
        const FixedText<100> &name = c.ChapterTable[row].Name;
        if (!survivesScreens(name))
            return QStringLiteral("name of chapter row %1 does not survive a decode").arg(row);
        for (const qint16 listed : chapterRows(c, name)) {
            if (listed < Collection::FirstRow || listed > c.lastProblemRow() ||
                c.ProblemTable[listed].Chapter.Name != name)
                return QStringLiteral("chapter row %1 lists problem row %2").arg(row).arg(listed);
        }
    }
    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
        const ProblemRecord &p = c.ProblemTable[row];
        if (!survivesScreens(p.ImagePath) || !survivesScreens(p.Chapter.Name))
            return QStringLiteral("a text of problem row %1 does not survive a decode").arg(row);
        (void)problemImagePath(QStringLiteral("/tmp/culegere"), p.ImagePath);
    }

    // Without pictures every problem misses its own; then with a few.
    const IntegrityReport none = checkIntegrity(c, {});
    if (none.missing.size() != c.ProblemCount)
        return QStringLiteral("integrity without pictures: %1 of %2 problems missing")
            .arg(none.missing.size())
            .arg(c.ProblemCount);
    const IntegrityReport report = checkIntegrity(c, kPictures);
    if (report.problemCount != c.ProblemCount)
        return QStringLiteral("integrity counts %1 problems of %2")
            .arg(report.problemCount)
            .arg(c.ProblemCount);
    for (const IntegrityReport::Missing &m : report.missing) {
        if (m.row < Collection::FirstRow || m.row > c.lastProblemRow())
            return QStringLiteral("integrity names row %1").arg(m.row);
    }
    return {};
}

// The three data files: the headers checked and the files loaded; a
// collection that loads comes back the same through the files the exit
// writes, which do not change when written again unchanged.
QString checkFiles(const QByteArray &users, const QByteArray &chapters, const QByteArray &problems)
{
    const StoreResult headers = checkHeaders(users, chapters, problems);
    Collection &loaded = freshCollection(0);
    const StoreResult load = loadCollection(users, chapters, problems, loaded);
    if (headers.ok() != load.ok() || headers.error != load.error)
        return QStringLiteral("checkHeaders and loadCollection disagree (%1, %2)")
            .arg(int(headers.error))
            .arg(int(load.error));
    if (!load.ok())
        return sameInUse(loaded, freshCollection(1))
                   ? QString()
                   : QStringLiteral("a refused load changed the counts");

    const Collection &c = loaded;
    const QByteArray users2 = usersFileWithHeader(users, c.NextUserRecord);
    const QByteArray chapters2 = chaptersFileForExit(chapters, c);
    const QByteArray problems2 = problemsFileForExit(problems, c);
    if (!keepsTail(users, users2, UserRecord::Size) ||
        !keepsTail(chapters, chapters2, qsizetype(c.lastChapterRow()) * ChapterRecord::Size) ||
        !keepsTail(problems, problems2, qsizetype(c.lastProblemRow()) * ProblemRecord::Size))
        return QStringLiteral("the exit's files lost records past the ones in use");

    Collection &again = freshCollection(1);
    if (const StoreResult r = loadCollection(users2, chapters2, problems2, again); !r.ok())
        return QStringLiteral("the exit's files are refused (error %1, %2)")
            .arg(int(r.error))
            .arg(r.fileName);
    if (!sameInUse(c, again))
        return QStringLiteral("the exit's files load back otherwise");
    if (test::countersBreak(c).isEmpty() && !test::countersBreak(again).isEmpty())
        return QStringLiteral("the exit broke the counters: ") + test::countersBreak(again);
    if (usersFileWithHeader(users2, again.NextUserRecord) != users2 ||
        chaptersFileForExit(chapters2, again) != chapters2 ||
        problemsFileForExit(problems2, again) != problems2)
        return QStringLiteral("the exit's files change when written again unchanged");

    return checkTextsAndViews(loaded);
}

std::array<QByteArray, 3> splitStartupInput(QByteArrayView input)
{
    auto length = [&](qsizetype at) -> qsizetype {
        uchar bytes[2] = {0, 0};
        for (qsizetype i = 0; i < 2 && at + i < input.size(); ++i)
            bytes[i] = uchar(input[at + i]);
        return qFromLittleEndian<quint16>(bytes);
    };
    QByteArrayView rest = input.size() > 4 ? input.sliced(4) : QByteArrayView();
    auto take = [&rest](qsizetype n) {
        const QByteArrayView part = rest.first(std::min(n, rest.size()));
        rest = rest.sliced(part.size());
        return part.toByteArray();
    };
    const QByteArray users = take(length(0));
    const QByteArray chapters = take(length(2));
    return {users, chapters, rest.toByteArray()};
}

} // namespace

QString checkInput(Target target, QByteArrayView input)
{
    std::array<QByteArray, 3> files; // users, chapters, problems
    if (target == Target::Startup)
        files = splitStartupInput(input);
    else
        files[static_cast<std::size_t>(target)] = input.toByteArray();
    return checkFiles(files[0], files[1], files[2]);
}

} // namespace culegere::fuzz
