#pragma once

#include "archive/archive_access.h"
#include "store/collection.h"
#include "store/data_files.h"

namespace culegere {

// What recording one result came to, for the screen to tell.
struct RecordedResult
{
    StoreResult stored;     // the results log's write
    QString archiveMessage; // what the archive has to tell, "" when nothing
};

// Records each corrected test: its result goes into the results log
// (Users.stn) first, then into the archive. Before the log is written the
// test is kept in the archive's pending record, so that the archive gets it
// with its positions whatever stops it now (a failure, a full disk, the
// program killed): at the next result, at the next start-up or when the
// archive is opened. Each of these adds what the log holds and the archive
// lacks, once.
class ResultRecorder
{
public:
    ResultRecorder(DataFiles &files, Collection &collection, ArchiveAccess &archive);

    // At start-up, once the log is loaded: a pending record an earlier run
    // left is taken into the archive. What to tell ("" when nothing).
    QString catchUpAtStart();
    // Writes `result` into the log and then `test`, the same result with its
    // positions, into the archive.
    RecordedResult record(const UserRecord &result, const ArchivedTest &test);

private:
    DataFiles &m_files;
    Collection &m_collection;
    ArchiveAccess &m_archive;
};

} // namespace culegere
