#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <array>

namespace culegere {

// One position of an archived test: the problem drawn there and the answers.
struct ArchivedAnswer
{
    QString problemIndex; // the picture's index, "00012"
    QString chapter;      // the chapter it was drawn from
    int marked = 0;       // 0..4 for "a".."e"
    int correct = 0;      // 0..4

    bool right() const { return marked == correct; }
};

// One chapter of a test defined per chapter, with its number of problems.
struct ArchivedChapter
{
    QString name;
    int problems = 0;
};

// One corrected test as the archive keeps it. A result taken over from the
// results log has no time, no definition and no answers (`imported`).
struct ArchivedTest
{
    QString pupil; // as typed, trimmed
    QDate date;
    QTime time; // invalid when not known
    int stopwatch = 0;
    int grade = 0;
    bool imported = false;
    bool wholeCollection = false;
    QList<ArchivedChapter> chapters; // when not the whole collection
    QList<ArchivedAnswer> answers;   // the nine positions, in order

    // How the test was defined, as the archive screen shows it.
    QString definitionText() const;
};

// What the archive knows of one problem: how often it was drawn and how
// often it was answered right.
struct ProblemStats
{
    QString problemIndex;
    QString chapter; // the chapter it was last drawn from
    int drawn = 0;
    int answeredRight = 0;
    // How often each letter "a".."e" was marked, and the right one (-1 when
    // not known); only tests archived with their positions count here.
    std::array<int, 5> marked{};
    int correct = -1;

    double shareRight() const { return drawn > 0 ? double(answeredRight) / drawn : 0.0; }
};

} // namespace culegere
