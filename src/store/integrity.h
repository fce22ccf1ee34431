#pragma once

#include "folder/app_folder.h"
#include "store/collection.h"

#include <QStringList>

namespace culegere {

// What the integrity check found.
struct IntegrityReport
{
    struct Missing
    {
        int row;
        QString index; // the problem's index, or its whole path when it has none
    };
    QList<Missing> missing; // catalogued problems without their picture, in row order
    int chapterTotal = 0;   // the chapters' problem totals added up
    int problemCount = 0;
    // Chapter names (trimmed) that problems are filed under but that no
    // chapter has, each once, in the order of their first problem.
    QStringList unknownChapters;

    bool totalsAgree() const { return chapterTotal == problemCount && unknownChapters.isEmpty(); }
};

// The file names in the folder "probleme" that end in ".jpg" in any letter case.
QStringList listPictureFiles(const AppFolder &folder);

// A picture file's index: the 5 characters before the first ".jpg" in any
// letter case ("probl00012.JPG" gives "00012"); empty when there is none.
QString pictureIndex(const QString &fileName);

// Checks that every catalogued problem has its picture among `pictureFiles`
// (a problem has it when the index of any picture occurs anywhere in its
// stored path), that the chapters' totals add up to the number of problems
// and that every problem is filed under a chapter there is. The stored path of a problem found
// missing loses everything from its first NUL byte on. Takes time in proportion to the catalogue
// and the pictures, never to their product.
IntegrityReport checkIntegrity(Collection &collection, const QStringList &pictureFiles);

} // namespace culegere
