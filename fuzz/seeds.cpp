#include "seeds.h"

#include "store/collection_io.h"
#include "store/problem_paths.h"

#include <QDate>

#include <algorithm>

#include <memory>

namespace culegere::fuzz {

namespace {

struct Files
{
    QByteArray users;
    QByteArray chapters;
    QByteArray problems;
};

void addChapter(Collection &c, const QString &name, qint16 problemTotal)
{
    ++c.ChapterCount;
    ChapterRecord &row = c.ChapterTable[c.lastChapterRow()];
    row.Name.setText(name);
    row.ProblemTotal = problemTotal;
}

void addProblem(Collection &c, const QString &chapter, int index, qint16 answer,
                const QString &appPath)
{
    ++c.ProblemCount;
    ProblemRecord &row = c.ProblemTable[c.lastProblemRow()];
    row.ImagePath = cataloguePath(appPath, QStringLiteral("%1").arg(index, 5, 10, QChar(u'0')));
    row.Chapter.Name.setText(chapter);
    row.CorrectAnswer = answer;
}

void addResults(Collection &c, int count)
{
    static const char *const names[] = {"Popescu Ana", "Ionescu Mihai", "NoName", "Dumitru Ioana"};
    for (int i = 0; i < count; ++i) {
        UserRecord r;
        r.Name.assign(names[i % 4]);
        r.Grade = qint16(1 + i % 10);
        r.ElapsedTicks = qint16(40 + 7 * i);
        r.TestDate = dateToSerial(QDate(2025, 9, 15).addDays(i));
        (void)appendToLog(c.UserTable, c.NextUserRecord, r);
    }
}

// The files of `c` as the program leaves them: the exit's files, the results
// in records 2 .. NextUserRecord - 1.
Files filesOf(const Collection &c)
{
    Files f;
    f.chapters = chaptersFileForExit({}, c);
    f.problems = problemsFileForExit({}, c);
    f.users = usersFileWithHeader({}, c.NextUserRecord);
    for (int k = Collection::FirstRow; k < c.NextUserRecord; ++k)
        f.users.append(c.UserTable[k].encoded());
    return f;
}

std::vector<std::pair<QString, Files>> seedCollections()
{
    std::vector<std::pair<QString, Files>> out;
    out.push_back({QStringLiteral("absent"), Files{}});
    out.push_back({QStringLiteral("empty"), filesOf(Collection())});

    auto small = std::make_unique<Collection>();
    addChapter(*small, QStringLiteral("Ecuatii"), 2);
    addChapter(*small, QStringLiteral("  Fractii  "), 1);
    addProblem(*small, QStringLiteral("Ecuatii"), 1, 0, QStringLiteral("C:\\Culegere"));
    addProblem(*small, QStringLiteral("Ecuatii"), 2, 4, QStringLiteral("C:\\Culegere"));
    addProblem(*small, QStringLiteral("  Fractii  "), 3, 2,
               QStringLiteral("/home/profesor/Culegere"));
    addResults(*small, 3);
    out.push_back({QStringLiteral("small"), filesOf(*small)});

    auto medium = std::make_unique<Collection>();
    for (int k = 0; k < 8; ++k)
        addChapter(*medium, QStringLiteral("Capitolul %1").arg(k + 1), 5);
    for (int i = 1; i <= 40; ++i)
        addProblem(*medium, QStringLiteral("Capitolul %1").arg((i - 1) / 5 + 1), i, qint16(i % 5),
                   QStringLiteral("/home/profesor/Culegere"));
    addResults(*medium, 30);
    out.push_back({QStringLiteral("medium"), filesOf(*medium)});

    // 120 results: the log has rolled, the header stays 100.
    auto rolled = std::make_unique<Collection>();
    addChapter(*rolled, QStringLiteral("Geometrie"), 1);
    addProblem(*rolled, QStringLiteral("Geometrie"), 7, 1, QStringLiteral("C:\\Culegere"));
    addResults(*rolled, 120);
    Files rolledFiles = filesOf(*rolled);
    rolledFiles.users = usersFileAfterRoll({}, rolled->UserTable, rolled->NextUserRecord);
    out.push_back({QStringLiteral("rolled-log"), rolledFiles});

    // Romanian letters (comma-below s and t become their cedilla forms).
    auto romanian = std::make_unique<Collection>();
    const QStringList names = {
        QStringLiteral("Ecua\u021Bii de gradul al II-lea"),
        QStringLiteral("Mul\u021Bimi \u0219i func\u021Bii"),
        QStringLiteral("\u0218iruri \u0103\u00E2\u00EE \u0102\u00C2\u00CE \u021A")};
    for (const QString &name : names)
        addChapter(*romanian, name, 1);
    for (int i = 0; i < names.size(); ++i)
        addProblem(*romanian, names[i], 100 + i, 3, QStringLiteral("D:\\\u0218coal\u0103"));
    addResults(*romanian, 2);
    romanian->UserTable[2].Name.setText(QStringLiteral("\u0218tefan \u021Aurcanu"));
    out.push_back({QStringLiteral("romanian"), filesOf(*romanian)});

    // Records left over past the counts, as deletions leave them.
    auto leftOver = std::make_unique<Collection>();
    for (int k = 0; k < 4; ++k)
        addChapter(*leftOver, QStringLiteral("Sters %1").arg(k), 1);
    for (int i = 1; i <= 4; ++i)
        addProblem(*leftOver, QStringLiteral("Sters %1").arg(i - 1), i, 0, QStringLiteral("C:\\C"));
    addResults(*leftOver, 5);
    Files leftFiles = filesOf(*leftOver);
    leftOver->ChapterCount = 2;
    leftOver->ProblemCount = 1;
    leftFiles.chapters = chaptersFileForExit(leftFiles.chapters, *leftOver);
    leftFiles.problems = problemsFileForExit(leftFiles.problems, *leftOver);
    out.push_back({QStringLiteral("left-over"), leftFiles});
    return out;
}

} // namespace

std::vector<Seed> seedInputs(Target target)
{
    std::vector<Seed> seeds;
    for (const auto &[name, files] : seedCollections()) {
        switch (target) {
        case Target::Users:
            seeds.push_back({name, files.users});
            break;
        case Target::Chapters:
            seeds.push_back({name, files.chapters});
            break;
        case Target::Problems:
            seeds.push_back({name, files.problems});
            break;
        case Target::Startup:
            seeds.push_back(
                {name, joinStartupInput({files.users, files.chapters, files.problems})});
            break;
        }
    }
    // The same file twice is one seed.
    std::vector<Seed> unique;
    for (const Seed &seed : seeds) {
        if (std::none_of(unique.begin(), unique.end(),
                         [&](const Seed &s) { return s.bytes == seed.bytes; }))
            unique.push_back(seed);
    }
    return unique;
}

bool parseHexInput(const QString &text, QByteArray &bytes, QString &error)
{
    bytes.clear();
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        auto fail = [&](const QString &what) {
            error = QStringLiteral("line %1: %2").arg(n + 1).arg(what);
            return false;
        };
        qsizetype i = 0;
        while (i < line.size()) {
            if (line[i].isSpace()) {
                ++i;
                continue;
            }
            if (line[i] == u'#')
                break;
            QByteArray unit;
            if (line[i] == u'"') {
                const qsizetype end = line.indexOf(u'"', i + 1);
                if (end < 0)
                    return fail(QStringLiteral("unclosed quote"));
                const QString quoted = line.mid(i + 1, end - i - 1);
                for (const QChar c : quoted) {
                    if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                        return fail(QStringLiteral("quoted text must be printable ASCII"));
                }
                unit = quoted.toLatin1();
                i = end + 1;
            } else {
                const qsizetype start = i;
                while (i < line.size() && !line[i].isSpace() && line[i] != u'*' && line[i] != u'#')
                    ++i;
                const QString digits = line.mid(start, i - start);
                static const QString hexDigits = QStringLiteral("0123456789abcdefABCDEF");
                if (digits.size() % 2 != 0 ||
                    std::any_of(digits.begin(), digits.end(),
                                [](QChar c) { return !hexDigits.contains(c); }))
                    return fail(QStringLiteral("bad hex bytes \"%1\"").arg(digits));
                unit = QByteArray::fromHex(digits.toLatin1());
            }
            qsizetype repeat = 1;
            if (i < line.size() && line[i] == u'*') {
                const qsizetype start = ++i;
                while (i < line.size() && line[i].isDigit())
                    ++i;
                bool ok = false;
                repeat = line.mid(start, i - start).toLongLong(&ok);
                if (!ok || repeat < 0 || repeat > (1 << 24))
                    return fail(QStringLiteral("bad repeat count"));
            }
            if (i < line.size() && !line[i].isSpace() && line[i] != u'#')
                return fail(QStringLiteral("unexpected \"%1\"").arg(line[i]));
            bytes.append(unit.repeated(repeat));
        }
    }
    return true;
}

QString formatHexInput(const QByteArray &bytes)
{
    QString out;
    int onLine = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        qsizetype run = 1;
        while (i + run < bytes.size() && bytes[i + run] == bytes[i])
            ++run;
        QString token = QString::number(uchar(bytes[i]), 16).rightJustified(2, u'0');
        if (run >= 4) {
            token += u'*' + QString::number(run);
        } else {
            run = 1;
        }
        out += (onLine == 0 ? QString() : QStringLiteral(" ")) + token;
        if (++onLine == 16) {
            out += u'\n';
            onLine = 0;
        }
        i += run;
    }
    if (onLine != 0)
        out += u'\n';
    return out;
}

} // namespace culegere::fuzz
