#include "archive/pending_results.h"

#include "store/collection.h"
#include "store/durable_io.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace culegere::pending {

namespace {

constexpr int kFormat = 1;
constexpr int kMostKept = Collection::LastUserRow - Collection::FirstRow;

QJsonObject toJson(const ArchivedTest &test)
{
    QJsonArray chapters, answers;
    for (const ArchivedChapter &c : test.chapters)
        chapters.append(QJsonObject{{"name", c.name}, {"problems", c.problems}});
    for (const ArchivedAnswer &a : test.answers)
        answers.append(QJsonObject{{"problem", a.problemIndex},
                                   {"chapter", a.chapter},
                                   {"marked", a.marked},
                                   {"correct", a.correct}});
    return {{"pupil", test.pupil},
            {"date", test.date.toString(Qt::ISODate)},
            {"time", test.time.toString(Qt::ISODate)},
            {"stopwatch", test.stopwatch},
            {"grade", test.grade},
            {"wholeCollection", test.wholeCollection},
            {"chapters", chapters},
            {"answers", answers}};
}

ArchivedTest fromJson(const QJsonObject &o)
{
    ArchivedTest test;
    test.pupil = o["pupil"].toString();
    test.date = QDate::fromString(o["date"].toString(), Qt::ISODate);
    test.time = QTime::fromString(o["time"].toString(), Qt::ISODate);
    test.stopwatch = o["stopwatch"].toInt();
    test.grade = o["grade"].toInt();
    test.wholeCollection = o["wholeCollection"].toBool();
    for (const QJsonValue &c : o["chapters"].toArray())
        test.chapters.append({c["name"].toString(), c["problems"].toInt()});
    for (const QJsonValue &a : o["answers"].toArray())
        test.answers.append({a["problem"].toString(), a["chapter"].toString(), a["marked"].toInt(),
                             a["correct"].toInt()});
    return test;
}

} // namespace

QString pathFor(const QString &archivePath)
{
    return archivePath + QStringLiteral(".de-adaugat");
}

QList<ArchivedTest> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject whole = QJsonDocument::fromJson(file.readAll()).object();
    if (file.error() != QFileDevice::NoError || whole["format"].toInt() != kFormat)
        return {};
    QList<ArchivedTest> tests;
    for (const QJsonValue &test : whole["tests"].toArray())
        tests.append(fromJson(test.toObject()));
    return tests;
}

bool write(const QString &path, QList<ArchivedTest> tests)
{
    if (tests.isEmpty())
        return durable::remove(path);
    if (tests.size() > kMostKept)
        tests.remove(0, tests.size() - kMostKept);
    QJsonArray all;
    for (const ArchivedTest &test : tests)
        all.append(toJson(test));
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{"format", kFormat}, {"tests", all}}).toJson();
    // Written whole under a new name, then put in place: a crash of the
    // program leaves the old record or the new one. It is not pushed to the
    // disk: the log's write that follows syncs the folder, and should a power
    // cut lose the record all the same, its results come in as imported ones.
    const QString written =
        durable::writeNew(QFileInfo(path).absolutePath(), bytes, QString(), durable::Push::Later);
    if (written.isEmpty())
        return false;
    if (durable::replace(written, path))
        return true;
    durable::remove(written);
    return false;
}

} // namespace culegere::pending
