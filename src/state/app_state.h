#pragma once

#include "archive/archive_access.h"
#include "folder/app_folder.h"
#include "state/result_recorder.h"
#include "state/test_state.h"
#include "state/test_watch.h"
#include "store/collection.h"
#include "store/data_files.h"

namespace culegere {

// The state every screen works on directly: the application folder, its data
// files, the collection, the test definition and the running test. Owned by
// the Application and handed to each screen by reference. The archive is
// opened on its first use; at start-up only to take in a pending record. `watch` tells every screen
// whether a test is under way.
struct AppState
{
    explicit AppState(const AppFolder &appFolder);

    AppFolder folder;
    DataFiles files;
    Collection collection;
    TestDefinition definition;
    CurrentTest test;
    ArchiveAccess archive;
    ResultRecorder recorder; // writes each result into the log, then the archive
    TestWatch watch;
};

} // namespace culegere
