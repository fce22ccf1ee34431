#include "testing/definition_rules.h"

#include "store/legacy_text.h"

namespace culegere {

QString chapterEntryText(const ChapterRecord &chapter)
{
    return numberText(chapter.ProblemTotal) + QStringLiteral("--") + chapter.Name.trimmedText();
}

FixedText<100> extractChapterName(const QString &comboText)
{
    const qsizetype dash = comboText.indexOf(u'-');
    const QString name = dash >= 0 ? comboText.mid(dash + 2) : comboText.mid(1);
    return FixedText<100>::fromText(name);
}

DefinitionEditor::DefinitionEditor(TestDefinition &definition, const Collection &collection)
    : m_definition(definition), m_collection(collection)
{
}

void DefinitionEditor::clear()
{
    m_definition.TestIsSet = false;
    m_definition.TestWholeCollection = false;
    m_definition.TestChapterCount = 0;
}

void DefinitionEditor::open()
{
    clear();
    m_perChapter = false;
    m_okAllowed = false;
}

void DefinitionEditor::chooseMode(bool perChapter)
{
    m_perChapter = perChapter;
    if (perChapter)
        m_okAllowed = false;
}

DefinitionControls DefinitionEditor::controls() const
{
    return {additionsOpen(), m_okAllowed};
}

bool DefinitionEditor::additionsOpen() const
{
    const bool acceptedPerChapter = m_definition.TestIsSet && !m_definition.TestWholeCollection;
    return m_perChapter && !isFull() && !acceptedPerChapter;
}

QStringList DefinitionEditor::chapterLines() const
{
    QStringList lines;
    for (int row = Collection::FirstRow; row <= m_collection.lastChapterRow(); ++row)
        lines.append(chapterEntryText(m_collection.ChapterTable[row]));
    return lines;
}

bool DefinitionEditor::isFull() const
{
    return m_definition.TestChapterCount >= TestDefinition::MaxChapters;
}

void DefinitionEditor::takeName(const QString &comboText)
{
    // With ten chapters chosen there is no row left to write into.
    if (isFull())
        return;
    m_definition.TestChapters[m_definition.TestChapterCount].Name = extractChapterName(comboText);
    m_nameMatched = false;
}

void DefinitionEditor::validate(const QString &comboText)
{
    if (isFull())
        return;
    takeName(comboText);
    ChapterRecord &slot = m_definition.TestChapters[m_definition.TestChapterCount];
    for (int row = Collection::FirstRow; row <= m_collection.lastChapterRow(); ++row) {
        if (m_collection.ChapterTable[row].Name == slot.Name) {
            slot.ProblemTotal = m_collection.ChapterTable[row].ProblemTotal;
            m_nameMatched = true;
        }
    }
}

bool DefinitionEditor::isChosen(const FixedText<100> &name) const
{
    for (int e = 0; e < m_definition.TestChapterCount; ++e) {
        if (m_definition.TestChapters[e].Name == name)
            return true;
    }
    return false;
}

bool DefinitionEditor::add(const QString &comboText, int drawCount)
{
    if (!additionsOpen() || comboText.isEmpty() || !m_nameMatched)
        return false;
    ChapterRecord &slot = m_definition.TestChapters[m_definition.TestChapterCount];
    if (slot.ProblemTotal < drawCount || isChosen(slot.Name))
        return false;
    slot.DrawCount = static_cast<qint16>(drawCount);
    ++m_definition.TestChapterCount;
    m_nameMatched = false;
    return true;
}

DefinitionEditor::SetOutcome DefinitionEditor::set()
{
    if (!m_perChapter) {
        m_definition.TestWholeCollection = true;
        m_definition.TestIsSet = true;
        m_okAllowed = true;
        return SetOutcome::WholeCollection;
    }
    qint16 sum = 0;
    for (int e = 0; e < m_definition.TestChapterCount; ++e)
        sum = static_cast<qint16>(sum + m_definition.TestChapters[e].DrawCount);
    if (sum != CurrentTest::Size) {
        m_definition.TestIsSet = false;
        m_definition.TestChapterCount = 0;
        m_okAllowed = false;
        return SetOutcome::Refused;
    }
    m_definition.TestIsSet = true;
    m_definition.TestWholeCollection = false;
    m_okAllowed = true;
    return SetOutcome::Accepted;
}

FixedText<100> DefinitionEditor::lastAddedName() const
{
    const int count = m_definition.TestChapterCount;
    return count > 0 ? m_definition.TestChapters[count - 1].Name : FixedText<100>();
}

} // namespace culegere
