#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace culegere {

// The text source of the bundled sample collection (sample/probleme.txt).
//
// UTF-8, one item per line; blanks around a line are ignored, and so are
// blank lines and lines starting with '#':
//
//   capitol: <name>        starts a chapter; the problems up to the next
//                          "capitol:" belong to it
//   <text>                 a line of a problem's statement; a problem starts
//                          with one or more of them, each one a paragraph
//   a) <text> ... e) <text>
//                          the five answer variants, each on its line, in
//                          this order
//   raspuns: <letter>      the correct variant, a to e; ends the problem
//
// A statement line may not start with "capitol:", "raspuns:" or one of the
// letters a-e followed by ')'. Problems are numbered in the order of the text
// from 00001 on. A chapter name must be unique and fit the 100 bytes of the
// data files; a chapter must hold at least one problem.
//
// A malformed text gives the number (from 1) of the line at fault: the line
// that breaks the order above or, for a problem or chapter left incomplete,
// the line where it starts.

struct SampleProblem
{
    QString index;                   // "00001"
    QStringList statement;           // paragraphs, as written
    std::array<QString, 5> variants; // the texts after "a) " .. "e) "
    int correct = 0;                 // 0 (a) .. 4 (e)
    int line = 0;                    // of its first statement line
};

struct SampleChapter
{
    QString name;
    std::vector<SampleProblem> problems;
    int line = 0; // of its "capitol:" line
};

struct SampleParse
{
    std::vector<SampleChapter> chapters; // empty on an error
    int errorLine = 0;                   // 0 when the text is good
    QString error;

    bool ok() const { return errorLine == 0; }
    int problemCount() const;
};

SampleParse parseSample(const QString &text);

} // namespace culegere
