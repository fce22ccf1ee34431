#include "state/result_recorder.h"

namespace culegere {

ResultRecorder::ResultRecorder(DataFiles &files, Collection &collection, ArchiveAccess &archive)
    : m_files(files), m_collection(collection), m_archive(archive)
{
}

QString ResultRecorder::catchUpAtStart()
{
    // Without a pending record every result the log holds reached the
    // archive, or reaches it at its next use: nothing is opened for it.
    if (!m_archive.hasPending())
        return {};
    m_archive.catchUp(loggedResults(m_collection));
    return m_archive.takeMessage();
}

RecordedResult ResultRecorder::record(const UserRecord &result, const ArchivedTest &test)
{
    // A folder another computer took over gets nothing from this one, not
    // even the pending record: that computer may be keeping its own there.
    if (StoreResult held = m_files.lockHeld(); !held.ok())
        return {held, {}};
    // Kept before the log takes the result: a record that could not be
    // written still serves this run, from memory.
    m_archive.keepPending(test);
    RecordedResult recorded{m_files.appendResult(m_collection, result), {}};
    if (!recorded.stored.written()) {
        m_archive.dropPending();
        return recorded;
    }
    m_archive.catchUp(loggedResults(m_collection));
    recorded.archiveMessage = m_archive.takeMessage();
    return recorded;
}

} // namespace culegere
