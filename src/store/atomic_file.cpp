#include "store/atomic_file.h"

#include "store/commit_record.h"
#include "store/durable_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace culegere {

namespace {

using durable::Presence;

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

QString recordPath(const QString &folder)
{
    return folder + u'/' + commitrecord::FileName;
}

// Renames `from` over `to`. A rename reported as failed whose source is gone
// nonetheless happened (a network folder may lose the answer), and counts.
bool renameOver(const QString &from, const QString &to)
{
    return durable::replace(from, to) || durable::presence(from) == Presence::Absent;
}

} // namespace

void AtomicWriteSet::add(const QString &path, const QString &fileName, QByteArray content)
{
    m_entries.push_back({path, fileName, std::move(content), {}});
}

StoreResult AtomicWriteSet::commit()
{
    for (Entry &entry : m_entries) {
        entry.newPath = durable::writeNew(folderOf(entry.path), entry.content, entry.path);
        if (entry.newPath.isEmpty()) {
            for (const Entry &written : m_entries) {
                if (!written.newPath.isEmpty())
                    durable::remove(written.newPath);
            }
            const QString fileName = entry.fileName;
            m_entries.clear();
            return StoreResult::failure(StoreError::CannotWrite, fileName);
        }
    }
    const StoreResult result = m_entries.size() == 1 ? commitOne() : commitSet();
    m_entries.clear();
    return result;
}

StoreResult AtomicWriteSet::commitOne()
{
    const Entry &entry = m_entries.front();
    if (!renameOver(entry.newPath, entry.path)) {
        durable::remove(entry.newPath);
        return StoreResult::failure(StoreError::CannotWrite, entry.fileName);
    }
    // The file is in place whatever this answers; it only hastens the disk.
    durable::syncFolder(folderOf(entry.path));
    return StoreResult::success();
}

StoreResult AtomicWriteSet::commitSet()
{
    const QString folder = folderOf(m_entries.front().path);
    const QString record = recordPath(folder);
    auto giveUp = [this]() {
        for (const Entry &entry : m_entries)
            durable::remove(entry.newPath);
        return StoreResult::failure(StoreError::CannotWrite, m_entries.front().fileName);
    };

    // The new files' names reach the disk before a record can name them.
    if (!durable::syncFolder(folder))
        return giveUp();
    std::vector<commitrecord::Entry> named;
    for (const Entry &entry : m_entries)
        named.push_back({QFileInfo(entry.newPath).fileName(), QFileInfo(entry.path).fileName()});
    const QString recordNew = durable::writeNew(folder, commitrecord::encode(named), {});
    if (recordNew.isEmpty())
        return giveUp();
    const bool placed = renameOver(recordNew, record);
    if (!placed || !durable::syncFolder(folder)) {
        // Not known to be on the disk: taken back, and known to be gone,
        // before the new files go (else a crash could bring it back to
        // name some of them and not others).
        if (!placed)
            durable::remove(recordNew);
        const bool removed = durable::remove(record);
        if (removed && durable::syncFolder(folder))
            return giveUp();
        if (removed) // the next start-up removes the new files, or finds the record
            return StoreResult::failure(StoreError::CannotWrite, m_entries.front().fileName);
    }

    // The set is new from here on; a rename that fails now is finished later.
    QString notRenamed;
    for (const Entry &entry : m_entries) {
        if (!renameOver(entry.newPath, entry.path) && notRenamed.isEmpty())
            notRenamed = entry.fileName;
    }
    if (!notRenamed.isEmpty())
        return StoreResult::failure(StoreError::SaveNotFinished, notRenamed);
    // Until the renames are on the disk the record must stay to redo them; a
    // record whose new files are all gone is only removed by the next look.
    if (durable::syncFolder(folder))
        durable::remove(record);
    return StoreResult::success();
}

bool hasInterruptedSave(const QString &folder)
{
    return durable::presence(recordPath(folder)) != Presence::Absent;
}

StoreResult finishInterruptedSave(const QString &folder)
{
    const QString record = recordPath(folder);
    const Presence present = durable::presence(record);
    if (present == Presence::Unknown)
        return StoreResult::failure(StoreError::CannotRead, commitrecord::FileName);
    if (present == Presence::Present) {
        QFile file(record);
        const bool read = file.open(QIODevice::ReadOnly);
        const QByteArray bytes = read ? file.readAll() : QByteArray();
        if (!read || file.error() != QFileDevice::NoError)
            return StoreResult::failure(StoreError::CannotRead, commitrecord::FileName);
        // A damaged record was never complete on the disk, so no rename began:
        // its new files are only removed.
        if (const auto entries = commitrecord::decode(bytes)) {
            for (const commitrecord::Entry &entry : *entries) {
                const QString from = folder + u'/' + entry.newFile;
                const Presence state = durable::presence(from);
                if (state == Presence::Unknown ||
                    (state == Presence::Present && !renameOver(from, folder + u'/' + entry.target)))
                    return StoreResult::failure(StoreError::SaveNotFinished, entry.target);
            }
            if (!durable::syncFolder(folder))
                return StoreResult::success(); // the record stays to redo the renames
        }
    }
    removeLeftovers(folder);
    if (present == Presence::Present)
        durable::remove(record);
    return StoreResult::success();
}

void removeLeftovers(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (durable::isNewFileName(name))
            durable::remove(dir.filePath(name));
    }
}

} // namespace culegere
