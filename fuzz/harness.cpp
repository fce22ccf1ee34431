#include "harness.h"

#include "shell/application.h"
#include "store/codepage.h"
#include "store/collection_io.h"
#include "store/integrity.h"
#include "store/problem_paths.h"
#include "support/scripted_platform.h"
#include "viewing/browsing.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLocale>
#include <QWidget>
#include <QtEndian>

#include <cstring>
#include <memory>
#include <type_traits>

namespace culegere::fuzz {

QString targetName(Target target)
{
    switch (target) {
    case Target::Users:
        return QStringLiteral("users");
    case Target::Chapters:
        return QStringLiteral("chapters");
    case Target::Problems:
        return QStringLiteral("problems");
    case Target::Startup:
        return QStringLiteral("startup");
    }
    return {};
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

// Rows first..last of two tables hold the same bytes (bytes, so that a NaN
// date equals itself).
template <typename Table> int firstDifferentRow(const Table &a, const Table &b, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        if (a[row].encoded() != b[row].encoded())
            return row;
    }
    return 0;
}

QString compareInUse(const Collection &a, const Collection &b)
{
    if (a.ChapterCount != b.ChapterCount)
        return QStringLiteral("chapter count %1 came back as %2")
            .arg(a.ChapterCount)
            .arg(b.ChapterCount);
    if (a.ProblemCount != b.ProblemCount)
        return QStringLiteral("problem count %1 came back as %2")
            .arg(a.ProblemCount)
            .arg(b.ProblemCount);
    if (a.NextUserRecord != b.NextUserRecord)
        return QStringLiteral("next user record %1 came back as %2")
            .arg(a.NextUserRecord)
            .arg(b.NextUserRecord);
    if (int row = firstDifferentRow(a.ChapterTable, b.ChapterTable, Collection::FirstRow,
                                    a.lastChapterRow()))
        return QStringLiteral("chapter row %1 changed").arg(row);
    if (int row = firstDifferentRow(a.ProblemTable, b.ProblemTable, Collection::FirstRow,
                                    a.lastProblemRow()))
        return QStringLiteral("problem row %1 changed").arg(row);
    if (int row =
            firstDifferentRow(a.UserTable, b.UserTable, Collection::FirstRow, a.NextUserRecord - 1))
        return QStringLiteral("result row %1 changed").arg(row);
    return {};
}

// Collections kept from input to input: tables of 7001 problems made afresh
// for every input would spend most of each run on page faults.

// Makes a table what a new one is, in one block; true when it already was.
// Only for records without padding, whose bytes are all of their value.
template <typename Table> bool resetBlock(Table &table)
{
    using Row = std::remove_cvref_t<decltype(table[0])>;
    static_assert(std::has_unique_object_representations_v<Row>);
    static const Table fresh;
    const std::size_t size = sizeof(Row) * Table::RowCount;
    if (std::memcmp(&table[0], &fresh[0], size) == 0)
        return true;
    std::memcpy(&table[0], &fresh[0], size);
    return false;
}

// Makes `c` what a new Collection is; true when it already was.
bool resetCollection(Collection &c)
{
    static const Collection fresh;
    bool wasFresh = c.ChapterCount == fresh.ChapterCount && c.ProblemCount == fresh.ProblemCount &&
                    c.NextUserRecord == fresh.NextUserRecord && c.EditProblem == fresh.EditProblem;
    wasFresh &= resetBlock(c.ChapterTable);
    wasFresh &= resetBlock(c.ProblemTable);
    // Results by their bytes: a NaN date equals itself, -0 differs from 0.
    char freshBytes[UserRecord::Size];
    fresh.UserTable[0].encodeTo(freshBytes);
    for (int row = 0; row < UserTableRows::RowCount; ++row) {
        char bytes[UserRecord::Size];
        c.UserTable[row].encodeTo(bytes);
        if (std::memcmp(bytes, freshBytes, UserRecord::Size) != 0) {
            c.UserTable[row] = fresh.UserTable[row];
            wasFresh = false;
        }
    }
    c.ChapterCount = fresh.ChapterCount;
    c.ProblemCount = fresh.ProblemCount;
    c.NextUserRecord = fresh.NextUserRecord;
    c.EditProblem = fresh.EditProblem;
    return wasFresh;
}

// A new collection, one of three kept for the process.
Collection &freshCollection(std::size_t slot)
{
    static std::array<std::unique_ptr<Collection>, 3> pool;
    if (!pool.at(slot))
        pool.at(slot) = std::make_unique<Collection>();
    (void)resetCollection(*pool.at(slot));
    return *pool.at(slot);
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
    int previous = Collection::FirstRow - 1;
    for (const IntegrityReport::Missing &m : report.missing) {
        if (m.row <= previous || m.row > c.lastProblemRow())
            return QStringLiteral("integrity names row %1 after row %2").arg(m.row).arg(previous);
        previous = m.row;
    }
    return {};
}

} // namespace

QString checkDataFile(Target file, QByteArrayView bytes)
{
    std::array<QByteArray, 3> files; // users, chapters, problems
    files[static_cast<std::size_t>(file)] = bytes.toByteArray();
    const QByteArray &users = files[0];
    const QByteArray &chapters = files[1];
    const QByteArray &problems = files[2];

    const StoreResult headers = checkHeaders(users, chapters, problems);
    Collection &loaded = freshCollection(0);
    const StoreResult load = loadCollection(users, chapters, problems, loaded);
    if (headers.ok() != load.ok() || headers.error != load.error)
        return QStringLiteral("checkHeaders and loadCollection disagree (%1, %2)")
            .arg(int(headers.error))
            .arg(int(load.error));
    if (!load.ok())
        return resetCollection(loaded) ? QString()
                                       : QStringLiteral("a refused load changed the collection");

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
    if (QString diff = compareInUse(c, again); !diff.isEmpty())
        return QStringLiteral("through the exit's files: ") + diff;
    if (usersFileWithHeader(users2, again.NextUserRecord) != users2 ||
        chaptersFileForExit(chapters2, again) != chapters2 ||
        problemsFileForExit(problems2, again) != problems2)
        return QStringLiteral("the exit's files change when written again unchanged");

    return checkTextsAndViews(loaded);
}

StartupFiles splitStartupInput(QByteArrayView input)
{
    auto length = [&](qsizetype at) -> qsizetype {
        uchar bytes[2] = {0, 0};
        for (qsizetype i = 0; i < 2 && at + i < input.size(); ++i)
            bytes[i] = uchar(input[at + i]);
        return qFromLittleEndian<quint16>(bytes);
    };
    const qsizetype usersLength = length(0);
    const qsizetype chaptersLength = length(2);
    QByteArrayView rest = input.size() > 4 ? input.sliced(4) : QByteArrayView();
    auto take = [&rest](qsizetype n) {
        const QByteArrayView part = rest.first(std::min(n, rest.size()));
        rest = rest.sliced(part.size());
        return part.toByteArray();
    };
    StartupFiles files;
    files.users = take(usersLength);
    files.chapters = take(chaptersLength);
    files.problems = rest.toByteArray();
    return files;
}

QByteArray joinStartupInput(const StartupFiles &files)
{
    const QByteArray users = files.users.left(0xFFFF);
    const QByteArray chapters = files.chapters.left(0xFFFF);
    QByteArray out(4, '\0');
    qToLittleEndian<quint16>(quint16(users.size()), out.data());
    qToLittleEndian<quint16>(quint16(chapters.size()), out.data() + 2);
    return out + users + chapters + files.problems;
}

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

StartupRun::StartupRun()
{
    if (!m_dir.isValid())
        qFatal("cannot make a temporary application folder");
    // Two pictures (the names matter, not the contents) for the integrity check.
    QDir(m_dir.path()).mkpath(QStringLiteral("probleme"));
    (void)writeFile(m_dir.filePath(QStringLiteral("probleme/probl00001.jpg")), {});
    (void)writeFile(m_dir.filePath(QStringLiteral("probleme/PROBL00002.JPG")), {});
}

QString StartupRun::check(QByteArrayView input)
{
    const StartupFiles files = splitStartupInput(input);
    const std::array<std::pair<QString, const QByteArray *>, 3> written = {{
        {m_dir.filePath(datafile::Users), &files.users},
        {m_dir.filePath(datafile::Chapters), &files.chapters},
        {m_dir.filePath(datafile::Problems), &files.problems},
    }};
    for (const auto &[path, bytes] : written) {
        if (!writeFile(path, *bytes))
            qFatal("cannot write %s", qPrintable(path));
    }
    Collection &expected = freshCollection(0);
    const bool loads = loadCollection(files.users, files.chapters, files.problems, expected).ok();

    QString finding;
    // Every box is answered with OK, every input box with Cancel.
    test::ScriptedPlatform platform;
    {
        Application app(m_dir.path(), platform);
        const bool started = app.start();
        if (started != loads) {
            finding = started ? QStringLiteral("the start-up accepted files loadCollection refuses")
                              : QStringLiteral("the start-up refused files loadCollection accepts");
        } else if (started) {
            QWidget *main = app.mainScreen();
            auto *integrity = main->findChild<QAction *>(QStringLiteral("mnuTesteazaIntegritate"));
            if (!integrity)
                qFatal("no menu item mnuTesteazaIntegritate");
            integrity->trigger();
            if (!main->close())
                finding = QStringLiteral("the exit failed in a writable folder");
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!finding.isEmpty())
        return finding;

    const QByteArray users = readFile(written[0].first);
    const QByteArray chapters = readFile(written[1].first);
    const QByteArray problems = readFile(written[2].first);
    if (!loads) {
        if (users != files.users || chapters != files.chapters || problems != files.problems)
            return QStringLiteral("a refused start-up changed the files");
        return {};
    }
    Collection &after = freshCollection(1);
    if (const StoreResult r = loadCollection(users, chapters, problems, after); !r.ok())
        return QStringLiteral("the files the exit left are refused (error %1, %2)")
            .arg(int(r.error))
            .arg(r.fileName);
    if (after.ChapterCount != expected.ChapterCount ||
        after.ProblemCount != expected.ProblemCount ||
        after.NextUserRecord != expected.NextUserRecord)
        return QStringLiteral("the exit changed the counts");
    return {};
}

QString checkInput(Target target, QByteArrayView input)
{
    if (target != Target::Startup)
        return checkDataFile(target, input);
    static StartupRun run;
    return run.check(input);
}

} // namespace culegere::fuzz
