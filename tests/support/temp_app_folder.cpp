#include "support/temp_app_folder.h"

#include "folder/app_folder.h"
#include "store/collection_io.h"
#include "store/problem_paths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

namespace culegere::test {

TempAppFolder::TempAppFolder()
{
    if (!m_dir.isValid())
        qFatal("cannot create a temporary folder");
}

QString TempAppFolder::filePath(const QString &name) const
{
    return m_dir.filePath(name);
}

void TempAppFolder::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray TempAppFolder::read(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool TempAppFolder::exists(const QString &name) const
{
    return QFileInfo::exists(filePath(name));
}

void TempAppFolder::writeCollection(const Collection &c) const
{
    write(datafile::Chapters, chaptersFileForExit({}, c));
    write(datafile::Problems, problemsFileForExit({}, c));
    QByteArray users = usersFileWithHeader({}, c.NextUserRecord);
    for (int k = Collection::FirstRow; k < c.NextUserRecord; ++k)
        users.append(c.UserTable[k].encoded());
    write(datafile::Users, users);
}

QString TempAppFolder::addPicture(const QString &index, QSize size, QColor color) const
{
    QDir().mkpath(filePath(QStringLiteral("probleme")));
    const QString path = filePath(QStringLiteral("probleme/probl%1.jpg").arg(index));
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    if (!image.save(path, "JPEG"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString pictureIndex(int i)
{
    return QStringLiteral("%1").arg(i, 5, 10, QChar(u'0'));
}

bool namesAPicture(const FixedText<250> &storedPath)
{
    const QString path = storedPath.trimmedText();
    if (path.size() < 14 || !path.endsWith(QStringLiteral(".jpg")))
        return false;
    return path.chopped(9).endsWith(QStringLiteral("probl")) &&
           isPlainName(path.chopped(4).right(5));
}

void addChapter(Collection &c, const QByteArray &name, qint16 problemTotal)
{
    ++c.ChapterCount;
    ChapterRecord &row = c.ChapterTable[c.lastChapterRow()];
    row.Name.assign(name);
    row.ProblemTotal = problemTotal;
}

void addProblem(Collection &c, const QByteArray &chapter, const QString &index,
                qint16 correctAnswer, const QString &appPath)
{
    ++c.ProblemCount;
    ProblemRecord &row = c.ProblemTable[c.lastProblemRow()];
    row.ImagePath = cataloguePath(appPath, index);
    row.Chapter.Name.assign(chapter);
    row.CorrectAnswer = correctAnswer;
}

UserRecord result(const QByteArray &name, qint16 grade, qint16 ticks, QDate date)
{
    UserRecord r;
    r.Name.assign(name);
    r.Grade = grade;
    r.ElapsedTicks = ticks;
    r.TestDate = dateToSerial(date);
    return r;
}

} // namespace culegere::test
