#include "store/data_files.h"

#include "store/atomic_file.h"
#include "store/collection_io.h"
#include "store/durable_io.h"
#include "store/problem_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace culegere {

namespace {

// A file's content as it is on the disk now, read by its name: whatever
// happened to the folder since it was opened (a memory stick pulled out and
// put back, another computer's save), this is the file a write replaces.
bool readByPath(const QString &path, QByteArray &content)
{
    QFile file(path);
    content.clear();
    if (!file.open(QIODevice::ReadOnly))
        return durable::presence(path) == durable::Presence::Absent;
    content = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

DataFiles::DataFiles(const AppFolder &folder) : m_folder(folder) {}

void DataFiles::setLockCheck(LockCheck check)
{
    m_lockCheck = std::move(check);
}

StoreResult DataFiles::lockHeld() const
{
    if (!m_lockCheck)
        return StoreResult::success();
    if (const std::optional<QString> holder = m_lockCheck())
        return StoreResult::failure(StoreError::LockLost, *holder);
    return StoreResult::success();
}

std::array<DataFiles::Slot, 3> DataFiles::dataFiles()
{
    return {{{&m_users, datafile::Users},
             {&m_chapters, datafile::Chapters},
             {&m_problems, datafile::Problems}}};
}

StoreResult DataFiles::openAndLoad(Collection &collection)
{
    close();
    std::array<QByteArray, 3> contents;
    std::array<QString, 3> missing;
    auto all = dataFiles();
    auto fail = [this](StoreResult result) {
        close();
        return result;
    };
    if (StoreResult finished = finishUnfinishedSaves(); !finished.ok())
        return finished;

    for (std::size_t i = 0; i < all.size(); ++i) {
        const QString path = m_folder.resolve(u'\\' + all[i].name);
        if (!QFileInfo::exists(path)) {
            missing[i] = path;
            continue;
        }
        if (!all[i].file->open(path))
            return fail(StoreResult::failure(StoreError::CannotOpen, all[i].name));
        if (!all[i].file->readAll(contents[i]))
            return fail(StoreResult::failure(StoreError::CannotRead, all[i].name));
    }

    if (StoreResult result = checkHeaders(contents[0], contents[1], contents[2]); !result.ok())
        return fail(result);

    // Only now, with every header found sound, are missing files created.
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (missing[i].isEmpty() || all[i].file->open(missing[i]))
            continue;
        for (std::size_t j = 0; j < i; ++j) {
            if (!missing[j].isEmpty())
                QFile::remove(missing[j]);
        }
        return fail(StoreResult::failure(StoreError::CannotOpen, all[i].name));
    }

    return loadCollection(contents[0], contents[1], contents[2], collection);
}

StoreResult DataFiles::finishUnfinishedSaves() const
{
    // Only the data files are replaced as a set; the other folders hold
    // single files replaced one at a time.
    const StoreResult finished = finishInterruptedSave(m_folder.root());
    for (const QString &folder : {QStringLiteral("\\backup"), QStringLiteral("\\teste")})
        removeLeftovers(m_folder.resolve(folder));
    return finished;
}

StoreResult DataFiles::finishPendingSave()
{
    if (!hasInterruptedSave(m_folder.root()))
        return StoreResult::success();
    if (StoreResult held = lockHeld(); !held.ok())
        return held;
    // The renames change the files under the open handles.
    close();
    const StoreResult finished = finishInterruptedSave(m_folder.root());
    (void)reopen();
    return finished;
}

StoreResult DataFiles::appendResult(Collection &c, const UserRecord &result)
{
    if (StoreResult held = lockHeld(); !held.ok())
        return held;
    // The log can change only once the last save is wholly in place.
    if (StoreResult pending = finishPendingSave(); !pending.ok())
        return pending.error == StoreError::LockLost
                   ? pending
                   : StoreResult::failure(StoreError::CannotWrite, datafile::Users);
    // A backup or an exit that failed on a read-only disk may have left the
    // file closed; once the disk is writable again the result must go in.
    if (!m_users.isOpen() && !m_users.open(m_users.path()))
        return StoreResult::failure(StoreError::CannotOpen, datafile::Users);
    UserTableRows table = c.UserTable;
    qint16 next = c.NextUserRecord;
    const int row = next;
    const bool rolled = appendToLog(table, next, result);

    QByteArray old;
    const QString path = m_users.path();
    if (!readByPath(path, old))
        return StoreResult::failure(StoreError::CannotRead, datafile::Users);
    // The whole file is replaced, so that whatever happens it holds either
    // the log before this result or the log with it, and never half of one.
    AtomicWriteSet write;
    write.add(path, datafile::Users,
              rolled ? usersFileAfterRoll(std::move(old), table, next)
                     : usersFileWithResult(std::move(old), row, result, next));
    if (StoreResult written = write.commit(); !written.ok())
        return written; // nothing was renamed: the open file is still the log
    c.UserTable = table;
    c.NextUserRecord = next;
    // The open file is the old one now. The result is stored even when the
    // new one cannot be opened: saying otherwise would have it written twice.
    if (!m_users.open(path))
        return StoreResult::failure(StoreError::NotReopened, datafile::Users);
    return StoreResult::success();
}

StoreResult DataFiles::saveAtExit(const Collection &c)
{
    if (StoreResult held = lockHeld(); !held.ok())
        return held;
    // An earlier save not yet in place is finished now if it can be; if not,
    // this save replaces it: the newest data are the ones that count.
    if (StoreResult pending = finishPendingSave(); pending.error == StoreError::LockLost)
        return pending;
    // The files are read by their names; one that a backup or a failure
    // left closed, or that refuses to be opened for writing, is no obstacle.
    std::array<QByteArray, 3> old;
    auto all = dataFiles();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!readByPath(all[i].file->path(), old[i]))
            return StoreResult::failure(StoreError::CannotRead, all[i].name);
    }
    AtomicWriteSet write;
    write.add(m_chapters.path(), datafile::Chapters, chaptersFileForExit(std::move(old[1]), c));
    write.add(m_problems.path(), datafile::Problems, problemsFileForExit(std::move(old[2]), c));
    write.add(m_users.path(), datafile::Users,
              usersFileWithHeader(std::move(old[0]), c.NextUserRecord));
    const StoreResult result = write.commit();
    close();
    if (!result.ok())
        (void)reopen();
    // The catalogue that no longer names them is the one on the disk now.
    if (result.ok() || result.error == StoreError::SaveNotFinished)
        removeDroppedPictures(c);
    return result;
}

void DataFiles::removeDroppedPictures(const Collection &c) const
{
    QSet<QString> named;
    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row)
        named.insert(problemImagePath(m_folder.root(), c.ProblemTable[row].ImagePath));
    const QString pictures =
        QFileInfo(m_folder.resolve(QStringLiteral("\\probleme"))).absoluteFilePath();
    for (const QString &picture : c.PicturesToRemove) {
        // Only a picture inside "probleme" that no problem names any more.
        if (QFileInfo(picture).absolutePath() != pictures ||
            named.contains(problemImagePath(m_folder.root(), picture)))
            continue;
        durable::remove(picture);
    }
}

void DataFiles::close()
{
    for (const Slot &slot : dataFiles())
        slot.file->close();
}

QStringList DataFiles::reopen()
{
    QStringList closed;
    for (const Slot &slot : dataFiles()) {
        const QString path =
            slot.file->path().isEmpty() ? m_folder.resolve(u'\\' + slot.name) : slot.file->path();
        if (!slot.file->isOpen() && !slot.file->open(path))
            closed.append(slot.name);
    }
    return closed;
}

bool DataFiles::isOpen() const
{
    return m_users.isOpen() && m_chapters.isOpen() && m_problems.isOpen();
}

} // namespace culegere
