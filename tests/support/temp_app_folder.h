#pragma once

#include "store/collection.h"

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace culegere::test {

// An application folder in a temporary directory, removed afterwards, with
// helpers to put data files and pictures into it and read them back.
class TempAppFolder
{
public:
    TempAppFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const;

    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;

    // Writes Caps.stn, Problems.stn and Users.stn holding `collection`.
    void writeCollection(const Collection &collection) const;
    // A JPEG picture probleme/probl<index>.jpg of one colour.
    QString addPicture(const QString &index, QSize size = {200, 100},
                       QColor color = Qt::darkGreen) const;

private:
    QTemporaryDir m_dir;
};

// A picture index of 5 characters: 12 gives "00012".
QString pictureIndex(int i);
// A stored picture path that names a picture of the folder: it ends in
// "probl", an index of 5 plain characters (no separator, no NUL) and ".jpg".
bool namesAPicture(const FixedText<250> &storedPath);

// Builders of an in-memory collection.
void addChapter(Collection &c, const QByteArray &name, qint16 problemTotal = 0);
// A problem catalogued under `chapter` with picture index `index`.
void addProblem(Collection &c, const QByteArray &chapter, const QString &index,
                qint16 correctAnswer = 0, const QString &appPath = QStringLiteral("C:/Culegere"));
UserRecord result(const QByteArray &name, qint16 grade, qint16 ticks, QDate date);

} // namespace culegere::test
