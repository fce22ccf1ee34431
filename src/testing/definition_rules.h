#pragma once

#include "state/app_state.h"

#include <QString>
#include <QStringList>

namespace culegere {

// The line that offers a chapter in the definition's combo: the chapter's
// problem total with one sign position (a blank, or "-"), "--", and the
// trimmed name: " 12--Ecuatii".
QString chapterEntryText(const ChapterRecord &chapter);

// The chapter name inside a combo text: from the second character after the
// first "-" (skipping the "--" separator; a name may hold "-" itself), or
// from the second character when there is no "-".
FixedText<100> extractChapterName(const QString &comboText);

// Which controls of the definition screen can be used.
struct DefinitionControls
{
    bool chapterChoice = false; // the chapter box, the count and "Adauga"
    bool ok = false;            // "Ok"

    bool operator==(const DefinitionControls &) const = default;
};

// The rules of the definition screen, on the shared TestDefinition, and the
// screen's own state: the mode chosen and whether "Ok" can be pressed.
//
// Chapters are added to rows 0..9 of TestChapters in order. The row being
// chosen is TestChapterCount; the combo's steps write its name and problem
// total, "Adauga" completes it. A definition holds at most ten chapters, and
// one accepted per chapter takes no more (its counts add up to nine).
class DefinitionEditor
{
public:
    DefinitionEditor(TestDefinition &definition, const Collection &collection);

    // Forgets any definition.
    void clear();
    // The screen is opened: no definition, the whole collection chosen, "Ok" off.
    void open();
    // "Toata culegerea" (false) or "Pe capitole" (true) marked; choosing
    // chapters turns "Ok" off until "Seteaza" accepts them.
    void chooseMode(bool perChapter);
    bool perChapter() const { return m_perChapter; }
    DefinitionControls controls() const;
    // The combo's lines, one per chapter in row order.
    QStringList chapterLines() const;

    // The combo's text changed: its chapter name goes into the row being chosen.
    void takeName(const QString &comboText);
    // The combo was left: as takeName, and the chapter's problem total is
    // copied into the row when a chapter has that name.
    void validate(const QString &comboText);

    bool isFull() const;
    // Chapters can be added: chosen per chapter, not full, not yet accepted.
    bool additionsOpen() const;
    // "Adauga": true when the chapter was added with `drawCount` problems;
    // false (nothing changed) for an empty text, a name of no chapter, a
    // chapter already in the definition, one holding fewer problems, or a
    // definition closed for additions.
    bool add(const QString &comboText, int drawCount);

    enum class SetOutcome { WholeCollection, Accepted, Refused };
    // "Seteaza", in the mode chosen. A per-chapter definition is accepted
    // when its counts add up to nine; a refused one is discarded.
    SetOutcome set();

    // The name of the chapter added last (for its list line and its combo line).
    FixedText<100> lastAddedName() const;

private:
    bool isChosen(const FixedText<100> &name) const;

    TestDefinition &m_definition;
    const Collection &m_collection;
    bool m_nameMatched = false; // the last validated name is a chapter's
    bool m_perChapter = false;
    bool m_okAllowed = false;
};

} // namespace culegere
