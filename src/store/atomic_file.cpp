#include "store/atomic_file.h"

#include "store/commit_record.h"
#include "store/durable_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

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

// The entries of the record at `path`; none when it cannot be read or is damaged.
std::vector<commitrecord::Entry> readRecord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return commitrecord::decode(file.readAll()).value_or(std::vector<commitrecord::Entry>());
}

QStringList newFilesIn(const QString &folder)
{
    QStringList names;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (durable::isNewFileName(name))
            names.append(name);
    }
    return names;
}

// The data file `name` as it is spelled in `folder` ("caps.stn"), else `name`.
QString spelledOnDisk(const QString &folder, const QString &name)
{
    for (const QString &there : QDir(folder).entryList(QDir::Files)) {
        if (there.compare(name, Qt::CaseInsensitive) == 0)
            return there;
    }
    return name;
}

// A record that was whole when it was placed (it is written whole and
// pushed to the disk first) and was damaged on the disk since: its renames
// may have begun. The exit's set is always the three data files. With all
// three new files still there no rename began: they are only removed. With
// none, every rename was done. Otherwise the new files left are put in
// place, each over the data file the record's readable lines or its own
// shape names; when that cannot be told, the folder is refused (SetMixed)
// and nothing is touched.
StoreResult settleDamagedRecord(const QString &folder, const QByteArray &bytes)
{
    static const QStringList kSet{QStringLiteral("Caps.stn"), QStringLiteral("Problems.stn"),
                                  QStringLiteral("Users.stn")};
    const QStringList waiting = newFilesIn(folder);
    const std::map<QString, QString> readable = commitrecord::readableEntries(bytes);
    const bool renameBegan = std::any_of(readable.begin(), readable.end(), [&](const auto &entry) {
        return !waiting.contains(entry.first);
    });
    if (waiting.isEmpty() || (waiting.size() >= kSet.size() && !renameBegan))
        return StoreResult::success();

    std::map<QString, QString> targetOf; // new file -> data file, lower case
    QStringList old;
    bool told = true;
    for (const QString &name : waiting) {
        QString target;
        if (const auto it = readable.find(name); it != readable.end()) {
            target = it->second;
        } else {
            QFile file(folder + u'/' + name);
            if (file.open(QIODevice::ReadOnly))
                target = commitrecord::dataFileShapedAs(file.readAll());
        }
        const bool twice = std::any_of(targetOf.begin(), targetOf.end(), [&](const auto &t) {
            return t.second.compare(target, Qt::CaseInsensitive) == 0;
        });
        told = told && !target.isEmpty() && !twice;
        targetOf[name] = target;
        old.append(target);
    }
    if (!told) {
        // New for certain: what the lines left name and is gone; the others
        // as the renames go, in the record's order.
        QStringList renewed;
        for (const auto &[name, target] : readable) {
            if (!waiting.contains(name))
                renewed.append(target);
        }
        for (const QString &name : kSet) {
            if (renewed.size() < kSet.size() - waiting.size() &&
                !old.contains(name, Qt::CaseInsensitive) &&
                !renewed.contains(name, Qt::CaseInsensitive))
                renewed.append(name);
        }
        return StoreResult::failure(StoreError::SetMixed, renewed.join(QStringLiteral(", ")));
    }
    for (const auto &[name, target] : targetOf) {
        if (!renameOver(folder + u'/' + name, folder + u'/' + spelledOnDisk(folder, target)))
            return StoreResult::failure(StoreError::SaveNotFinished, target);
    }
    durable::syncFolder(folder);
    return StoreResult::success();
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
    auto giveUp = [this](StoreError error = StoreError::CannotWrite) {
        for (const Entry &entry : m_entries)
            durable::remove(entry.newPath);
        return StoreResult::failure(error, m_entries.front().fileName);
    };
    // A record still there names a set of an earlier save that could not be
    // put in place: this set replaces it, and until this record replaces
    // that one, the earlier set must stay as it is.
    const Presence earlier = durable::presence(record);
    if (earlier == Presence::Unknown)
        return giveUp(StoreError::EarlierSaveStands);
    const std::vector<commitrecord::Entry> superseded =
        earlier == Presence::Present ? readRecord(record) : std::vector<commitrecord::Entry>();

    // The new files' names reach the disk before a record can name them.
    if (!durable::syncFolder(folder))
        return giveUp(earlier == Presence::Present ? StoreError::EarlierSaveStands
                                                   : StoreError::CannotWrite);
    std::vector<commitrecord::Entry> named;
    for (const Entry &entry : m_entries)
        named.push_back({QFileInfo(entry.newPath).fileName(), QFileInfo(entry.path).fileName()});
    const QString recordNew = durable::writeNew(folder, commitrecord::encode(named), {});
    if (recordNew.isEmpty())
        return giveUp(earlier == Presence::Present ? StoreError::EarlierSaveStands
                                                   : StoreError::CannotWrite);
    const bool placed = renameOver(recordNew, record);
    if (earlier == Presence::Present && !placed) {
        durable::remove(recordNew);
        return giveUp(StoreError::EarlierSaveStands);
    }
    if (!placed || !durable::syncFolder(folder)) {
        // This record replaced the earlier one: taking it back would leave
        // neither set named. It stays, and names the newest set, which
        // the next look finishes.
        if (earlier == Presence::Present)
            return StoreResult::failure(StoreError::SaveNotFinished, m_entries.front().fileName);
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
    // The earlier set is no one's now.
    for (const commitrecord::Entry &entry : superseded)
        durable::remove(folder + u'/' + entry.newFile);

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
        return StoreResult::failure(StoreError::CannotRead, commitrecord::SetNames);
    if (present == Presence::Present) {
        QFile file(record);
        const bool read = file.open(QIODevice::ReadOnly);
        const QByteArray bytes = read ? file.readAll() : QByteArray();
        if (!read || file.error() != QFileDevice::NoError)
            return StoreResult::failure(StoreError::CannotRead, commitrecord::SetNames);
        const auto entries = commitrecord::decode(bytes);
        if (!entries) {
            if (StoreResult settled = settleDamagedRecord(folder, bytes); !settled.ok())
                return settled;
        } else {
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
