// crash_worker <operation> <folder>: opens the application folder as the
// program does, prepares one operation, writes the begin marker to stdout,
// runs the operation, then writes the end marker with what the operation
// answered ("crash-worker: end <StoreError>") and exits 0 when it succeeded.
//
// tst_crash_safety runs it under strace and kills it at one system call
// between the markers, or makes that call fail. The counting relies on the
// worker doing the same system calls, in the same order, on every run: it
// stays single-threaded and creates no QCoreApplication.
//
//   save    the exit save after a chapter was added, a problem re-filed under
//           it and the three pictures 00011..00013 catalogued
//   append  a result appended to the log
//   roll    a result appended to a full log (header 100), which rolls it
//   backup  the backup of the three data files into backup/
//   archive a result recorded: kept pending, appended to the log, then
//           added to the archive Arhiva.sqlite (opened before the begin
//           marker, as a running program has it open)
//   fill    the first fill of a new application folder <folder> from the
//           files in "<folder>.source"
#include "archive/archive_access.h"
#include "editing/chapter_rules.h"
#include "editing/problem_editing.h"
#include "shell/folder_choice.h"
#include "state/result_recorder.h"
#include "store/backup.h"
#include "store/data_files.h"
#include "support/temp_app_folder.h"

#include <QLockFile>

#include <cstdio>
#include <unistd.h>

using namespace culegere;

namespace {

constexpr char kMarker[] = "crash-worker: begin\n";

int fail(const char *what)
{
    std::fprintf(stderr, "crash_worker: %s\n", what);
    return 1;
}

int finish(StoreError answer)
{
    const QByteArray end = "crash-worker: end " + QByteArray::number(int(answer)) + '\n';
    if (::write(STDOUT_FILENO, end.constData(), size_t(end.size())) != end.size())
        return fail("cannot write the end marker");
    return answer == StoreError::None ? 0 : 1;
}

bool editCollection(Collection &c, const AppFolder &folder)
{
    if (ChapterRules(c).add(QStringLiteral("Geometrie")) != ChapterRules::Added::Added)
        return false;
    ProblemEditing editing(c, folder);
    const struct
    {
        const char *index;
        const char *chapter;
    } saves[] = {{"00002", "Geometrie"}, // re-filed
                 {"00011", "Geometrie"},
                 {"00012", "Analiza"},
                 {"00013", "Analiza"}};
    for (const auto &save : saves) {
        if (editing.lookUp(QString::fromLatin1(save.index)).kind ==
            ProblemEditing::LookUp::NoSuchProblem)
            return false;
        editing.markAnswer(3);
        if (editing.save(QString::fromLatin1(save.chapter)) != ProblemEditing::Saved::Saved)
            return false;
    }
    editing.close();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return fail("usage: crash_worker save|append|roll|backup|archive|fill <folder>");
    const QByteArray operation = argv[1];
    const AppFolder folder(QString::fromLocal8Bit(argv[2]));
    if (operation == "fill") {
        if (::write(STDOUT_FILENO, kMarker, sizeof kMarker - 1) != sizeof kMarker - 1)
            return fail("cannot write the marker");
        const bool filled = prepareAppFolder(folder.root(), folder.root() + ".source", true);
        return finish(filled ? StoreError::None : StoreError::CannotWrite);
    }

    // A running program holds this lock (see Application); a killed one
    // leaves it behind for the next start-up to deal with.
    QLockFile lock(folder.resolve(QStringLiteral("\\.culegere.lock")));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return fail("the folder is locked");

    DataFiles files(folder);
    Collection c;
    if (!files.openAndLoad(c).ok())
        return fail("start-up refused");
    if (operation == "save" && !editCollection(c, folder))
        return fail("editing refused");
    const UserRecord result = test::result("Ionescu Maria", 8, 321, {2026, 5, 14});
    ArchiveAccess archive(folder.resolve(QStringLiteral("\\Arhiva.sqlite")));
    const QList<ArchivedTest> logBefore = loggedResults(c);
    if (operation == "archive" && !archive.use(logBefore))
        return fail("the archive does not open");

    if (::write(STDOUT_FILENO, kMarker, sizeof kMarker - 1) != sizeof kMarker - 1)
        return fail("cannot write the marker");

    if (operation == "save")
        return finish(files.saveAtExit(c).error);
    if (operation == "append" || operation == "roll")
        return finish(files.appendResult(c, result).error);
    if (operation == "backup") {
        const BackupReport report = backupDataFiles(files, folder);
        return finish(report.copiedAll() && report.notReopened.isEmpty() ? StoreError::None
                                                                         : StoreError::CannotWrite);
    }
    if (operation == "archive") {
        ArchivedTest test{"Ionescu Maria", {2026, 5, 14}, {10, 30}, 321, 8, false, true, {}, {}};
        for (int p = 0; p < 9; ++p)
            test.answers.append({test::pictureIndex(p + 1), QStringLiteral("Algebra"), p % 5, 1});
        const RecordedResult recorded = ResultRecorder(files, c, archive).record(result, test);
        if (!recorded.stored.written())
            return finish(recorded.stored.error);
        return finish(recorded.archiveMessage.isEmpty() ? StoreError::None
                                                        : StoreError::CannotWrite);
    }
    return fail("unknown operation");
}
