#pragma once

#include "platform/app_folder.h"
#include "store/collection.h"
#include "store/record_file.h"
#include "store/store_result.h"

namespace culegere {

// The three data files of an application folder, open from start-up to exit.
//
// Results reach the disk at each correction; the chapters, the catalogue and
// the headers at exit. Every change is made so that a crash at any moment
// leaves each file either as it was or as it should be after the change.
class DataFiles
{
public:
    explicit DataFiles(const AppFolder &folder);

    // Opens the three files (creating missing ones, empty) and loads them into
    // `collection`, as loadCollection does. On a refusal no file is created or
    // changed, none stays open and `collection` is untouched.
    StoreResult openAndLoad(Collection &collection);

    // Appends a result to the log: the file is replaced by one holding the
    // record and the header that counts it (after a roll, the rows moved up
    // as in the table). On a failure to write, `collection` is unchanged.
    // This and saveAtExit first open again a file that an earlier failure
    // (a read-only disk) left closed.
    StoreResult appendResult(Collection &collection, const UserRecord &result);

    // Writes the chapters, the catalogue and the three headers, each file
    // replaced whole; none is replaced unless all three could be written.
    // Afterwards the files are closed; on a failure they are open again.
    StoreResult saveAtExit(const Collection &collection);

    void close();
    // Opens the three files again (after close or a backup).
    StoreResult reopen();
    bool isOpen() const;

    QString usersPath() const { return m_users.path(); }
    QString chaptersPath() const { return m_chapters.path(); }
    QString problemsPath() const { return m_problems.path(); }

private:
    // Deletes what saves cut short left behind (the folder is ours: locked).
    void removeUnfinishedSaves() const;

    struct Slot
    {
        RecordFile *file;
        QString name;
    };
    std::array<Slot, 3> dataFiles();

    AppFolder m_folder;
    RecordFile m_users{UserRecord::Size};
    RecordFile m_chapters{ChapterRecord::Size};
    RecordFile m_problems{ProblemRecord::Size};
};

} // namespace culegere
