#pragma once

#include "store/store_result.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace culegere {

// Replaces whole files so that none is ever half-written: every new content
// is first written completely beside its file and pushed to the disk; only
// when all of them are complete are they renamed over the old files, in the
// order they were added. On any failure the old files stay as they were.
class AtomicWriteSet
{
public:
    // `fileName` names the file in a failure ("Caps.stn").
    void add(const QString &path, const QString &fileName, QByteArray content);
    StoreResult commit();

private:
    struct Entry
    {
        QString path;
        QString fileName;
        QByteArray content;
    };
    std::vector<Entry> m_entries;
};

} // namespace culegere
