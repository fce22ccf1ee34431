#pragma once

#include "store/collection.h"

#include <array>

namespace culegere {

// How the next test is composed. Lives as long as the program, never stored.
struct TestDefinition
{
    static constexpr int MaxChapters = 10;
    static constexpr int SlotsPerChapter = Collection::MaxRowsPerChapter;

    bool TestIsSet = false;           // a definition was accepted since the screen was opened
    bool TestWholeCollection = false; // drawn from the whole collection, else per chapter
    std::array<ChapterRecord, MaxChapters> TestChapters; // Name, ProblemTotal, DrawCount
    qint16 TestChapterCount = 0;                         // rows of TestChapters in use
    // For each chosen chapter, the catalogue rows filed under it.
    std::array<std::array<qint16, SlotsPerChapter>, MaxChapters> TestChapterProblems{};
};

// The running test.
struct CurrentTest
{
    static constexpr int Size = 9; // problems in a test

    std::array<qint16, 10> TestProblems{}; // catalogue rows, positions 0..8
    qint16 CurrentPosition = 0;            // 0..8
    qint16 TestGrade = 0;                  // 1..10
    std::array<bool, 10> AnswerCorrect{};  // per position
};

} // namespace culegere
