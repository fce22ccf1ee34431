// Crash safety. crash_worker runs one store operation on a folder; strace
// kills it with SIGKILL right before one system call of that operation, for
// every file and descriptor call the operation makes. After each kill every
// file must be byte for byte as before or as after the operation, and the
// next start-up must load the folder.
//
// strace counts calls per system call name from the start of the process, so
// a run without a kill records the calls, and the k-th call after the marker
// the worker prints, say the n-th "write" since its start, is reached with
// "-e inject=write:signal=KILL:when=n".
#include "shell/application.h"
#include "store/collection_io.h"
#include "store/data_files.h"
#include "support/fake_platform.h"
#include "support/temp_app_folder.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <map>
#include <memory>

using namespace culegere;

namespace {

const QString kWorker = QStringLiteral(CULEGERE_CRASH_WORKER);
const QByteArray kMarkerOut = "crash-worker: begin\n";
const QByteArray kMarkerTraced = R"("crash-worker: begin\n")"; // as strace prints it
const QString kLockFile = QStringLiteral(".culegere.lock");    // the program's folder lock

using Tree = QMap<QString, QByteArray>; // every file under a folder, by relative path

Tree readTree(const QString &root)
{
    Tree tree;
    const QDir base(root);
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(file.fileName()));
        tree.insert(base.relativeFilePath(file.fileName()), file.readAll());
    }
    return tree;
}

// Replaces whatever is in `root` by `tree`.
void writeTree(const QString &root, const Tree &tree)
{
    QDir(root).removeRecursively();
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        const QString path = root + u'/' + it.key();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            qFatal("cannot write %s", qPrintable(path));
    }
}

QString pictureIndex(int i)
{
    return QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
}

// Two chapters, ten problems, the pictures 00001..00013 (three not yet
// catalogued) and a log of 3 results, or of 98 (full) for "roll"; for
// "backup" also older copies in backup/.
Tree folderBefore(const QString &operation)
{
    test::TempAppFolder dir;
    auto c = std::make_unique<Collection>();
    test::addChapter(*c, "Algebra", 6);
    test::addChapter(*c, "Analiza", 4);
    for (int i = 1; i <= 10; ++i)
        test::addProblem(*c, i <= 6 ? "Algebra" : "Analiza", pictureIndex(i), qint16(i % 5));
    for (int i = 1; i <= 13; ++i)
        dir.addPicture(pictureIndex(i), {16, 16});
    const int results = operation == QLatin1String("roll") ? 98 : 3;
    for (int k = 0; k < results; ++k) {
        c->UserTable[Collection::FirstRow + k] =
            test::result("Elev " + QByteArray::number(k + 1), qint16(1 + k % 10), qint16(k),
                         QDate(2026, 1, 5).addDays(k));
    }
    c->NextUserRecord = qint16(Collection::FirstRow + results);
    dir.writeCollection(*c);
    if (operation == QLatin1String("backup")) {
        auto older = std::make_unique<Collection>();
        test::addChapter(*older, "Algebra", 2);
        test::addProblem(*older, "Algebra", pictureIndex(1));
        test::addProblem(*older, "Algebra", pictureIndex(2));
        dir.write(QStringLiteral("backup/caps.stn"), chaptersFileForExit({}, *older));
        dir.write(QStringLiteral("backup/problems.stn"), problemsFileForExit({}, *older));
        dir.write(QStringLiteral("backup/users.stn"),
                  usersFileWithHeader({}, Collection::FirstRow));
    }
    return readTree(dir.path());
}

struct Run
{
    bool killed = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTraced(const QString &strace, const QStringList &options, const QStringList &arguments)
{
    QProcess process;
    // LeakSanitizer refuses to run under a tracer and would fail a sanitized build.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(strace, options + QStringList{QStringLiteral("--"), kWorker} + arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = "did not finish within a minute";
        return run;
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.exitCode = process.exitCode();
    // strace ends itself with the signal that ended the worker.
    run.killed = process.exitStatus() == QProcess::CrashExit ? run.exitCode == SIGKILL
                                                             : run.exitCode == 128 + SIGKILL;
    return run;
}

struct Call
{
    QString name;
    int ordinal; // among the calls of that name since the worker started
};

// The calls of the traced run after the worker's marker. Fails when the
// worker ran more than one thread: strace counts per thread.
QList<Call> callsAfterMarker(const QByteArray &log, QString *error)
{
    static const QRegularExpression call(QStringLiteral(R"(^(\d+) +([a-z0-9_]+)\()"));
    std::map<QString, int> seen;
    QSet<QString> threads;
    QList<Call> calls;
    bool begun = false;
    for (const QByteArray &line : log.split('\n')) {
        const QRegularExpressionMatch m = call.match(QString::fromLatin1(line));
        if (!m.hasMatch()) // "<... resumed>", signals, the end
            continue;
        threads.insert(m.captured(1));
        const QString name = m.captured(2);
        const int ordinal = ++seen[name];
        if (begun)
            calls.append({name, ordinal});
        else if (name == QLatin1String("write") && line.contains(kMarkerTraced))
            begun = true;
    }
    if (threads.size() != 1)
        *error = QStringLiteral("the worker ran %1 threads; the kill points need one")
                     .arg(threads.size());
    else if (!begun)
        *error = QStringLiteral("the marker is not in the trace");
    return calls;
}

// A file QSaveFile writes beside its target: "<target>.XXXXXX".
bool isTemporaryBeside(const QString &path, const Tree &known)
{
    static const QRegularExpression temporary(QStringLiteral(R"(^(.+)\.[A-Za-z0-9]{6}$)"));
    const QRegularExpressionMatch m = temporary.match(path);
    return m.hasMatch() && known.contains(m.captured(1));
}

struct Tally
{
    int allBefore = 0;
    int allAfter = 0;
    int mixed = 0; // some changed files as before, others as after
    int lockLeft = 0;
    int temporaryLeft = 0;
    int temporaryAfterStartUp = 0;
    QSet<QString> temporaryNames;
    std::map<QString, int> callsByName;
};

// Every file of `now` is as before or as after the operation; the lock and
// temporary files of an unfinished replacement are tallied.
void checkFiles(const Tree &now, const Tree &before, const Tree &after, const QString &where,
                Tally &tally)
{
    Tree known = before;
    known.insert(after);
    bool someBefore = false;
    bool someAfter = false;
    for (auto it = known.begin(); it != known.end(); ++it) {
        const QString &path = it.key();
        const bool old = now.contains(path) ? before.contains(path) && now[path] == before[path]
                                            : !before.contains(path);
        const bool fresh = now.contains(path) ? after.contains(path) && now[path] == after[path]
                                              : !after.contains(path);
        QVERIFY2(old || fresh, qPrintable(QStringLiteral("%1: %2 is neither as before nor as after "
                                                         "(%3 bytes; before %4, after %5)")
                                              .arg(where, path)
                                              .arg(now.value(path).size())
                                              .arg(before.value(path).size())
                                              .arg(after.value(path).size())));
        someBefore |= old && !fresh;
        someAfter |= fresh && !old;
    }
    tally.allBefore += someBefore && !someAfter;
    tally.allAfter += someAfter && !someBefore;
    tally.mixed += someBefore && someAfter;

    bool temporary = false;
    for (auto it = now.begin(); it != now.end(); ++it) {
        if (known.contains(it.key()))
            continue;
        if (it.key() == kLockFile) {
            ++tally.lockLeft;
        } else if (isTemporaryBeside(it.key(), known)) {
            temporary = true;
            tally.temporaryNames.insert(it.key());
        } else {
            QFAIL(qPrintable(QStringLiteral("%1: unexpected file %2").arg(where, it.key())));
        }
    }
    tally.temporaryLeft += temporary;
}

// The store loads the folder, and so does the program with its screens.
void checkStartUp(const QString &folder, const QString &where)
{
    {
        auto c = std::make_unique<Collection>();
        DataFiles files{AppFolder(folder)};
        const StoreResult loaded = files.openAndLoad(*c);
        QVERIFY2(loaded.ok(),
                 qPrintable(QStringLiteral("%1: the store refused the folder (error %2, %3)")
                                .arg(where)
                                .arg(int(loaded.error))
                                .arg(loaded.fileName)));
    }
    test::FakePlatform platform;
    Application app(folder, platform);
    QVERIFY2(app.start(), qPrintable(QStringLiteral("%1: start-up refused: %2")
                                         .arg(where, platform.messageTexts().join(u'|'))));
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messageTexts().join(u'|')));
}

} // namespace

class TstCrashSafety : public QObject
{
    Q_OBJECT

    QString m_strace;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(kWorker), qPrintable(kWorker));
        m_strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (m_strace.isEmpty())
            QSKIP("strace is not installed (scripts/install-deps.sh test installs it)");
        // Without arguments the worker prints its usage and ends with 1.
        const Run traced = runTraced(
            m_strace, {QStringLiteral("-qq"), QStringLiteral("-o"), QStringLiteral("/dev/null")},
            {});
        if (traced.exitCode != 1 || !traced.err.contains("usage"))
            QSKIP(
                qPrintable(QStringLiteral("strace cannot trace here (no permission to trace?): ") +
                           QString::fromLocal8Bit(traced.err.trimmed())));
        const Run injected =
            runTraced(m_strace,
                      {QStringLiteral("-qq"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                       QStringLiteral("-e"), QStringLiteral("trace=openat"), QStringLiteral("-e"),
                       QStringLiteral("inject=openat:signal=KILL:when=1")},
                      {});
        QVERIFY2(
            injected.killed,
            ("strace traces, but its fault injection does not kill: " + injected.err).constData());
    }

    void killLeavesNoHalfWrittenFileAndStartUpLoads_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("changed"); // the files the operation replaces
        // What loading the folder after the operation gives.
        QTest::addColumn<int>("chapters");
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("nextUserRecord");
        QTest::addColumn<QByteArray>("oldestResult");
        QTest::addColumn<QByteArray>("newestResult");

        const QStringList dataFiles{datafile::Chapters, datafile::Problems};
        QTest::newRow("exit save with edits")
            << "save" << dataFiles << 3 << 13 << 5 << QByteArray("Elev 1") << QByteArray("Elev 3");
        QTest::newRow("result append") << "append" << QStringList{datafile::Users} << 2 << 10 << 6
                                       << QByteArray("Elev 1") << QByteArray("Ionescu Maria");
        QTest::newRow("result append rolling a full log")
            << "roll" << QStringList{datafile::Users} << 2 << 10 << 100 << QByteArray("Elev 2")
            << QByteArray("Ionescu Maria");
        QTest::newRow("backup over older copies")
            << "backup" << QStringList{"backup/users.stn", "backup/caps.stn", "backup/problems.stn"}
            << 2 << 10 << 5 << QByteArray("Elev 1") << QByteArray("Elev 3");
    }

    void killLeavesNoHalfWrittenFileAndStartUpLoads()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, changed);
        QElapsedTimer timer;
        timer.start();
        const Tree before = folderBefore(operation);

        // Every run uses the same folder path: the catalogue stores it.
        QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("Culegere"));
        const QString log = work.filePath(QStringLiteral("trace.log"));

        // The run without a kill gives the files after and the calls to kill at.
        writeTree(folder, before);
        const Run full =
            runTraced(m_strace,
                      {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"), log,
                       QStringLiteral("-e"), QStringLiteral("trace=%file,%desc")},
                      {operation, folder});
        QVERIFY2(!full.killed && full.exitCode == 0, full.err.constData());
        const Tree after = readTree(folder);
        checkAfter(before, after, changed, folder);
        if (QTest::currentTestFailed())
            return;

        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        QString error;
        const QList<Call> calls = callsAfterMarker(logFile.readAll(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!calls.isEmpty());

        Tally tally;
        for (qsizetype i = 0; i < calls.size(); ++i) {
            const Call &call = calls[i];
            const QString where = QStringLiteral("killed at call %1 of %2 (%3 #%4)")
                                      .arg(i + 1)
                                      .arg(calls.size())
                                      .arg(call.name)
                                      .arg(call.ordinal);
            ++tally.callsByName[call.name];
            writeTree(folder, before);
            const Run run = runTraced(
                m_strace,
                {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"),
                 QStringLiteral("/dev/null"), QStringLiteral("-e"),
                 QStringLiteral("trace=") + call.name, QStringLiteral("-e"),
                 QStringLiteral("inject=%1:signal=KILL:when=%2").arg(call.name).arg(call.ordinal)},
                {operation, folder});
            QVERIFY2(run.killed, qPrintable(where + QStringLiteral(": not killed, ") +
                                            QString::fromLocal8Bit(run.err)));
            // Killed before the marker would mean the start-up is not repeatable.
            QVERIFY2(run.out == kMarkerOut,
                     qPrintable(where + QStringLiteral(": killed before the operation")));

            checkFiles(readTree(folder), before, after, where, tally);
            if (QTest::currentTestFailed())
                return;
            checkStartUp(folder, where);
            if (QTest::currentTestFailed())
                return;
            const Tree restarted = readTree(folder);
            tally.temporaryAfterStartUp +=
                std::any_of(restarted.keyBegin(), restarted.keyEnd(),
                            [&](const QString &path) { return isTemporaryBeside(path, before); });
        }

        QStringList byName;
        for (const auto &[name, count] : tally.callsByName)
            byName.append(QStringLiteral("%1 %2").arg(name).arg(count));
        QStringList temporaryNames = tally.temporaryNames.values();
        temporaryNames.sort();
        qInfo().noquote()
            << QStringLiteral("%1: %2 kill points (%3) in %4 ms; files all as before at %5, all "
                              "as after at %6, mixed at %7; folder lock left at %8; temporary "
                              "files left at %9 (%10), still there after the next start-up at %11")
                   .arg(QString::fromLatin1(QTest::currentDataTag()))
                   .arg(calls.size())
                   .arg(byName.join(u", "))
                   .arg(timer.elapsed())
                   .arg(tally.allBefore)
                   .arg(tally.allAfter)
                   .arg(tally.mixed)
                   .arg(tally.lockLeft)
                   .arg(tally.temporaryLeft)
                   .arg(temporaryNames.isEmpty() ? QStringLiteral("none")
                                                 : temporaryNames.join(u", "))
                   .arg(tally.temporaryAfterStartUp);
    }

private:
    // The uninterrupted operation changed what it should and nothing else, and
    // the folder loads as the data row says.
    static void checkAfter(const Tree &before, const Tree &after, const QStringList &changed,
                           const QString &folder)
    {
        QCOMPARE(after.keys(), before.keys());
        for (auto it = before.begin(); it != before.end(); ++it) {
            QVERIFY2((after[it.key()] != it.value()) == changed.contains(it.key()),
                     qPrintable(it.key()));
        }
        QFETCH(int, chapters);
        QFETCH(int, problems);
        QFETCH(int, nextUserRecord);
        QFETCH(QByteArray, oldestResult);
        QFETCH(QByteArray, newestResult);
        auto c = std::make_unique<Collection>();
        QVERIFY(DataFiles(AppFolder(folder)).openAndLoad(*c).ok());
        QCOMPARE(c->ChapterCount, chapters);
        QCOMPARE(c->ProblemCount, problems);
        QCOMPARE(c->NextUserRecord, nextUserRecord);
        QCOMPARE(c->UserTable[Collection::FirstRow].Name.trimmed(), oldestResult);
        QCOMPARE(c->UserTable[c->NextUserRecord - 1].Name.trimmed(), newestResult);
    }
};

QTEST_MAIN(TstCrashSafety)
#include "tst_crash_safety.moc"
