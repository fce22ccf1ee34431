#include "editing/problem_editing.h"

#include "editing/chapter_rules.h"
#include "store/problem_paths.h"

#include <QDir>
#include <QFileInfo>

namespace culegere {

ProblemEditing::Controls ProblemEditing::controlsFor(State state)
{
    switch (state) {
    case State::Idle:
        return {true, false, false};
    case State::NewPicture:
        return {false, true, false};
    case State::Catalogued:
        return {false, true, true};
    }
    return {};
}

ProblemEditing::ProblemEditing(Collection &collection, const AppFolder &folder)
    : m_collection(collection), m_folder(folder)
{
    becomeIdle();
}

void ProblemEditing::open()
{
    close();
}

void ProblemEditing::lock(bool locked)
{
    if (locked)
        close();
    m_locked = locked;
}

int ProblemEditing::findProblemRow(const QString &path) const
{
    const QString wanted = problemImagePath(m_folder.root(), path);
    for (int row = Collection::FirstRow; row <= m_collection.lastProblemRow(); ++row) {
        if (problemImagePath(m_folder.root(), m_collection.ProblemTable[row].ImagePath) == wanted)
            return row;
    }
    return 0;
}

ProblemEditing::LookUp ProblemEditing::lookUp(const QString &index)
{
    LookUp result;
    if (!controls().lookUp) {
        result.kind = LookUp::Refused;
        return result;
    }
    // An index that would name a file outside "probleme" names no problem.
    if (!isPlainName(index)) {
        m_searchPath.clear();
        return result;
    }
    m_searchPath = storedPicturePath(m_folder.root(), index);
    m_foundRow = findProblemRow(m_searchPath);
    const QString picture = problemPictureFile(m_folder, m_searchPath);
    // A picture deleted in this session is gone for the editor already.
    const bool present =
        QFileInfo(picture).isFile() && !m_collection.PicturesToRemove.contains(picture);

    if (m_foundRow != 0) {
        // The problem's chapter gives up a unit while the problem is open.
        const ProblemRecord &row = m_collection.ProblemTable[m_foundRow];
        for (int c = Collection::FirstRow; c <= m_collection.lastChapterRow(); ++c) {
            if (m_collection.ChapterTable[c].Name == row.Chapter.Name)
                --m_collection.ChapterTable[c].ProblemTotal;
        }
        const bool validAnswer = row.CorrectAnswer >= 0 && row.CorrectAnswer <= 4;
        m_markedAnswer = validAnswer ? row.CorrectAnswer : -1;
        ProblemRecord &edit = m_collection.EditProblem;
        edit.Chapter.Name = row.Chapter.Name;
        edit.ImagePath.assignKeepingEnd(encodeCp1250(
            QDir::toNativeSeparators(problemImagePath(m_folder.root(), m_searchPath))));
        edit.CorrectAnswer = row.CorrectAnswer;
        m_cataloguedOpen = true;
        m_state = State::Catalogued;

        result.kind = LookUp::Catalogued;
        result.chapter = row.Chapter.Name.trimmedText();
        result.answer = m_markedAnswer;
        result.pictureMissing = !present;
        result.picture = result.pictureMissing ? QString() : picture;
        return result;
    }
    if (present) {
        m_state = State::NewPicture;
        result.kind = LookUp::NewPicture;
        result.picture = picture;
        return result;
    }
    m_searchPath.clear();
    return result;
}

ProblemEditing::Saved ProblemEditing::save(const QString &chapter)
{
    Collection &c = m_collection;
    // A problem is filed only under a chapter that exists, with an answer
    // someone marked.
    if (!controls().save)
        return Saved::Refused;
    if (chapter.isEmpty() || m_markedAnswer < 0 || findChapter(c, chapter) == 0)
        return Saved::Incomplete;

    if (m_state == State::Catalogued) {
        ProblemRecord &row = c.ProblemTable[m_foundRow];
        row.Chapter.Name.setText(chapter);
        row.ImagePath.assignKeepingEnd(encodeCp1250(
            QDir::toNativeSeparators(problemImagePath(m_folder.root(), c.EditProblem.ImagePath))));
        row.CorrectAnswer = static_cast<qint16>(m_markedAnswer);
    } else {
        if (c.ProblemCount >= Collection::MaxProblems)
            return Saved::CatalogueFull;
        ++c.ProblemCount;
        ProblemRecord &row = c.ProblemTable[c.lastProblemRow()];
        row.Chapter.Name.setText(chapter);
        // Stored under the picture's own index: one typed longer names the
        // same picture by its last five characters.
        const QString picture = problemImagePath(QString(), m_searchPath);
        row.ImagePath = cataloguePath(m_folder.root(), picture.mid(picture.size() - 9, 5));
        row.CorrectAnswer = static_cast<qint16>(m_markedAnswer);
    }
    m_cataloguedOpen = false;
    recountChapters(c);
    becomeIdle();
    return Saved::Saved;
}

ProblemEditing::Deleted ProblemEditing::remove()
{
    if (!controls().remove)
        return Deleted::Refused;
    const int row = findProblemRow(m_searchPath);
    if (row == 0)
        return Deleted::NotCatalogued;

    // The picture stays on the disk until the exit save that drops the
    // problem is there: until then the catalogue on the disk still names it.
    // Only a picture inside "probleme" is ever deleted (see DataFiles).
    const QString picture = problemPictureFile(m_folder, m_searchPath);
    if (!m_collection.PicturesToRemove.contains(picture))
        m_collection.PicturesToRemove.append(picture);

    Collection &c = m_collection;
    const ProblemRecord &last = c.ProblemTable[c.lastProblemRow()];
    ProblemRecord &gap = c.ProblemTable[row];
    gap.Chapter.Name = last.Chapter.Name;
    gap.ImagePath = last.ImagePath;
    gap.CorrectAnswer = last.CorrectAnswer;
    --c.ProblemCount;

    // The unit taken at look-up went with the deleted problem.
    m_cataloguedOpen = false;
    recountChapters(c);
    becomeIdle();
    return Deleted::Deleted;
}

void ProblemEditing::close()
{
    m_cataloguedOpen = false;
    recountChapters(m_collection);
    becomeIdle();
}

void ProblemEditing::becomeIdle()
{
    m_collection.EditProblem = ProblemRecord();
    m_collection.EditProblem.CorrectAnswer = ProblemRecord::NoAnswer;
    m_markedAnswer = -1;
    m_searchPath.clear();
    m_foundRow = 0;
    m_state = State::Idle;
}

} // namespace culegere
