// crash_worker <operation> <folder>: opens the application folder as the
// program does, prepares one operation, writes the marker line to stdout and
// then runs the operation, exiting 0 when it succeeded.
//
// tst_crash_safety runs it under strace and kills it at one system call after
// the marker. The counting relies on the worker doing the same system calls,
// in the same order, on every run: it stays single-threaded and creates no
// QCoreApplication.
//
//   save    the exit save after a chapter was added, a problem re-filed under
//           it and the three pictures 00011..00013 catalogued
//   append  a result appended to the log
//   roll    a result appended to a full log (header 100), which rolls it
//   backup  the backup of the three data files into backup/
#include "editing/chapter_rules.h"
#include "editing/problem_editing.h"
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
        return fail("usage: crash_worker save|append|roll|backup <folder>");
    const QByteArray operation = argv[1];
    const AppFolder folder(QString::fromLocal8Bit(argv[2]));

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

    if (::write(STDOUT_FILENO, kMarker, sizeof kMarker - 1) != sizeof kMarker - 1)
        return fail("cannot write the marker");

    if (operation == "save")
        return files.saveAtExit(c).ok() ? 0 : fail("the exit save failed");
    if (operation == "append" || operation == "roll")
        return files.appendResult(c, result).ok() ? 0 : fail("the result was not stored");
    if (operation == "backup")
        return backupDataFiles(files, folder).copiedAll() ? 0 : fail("the backup failed");
    return fail("unknown operation");
}
