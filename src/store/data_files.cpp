#include "store/data_files.h"

#include "store/atomic_file.h"
#include "store/collection_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace culegere {

DataFiles::DataFiles(const AppFolder &folder) : m_folder(folder) {}

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

    removeUnfinishedSaves();
    return loadCollection(contents[0], contents[1], contents[2], collection);
}

void DataFiles::removeUnfinishedSaves() const
{
    // A save cut short (the program killed, the power gone) can leave its new
    // file beside the old one, named after it with six characters added.
    static const QRegularExpression unfinished(
        QStringLiteral("^(users|caps|problems)\\.stn\\.[A-Za-z0-9]{6}$"),
        QRegularExpression::CaseInsensitiveOption);
    QDir folder(m_folder.root());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (unfinished.match(name).hasMatch())
            folder.remove(name);
    }
}

StoreResult DataFiles::appendResult(Collection &c, const UserRecord &result)
{
    // A backup or an exit that failed on a read-only disk may have left the
    // file closed; once the disk is writable again the result must go in.
    if (!m_users.isOpen() && !m_users.open(m_users.path()))
        return StoreResult::failure(StoreError::CannotOpen, datafile::Users);
    UserTableRows table = c.UserTable;
    qint16 next = c.NextUserRecord;
    const int row = next;
    const bool rolled = appendToLog(table, next, result);

    QByteArray old;
    if (!m_users.readAll(old))
        return StoreResult::failure(StoreError::CannotRead, datafile::Users);
    // The whole file is replaced, so that whatever happens it holds either
    // the log before this result or the log with it, and never half of one.
    const QString path = m_users.path();
    AtomicWriteSet write;
    write.add(path, datafile::Users,
              rolled ? usersFileAfterRoll(std::move(old), table, next)
                     : usersFileWithResult(std::move(old), row, result, next));
    const StoreResult written = write.commit();
    if (!written.ok())
        return written; // nothing was renamed: the open file is still the log
    // Once the new file is renamed over the old, the open file is the old one.
    const bool reopened = m_users.open(path);
    c.UserTable = table;
    c.NextUserRecord = next;
    if (!reopened)
        return StoreResult::failure(StoreError::CannotOpen, datafile::Users);
    return StoreResult::success();
}

StoreResult DataFiles::saveAtExit(const Collection &c)
{
    if (StoreResult opened = reopen(); !opened.ok())
        return opened;
    std::array<QByteArray, 3> old;
    auto all = dataFiles();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!all[i].file->readAll(old[i]))
            return StoreResult::failure(StoreError::CannotRead, all[i].name);
    }
    AtomicWriteSet write;
    write.add(m_chapters.path(), datafile::Chapters, chaptersFileForExit(std::move(old[1]), c));
    write.add(m_problems.path(), datafile::Problems, problemsFileForExit(std::move(old[2]), c));
    write.add(m_users.path(), datafile::Users,
              usersFileWithHeader(std::move(old[0]), c.NextUserRecord));
    const StoreResult result = write.commit();
    close();
    if (!result.ok()) {
        (void)reopen();
    }
    return result;
}

void DataFiles::close()
{
    for (const Slot &slot : dataFiles())
        slot.file->close();
}

StoreResult DataFiles::reopen()
{
    for (const Slot &slot : dataFiles()) {
        const QString path =
            slot.file->path().isEmpty() ? m_folder.resolve(u'\\' + slot.name) : slot.file->path();
        if (!slot.file->isOpen() && !slot.file->open(path))
            return StoreResult::failure(StoreError::CannotOpen, slot.name);
    }
    return StoreResult::success();
}

bool DataFiles::isOpen() const
{
    return m_users.isOpen() && m_chapters.isOpen() && m_problems.isOpen();
}

} // namespace culegere
