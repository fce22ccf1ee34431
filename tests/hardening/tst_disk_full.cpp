// A full disk and a read-only one under the running program. A result written
// at a correction, the save at exit, a backup and a test sheet saved to a
// file must each fail with a message naming what was not written, play no
// success cue, and leave every file of the folder byte for byte as it was
// (data files, backup copies, an older sheet); once the disk has room again,
// or is writable again, the same step must succeed in the same session.
//
// The application folder is a small tmpfs mounted for each case, so the test
// needs root (as in CI); elsewhere it is skipped.
#include "shell/folder_choice.h"
#include "store/collection_io.h"
#include "support/small_disk.h"
#include "testing/testing_messages.h"

#include <QRadioButton>
#include <QtTest>

using namespace culegere;
using test::Driver;
using test::SmallDisk;

namespace {

enum class Step { Result, Exit, Backup, Sheet };
enum class Trouble { Full, ReadOnly };

// Brings the program to the moment before `step`: a test answered, a
// chapter added (only the exit saves it), the print screen set to a file.
void prepare(Driver &d, Step step)
{
    if (step == Step::Result || step == Step::Sheet) {
        STEP(d.defineWholeCollection());
        STEP(d.draw());
        STEP(d.answer(4));
    }
    if (step == Step::Exit) {
        STEP(d.chooseMenu("mnuAddCap"));
        STEP(Driver::type("frmAddCap", "Text1", "Fractii"));
        STEP(Driver::press("frmAddCap", "Command1"));
        STEP(Driver::press("frmAddCap", "Command3"));
    }
    if (step == Step::Sheet) {
        STEP(d.chooseMenu("mnuPrint"));
        STEP(Driver::click(Driver::control<QRadioButton>("frmTipareste", "Option1")));
        STEP(Driver::type("frmTipareste", "Text2", "test1"));
    }
}

// Runs `step`; false when the exit left the program running.
bool run(Driver &d, Step step)
{
    if (step == Step::Result)
        d.correct();
    if (step == Step::Backup)
        d.chooseMenu("mnuBackup");
    if (step == Step::Sheet)
        Driver::press("frmTipareste", "Command2");
    return step != Step::Exit || d.exit();
}

} // namespace

class TstDiskFull : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QTemporaryDir folder;
        if (const QString problem = SmallDisk(folder.path(), 1).problem(); !problem.isEmpty())
            QSKIP(qPrintable(problem));
    }

    void failedWriteLosesNothingAndCanBeDoneAgain_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("named"); // what the message names
        QTest::addColumn<QString>("cue");   // the success cue, never played on a failure
        const struct
        {
            const char *name;
            Step step;
            QString named, cue;
        } steps[] = {
            {"result of a correction", Step::Result, "Users.stn", "exit.wav"},
            {"exit save", Step::Exit, "Caps.stn", "exit.wav"},
            {"backup", Step::Backup, "users.stn, caps.stn, problems.stn", "setareok.wav"},
            {"sheet to a file", Step::Sheet, "test1.jpg", "setareok.wav"},
        };
        for (const auto &s : steps) {
            QTest::addRow("full disk, %s", s.name) << s.step << Trouble::Full << s.named << s.cue;
            QTest::addRow("read-only disk, %s", s.name)
                << s.step << Trouble::ReadOnly << s.named << s.cue;
        }
    }
    void failedWriteLosesNothingAndCanBeDoneAgain()
    {
        QFETCH(Step, step);
        QFETCH(Trouble, trouble);
        QFETCH(QString, named);
        QFETCH(QString, cue);
        // The sample collection with two results, older backup copies and an
        // older sheet.
        Driver sample;
        Collection c = test::sampleCollection();
        c.UserTable[c.NextUserRecord++] = test::result("Ana", 8, 40, {2026, 11, 30});
        c.UserTable[c.NextUserRecord++] = test::result("Ion", 6, 52, {2026, 12, 1});
        sample.folder().writeCollection(c);
        sample.folder().write("backup/users.stn", userHeader(3) + c.UserTable[2].encoded());
        sample.folder().write("backup/caps.stn", chapterHeader(0));
        sample.folder().write("backup/problems.stn", problemHeader(0));
        sample.folder().write("teste/test1.jpg", "an older sheet");
        SmallDisk disk(sample.path(), 3);
        QVERIFY2(disk.problem().isEmpty(), qPrintable(disk.problem()));
        Driver d(sample.path());
        STEP(d.startOrFail());
        STEP(prepare(d, step));
        const QStringList skipped{SmallDisk::Filler, ".culegere.lock"};
        const test::FolderBytes before = test::folderBytes(d.path(), skipped);

        QVERIFY(trouble == Trouble::Full ? disk.fill() : disk.setReadOnly());
        d.platform.clear();
        QCOMPARE(run(d, step), step != Step::Exit); // the exit leaves the program running
        QVERIFY(step == Step::Sheet ? Driver::screen("frmTipareste")->isVisible()
                                    : d.main()->isVisible());
        const QString text = d.platform.messageTexts().value(0);
        QVERIFY2(text.contains(named), qPrintable(text));
        if (step == Step::Result)
            QCOMPARE(text, testmsg::ResultNotSaved.arg(datafile::Users));
        QVERIFY2(!d.platform.cueNames().contains(cue), qPrintable(d.platform.cueNames().join(' ')));
        QCOMPARE(test::folderBytes(d.path(), skipped), before);

        QVERIFY(trouble == Trouble::Full ? disk.makeRoom() : disk.setWritable());
        d.platform.clear();
        QVERIFY(run(d, step));
        QCOMPARE(d.platform.messageTexts(), QStringList());
        QVERIFY(d.platform.cueNames().contains(cue));
        const std::optional<Collection> saved = test::collectionOnDisk(d.path());
        QVERIFY(saved);
        if (step == Step::Result)
            QCOMPARE(saved->UserTable[saved->NextUserRecord - 1].Grade, qint16(5));
        if (step == Step::Exit)
            QCOMPARE(chapterNames(*saved).last(), QString("Fractii"));
        for (const QString &name : {datafile::Users, datafile::Problems}) {
            if (step == Step::Backup)
                QCOMPARE(sample.folder().read("backup/" + name.toLower()),
                         sample.folder().read(name));
        }
        if (step == Step::Sheet)
            QVERIFY(sample.folder().read("teste/test1.jpg").startsWith("\xff\xd8\xff"));
        QVERIFY(step == Step::Exit || d.exit()); // and the program can still be left
    }

    // A program started from a folder it cannot write to (a read-only copy
    // of the application folder) keeps its collection in the home, filled
    // from its own folder as an installed program fills it.
    void readOnlyProgramFolderFillsTheHomeFolder()
    {
        test::TempAppFolder dir;
        const QString program = dir.filePath("program"), home = dir.filePath("home");
        QDir().mkpath(home);
        const QStringList taken{"Caps.stn", "Problems.stn", "probleme/probl00001.jpg",
                                "next.wav", "help.chm",     "help/index.html"};
        const QStringList left{"Users.stn", "culegere", "backup/users.stn", "teste/test1.jpg"};
        for (const QString &name : taken + left)
            dir.write("program/" + name, "the program's " + name.toUtf8());
        SmallDisk disk(program, 3);
        QVERIFY2(disk.problem().isEmpty(), qPrintable(disk.problem()));
        QVERIFY(disk.setReadOnly());

        const QString folder = chooseAppFolder({"culegere"}, program, home);
        QCOMPARE(folder, home + "/Culegere");
        QCOMPARE(fillingSource(program), program);
        QVERIFY(prepareAppFolder(folder, fillingSource(program), true));
        for (const QString &name : taken)
            QCOMPARE(dir.read("home/Culegere/" + name), dir.read("program/" + name));
        for (const QString &name : left)
            QVERIFY2(!dir.exists("home/Culegere/" + name), qPrintable(name));
        QVERIFY(dir.exists("home/Culegere/teste") && dir.exists("home/Culegere/backup"));
    }
};

QTEST_MAIN(TstDiskFull)
#include "tst_disk_full.moc"
