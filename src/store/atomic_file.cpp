#include "store/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>

#include <memory>
#include <unistd.h>

namespace culegere {

namespace {

void syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void AtomicWriteSet::add(const QString &path, const QString &fileName, QByteArray content)
{
    m_entries.push_back({path, fileName, std::move(content)});
}

StoreResult AtomicWriteSet::commit()
{
    // An uncommitted QSaveFile removes its new file when destroyed, so an
    // early return leaves every old file in place.
    std::vector<std::unique_ptr<QSaveFile>> files;
    for (const Entry &entry : m_entries) {
        auto file = std::make_unique<QSaveFile>(entry.path);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return StoreResult::failure(StoreError::CannotWrite, entry.fileName);
        // On a full disk write() can return a short count without any error
        // set, and commit() would then rename the cut file over the good one.
        qint64 done = 0;
        while (done < entry.content.size()) {
            const qint64 n =
                file->write(entry.content.constData() + done, entry.content.size() - done);
            if (n <= 0)
                break;
            done += n;
        }
        if (done != entry.content.size() || !file->flush() || ::fsync(file->handle()) != 0) {
            file->cancelWriting();
            return StoreResult::failure(StoreError::CannotWrite, entry.fileName);
        }
        files.push_back(std::move(file));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->commit())
            return StoreResult::failure(StoreError::CannotWrite, m_entries[i].fileName);
    }
    // The renames themselves reach the disk only with their folders.
    for (const Entry &entry : m_entries)
        syncFolderOf(entry.path);
    m_entries.clear();
    return StoreResult::success();
}

} // namespace culegere
