// Start-up and exit: the main screen, its menu, About, the backup and the
// integrity check; the folder's lock, the leftovers cleared, the starts
// refused and the exits that cannot save.
#include "archive/archive_messages.h"
#include "archive/result_archive.h"
#include "printing/printing_messages.h"
#include "shell/decoration.h"
#include "store/collection_io.h"
#include "store/commit_record.h"
#include "support/driver.h"
#include "support/immutable_file.h"
#include "testing/testing_messages.h"

#include <QAction>
#include <QApplication>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QtTest>

using namespace culegere;
using test::Driver;

namespace {

QStringList shownScreens()
{
    QStringList names;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !w->objectName().isEmpty())
            names.append(w->objectName());
    }
    return names;
}

const QString kLock = QStringLiteral(".culegere.lock");
const QString kOpen = QStringLiteral("deja deschisa");

QByteArray programName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
}

// The lines of a lock: process, program, computer, computer id, boot.
QByteArray lockOf(const QByteArray &pid, const QByteArray &host, const QByteArray &hostId,
                  const QByteArray &boot)
{
    return pid + '\n' + programName() + '\n' + host + '\n' + hostId + '\n' + boot + '\n';
}

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT

private slots:
    // The main screen in its first state, its menu in its order
    // ("menu/caption/shortcut"), the divider that does nothing, About.
    void theMainScreenAndItsMenu()
    {
        Driver d;
        d.startOrFail();
        QCOMPARE(d.main()->windowTitle(), QString("Test....."));
        QCOMPARE(shownScreens(), QStringList{"Main"});
        QCOMPARE(d.phase(), test::phase::Startup);
        for (const char *answer : {"Option1_4", "Check1_8"}) // on pure blue
            QCOMPARE(d.control<QWidget>(answer)->palette().color(QPalette::Window),
                     QColor(0, 0, 255));
        // The decorative picture is shown as held, never scaled.
        const QImage held = decorativePicture();
        const QImage shown = d.control<QWidget>("Picture4")->grab().toImage();
        QCOMPARE(shown.copy(QRect({0, 0}, held.size())).convertToFormat(held.format()), held);

        QStringList items;
        for (QAction *top : d.main()->findChild<QMenuBar *>()->actions()) {
            for (QAction *item : top->menu()->actions())
                items << top->text() + '/' + item->text() + '/' + item->shortcut().toString();
        }
        QCOMPARE(items,
                 (QStringList{"&File/Seteaza problema/Ctrl+S",
                              "&File/Adauga/Elimina capitol/categorie/F2",
                              "&File/Vizualizeaza rezultate/Ctrl+T",
                              "&File/Vizualizeaza probleme/Ctrl+R", "&File/Print/Ctrl+P",
                              "&File/Backup/Ctrl+B", "&File/Testeaza Integritatea Culegerii/Ctrl+I",
                              "&File/" + QString(31, '-') + '/', "&File/Exit/",
                              "&Help/Utilizare/F1", "&Help/Despre/"}));
        d.chooseMenu("mnuHiphen");
        QVERIFY(d.platform.messages.isEmpty() && d.platform.cues.isEmpty());
        d.chooseMenu("mnuDespre");
        QCOMPARE(Driver::screen("frmDespre")->windowTitle(), QString("Despre"));
        QCOMPARE(shownScreens().size(), 2);
        Driver::press("frmDespre", "Command1");
        QCOMPARE(shownScreens(), QStringList{"Main"});
    }

    // The exit saves, hides every screen and frees the folder. An exit whose
    // save cannot be put in place (the catalogue refuses to be replaced)
    // keeps the program open and says the new files wait on disk, also at a
    // second exit after more edits, whose set is the one kept; the next
    // exit, with the way clear, ends it.
    void exit_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("menu Exit") << true << false;
        QTest::newRow("close box") << false << false;
        QTest::newRow("catalogue not put in place") << false << true;
    }
    void exit()
    {
        QFETCH(bool, byMenu);
        QFETCH(bool, blocked);
        Driver d;
        d.startOrFail();
        d.chooseMenu("mnuDespre");
        const QString problems = datafile::Problems;
        const QByteArray before = d.folder().read(problems);
        auto leave = [&] { byMenu ? d.chooseMenu("mnuExit") : Driver::closeFromFrame("Main"); };
        if (blocked) {
            {
                test::ImmutableFile stuck(d.folder().filePath(problems));
                if (!stuck.held())
                    QSKIP("the file system cannot make a file immutable here");
                // A second exit, with a chapter added after the first, says
                // the same and keeps the chapter: the newest set is pending.
                leave();
                d.chooseMenu("mnuAddCap");
                Driver::type("frmAddCap", "Text1", "Nou");
                Driver::press("frmAddCap", "Command1");
                Driver::press("frmAddCap", "Command3");
                d.platform.cues.clear();
                leave();
                QCOMPARE(d.platform.messageTexts().value(0), d.platform.messageTexts().value(1));
                d.platform.messages.removeFirst();
            }
            QVERIFY(d.main()->isVisible());
            const QString text = d.platform.messageTexts().join('|');
            QVERIFY2(text.contains(problems) && text.contains("sunt scrise pe disc"),
                     qPrintable(text));
            QCOMPARE(d.platform.messages[0].title, QString("Culegere electronica"));
            QVERIFY(d.platform.cues.isEmpty());
            d.platform.clear();
        }
        leave();
        QCOMPARE(shownScreens(), QStringList());
        QCOMPARE(d.platform.cueNames(), QStringList{"exit.wav"});
        QCOMPARE(d.folder().read(problems), before);
        QCOMPARE(d.folder().read(datafile::Chapters).contains("Nou"), blocked);
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden), // nor the lock
                 (QStringList{datafile::Chapters, problems, datafile::Users}));
        Driver next(d.path());
        QVERIFY(next.start());
    }

    // Whether the program starts on its folder. A lock of a copy on another
    // computer: the user decides, knowing which computer and since when. A
    // lock left on this computer by a copy no longer running is taken
    // without a question. A start refused says why, shows nothing and
    // touches no file; a start made holds the folder with a lock naming this
    // program as QLockFile would, so any copy judging it finds it live, and
    // a second copy is refused.
    void whetherItStarts_data()
    {
        QTest::addColumn<QString>("setup"); // "lock" or "unfinished"
        QTest::addColumn<QByteArray>("lock");
        QTest::addColumn<int>("answer");         // to the question; -1: none asked
        QTest::addColumn<QStringList>("saying"); // in the message; none when empty
        QTest::addColumn<bool>("started");
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const QByteArray endedPid = QByteArray::number(ended.processId());
        QVERIFY(ended.waitForFinished());
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QByteArray id = QSysInfo::machineUniqueId();
        const QByteArray other = "0123456789abcdef0123456789abcdef";
        const QByteArray lab = lockOf("4242", "calculatorul-din-laborator", other, "boot");
        const QStringList labNamed = {"calculatorul calculatorul-din-laborator"};
        const QStringList none;
        QTest::newRow("no lock") << "lock" << QByteArray("-") << -1 << none << true;
        QTest::newRow("its process ended")
            << "lock" << lockOf(endedPid, host, id, QSysInfo::bootUniqueId()) << -1 << none << true;
        QTest::newRow("made before a restart")
            << "lock" << lockOf(pid, host, id, "another-boot") << -1 << none << true;
        QTest::newRow("another computer, Nu") << "lock" << lab << 0 << labNamed << false;
        QTest::newRow("another computer, Da") << "lock" << lab << 1 << labNamed << true;
        // A lock cut short as it was made (nobody holds it), or what a copy
        // killed while it removed a stale lock left, keeps nobody out.
        QTest::newRow("empty lock") << "lock" << QByteArray() << -1 << none << true;
        QTest::newRow("a stale lock's removal cut short")
            << "rmlock" << QByteArray() << -1 << none << true;
        // A computer cloned from this one keeps its id; its name tells.
        QTest::newRow("a cloned computer, Nu") << "lock" << lockOf("4242", "clona", id, "boot") << 0
                                               << QStringList{"calculatorul clona"} << false;
        QTest::newRow("cut after the computer's name, Nu")
            << "lock" << lab.left(lab.indexOf("\n01")) << 0 << labNamed << false;
        // Computers copied from one another keep one name; their ids differ.
        if (!id.isEmpty()) {
            QTest::newRow("another computer of the same name, Nu")
                << "lock" << lockOf("4242", host, other, "boot") << 0
                << QStringList{"calculatorul " + QString::fromUtf8(host)} << false;
        }
        QTest::newRow("a lock of an older make, its copy running")
            << "lock" << pid + '\n' + programName() + '\n' + host + '\n'
            << -1 << QStringList{kOpen} << false;
        QTest::newRow("a save whose record cannot be read")
            << "unreadable" << QByteArray() << -1
            << QStringList{"Fisierele Caps.stn, Problems.stn, Users.stn nu pot fi citite"} << false;
        QTest::newRow("a save that cannot be finished")
            << "unfinished" << QByteArray() << -1
            << QStringList{"nu a putut fi terminata", "Caps.stn"} << false;
    }
    void whetherItStarts()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, lock);
        QFETCH(int, answer);
        QFETCH(QStringList, saying);
        QFETCH(bool, started);
        Driver first;
        test::TempAppFolder &dir = first.folder();
        if (setup == "unfinished") {
            dir.write(".culegere.new-00000000000a", chapterHeader(0));
            dir.write(".culegere.commit",
                      commitrecord::encode({{".culegere.new-00000000000a", datafile::Chapters}}));
            QFile::remove(dir.filePath(datafile::Chapters));
            dir.write("Caps.stn/in-the-way", {});
        } else if (setup == "unreadable") {
            dir.write(".culegere.commit/record", {});
        } else if (setup == "rmlock") {
            dir.write(kLock + ".rmlock", {});
        } else if (lock != "-") {
            dir.write(kLock, lock);
            QFile file(dir.filePath(kLock));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime(QDate(2026, 3, 2), QTime(8, 15)),
                                     QFileDevice::FileModificationTime));
        }
        const QStringList screens = shownScreens();
        const test::FolderBytes files = test::folderBytes(dir.path());
        Driver d(dir.path());
        d.platform.messageAnswers = {answer == 1};
        QCOMPARE(d.start(), started);
        QCOMPARE(d.platform.messages.size(), saying.isEmpty() ? 0 : 1);
        if (answer >= 0) {
            QCOMPARE(d.platform.messages[0].buttons, Platform::Buttons::YesNo);
            saying << "02.03.2026 08:15";
        }
        for (const QString &part : saying)
            QVERIFY2(d.platform.messages[0].text.contains(part),
                     qPrintable(d.platform.messages[0].text));
        if (!started) {
            QCOMPARE(shownScreens(), screens);
            QCOMPARE(test::folderBytes(dir.path()), files);
            return;
        }
        QCOMPARE(dir.read(kLock), lockOf(QByteArray::number(QCoreApplication::applicationPid()),
                                         QSysInfo::machineHostName().toUtf8(),
                                         QSysInfo::machineUniqueId(), QSysInfo::bootUniqueId()));
        QLockFile other(dir.filePath(kLock));
        QVERIFY(!other.tryLock(0));
        QVERIFY(!other.removeStaleLockFile());
        Driver second(dir.path());
        QVERIFY(!second.start());
        QVERIFY(second.platform.messageTexts().value(0).contains(kOpen));
        QVERIFY(d.exit());
        QVERIFY(!dir.exists(kLock) && !dir.exists(kLock + ".rmlock"));
    }

    // The folder taken over by another computer (a memory stick used there
    // and put back): this program writes nothing more (no result, backup,
    // sheet or exit save), says who has it, and
    // leaves that computer's lock and results as they are.
    void aFolderTakenOverIsNeverWritten()
    {
        Driver d;
        STEP(d.startOrFail());
        const QByteArray lab = lockOf("4242", "laborator", "0123456789abcdef", "boot");
        QFile::remove(d.folder().filePath(kLock));
        d.folder().write(kLock, lab);
        const UserRecord theirs = test::result("Elev", 7, 0, {2026, 5, 4});
        d.folder().write(datafile::Users, usersFileWithResult({}, 2, theirs, 3));
        d.folder().write("Arhiva.sqlite.de-adaugat", "their pending tests");
        const test::FolderBytes files = test::folderBytes(d.path());
        STEP(d.takeTest(4));
        QCOMPARE(d.platform.messageTexts().last(), testmsg::ResultNotSavedLockLost("laborator"));
        d.platform.clear();
        d.chooseMenu("mnuBackup");
        QCOMPARE(d.platform.messageTexts(), QStringList{testmsg::lockLost("laborator")});
        d.platform.clear();
        d.chooseMenu("mnuPrint");
        Driver::press("frmTipareste", "Option1");
        Driver::type("frmTipareste", "Text2", "test1");
        Driver::press("frmTipareste", "Command2");
        QCOMPARE(d.platform.messageTexts(),
                 QStringList{printmsg::SheetNotWrittenLockLost("laborator")});
        Driver::press("frmTipareste", "Command1");
        d.platform.messageAnswers = {false, true}; // "Nu" keeps the program, "Da" ends it
        d.chooseMenu("mnuExit");
        QVERIFY(d.main()->isVisible());
        d.chooseMenu("mnuExit");
        QVERIFY(!d.main()->isVisible());
        QVERIFY(d.platform.messageTexts().last().contains("laborator"));
        QCOMPARE(test::folderBytes(d.path()), files);
    }

    // Files beside the data files: the teacher's own copies stay byte for
    // byte; what the program's own replacements left is cleared.
    void startUpTouchesOnlyItsOwnLeftovers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("programsOwn");
        for (const char *name :
             {"Problems.stn.backup", "Caps.stn.copie1", "users.stn.ianuar", "Users.stn.aB3xYz",
              "Caps.stn.vechi", "Problems.stn.bak", ".culegere.new-0123456789AB",
              ".culegere.new-0123456789a", "culegere.new-0123456789ab", ".culegere.commit.bak",
              "backup/caps.stn.martie", "teste/test1.jpg.copie1", "backup/arhiva.sqlite.copie1",
              "arhiva.sqlite.copie"})
            QTest::newRow(name) << name << false;
        for (const char *name :
             {".culegere.new-0123456789ab", ".culegere.commit", "backup/.culegere.new-a1b2c3d4e5f6",
              "teste/.culegere.new-ffffffffffff", "backup/arhiva.sqlite.copie",
              "backup/arhiva.sqlite.copie-journal"})
            QTest::newRow(name) << name << true;
    }
    void startUpTouchesOnlyItsOwnLeftovers()
    {
        QFETCH(QString, name);
        QFETCH(bool, programsOwn);
        Driver d;
        const QByteArray content = "content of " + name.toUtf8();
        d.folder().write(name, content);
        d.startOrFail();
        QVERIFY(d.platform.messages.isEmpty());
        QCOMPARE(d.folder().exists(name), !programsOwn);
        if (!programsOwn)
            QCOMPARE(d.folder().read(name), content);
    }

    // "Backup" copies the data files and the archive into "backup"; a
    // damaged archive is neither copied nor repaired, its old copy stays.
    // The integrity check, a picture no problem uses in the folder, reports
    // the pictures, else the totals, and the archive.
    void backupAndIntegrity_data()
    {
        QTest::addColumn<bool>("damaged"); // the archive; the totals disagree too
        QTest::newRow("an archive, a picture missing") << false;
        QTest::newRow("a damaged archive, totals that disagree") << true;
    }
    void backupAndIntegrity()
    {
        QFETCH(bool, damaged);
        Collection c;
        test::addChapter(c, "A", damaged ? 19 : 20);
        for (int i = 1; i <= 20; ++i)
            test::addProblem(c, "A", test::pictureIndex(i));
        Driver d(c);
        test::TempAppFolder &dir = d.folder();
        dir.addPicture(test::pictureIndex(21));
        if (damaged) {
            dir.write("Arhiva.sqlite", QByteArray(2048, '\x33'));
        } else {
            QFile::remove(dir.filePath("probleme/probl00012.jpg"));
            ResultArchive made(dir.filePath("Arhiva.sqlite"));
            QVERIFY(made.open().ok());
            ArchivedTest t;
            t.pupil = "Ana";
            t.date = {2026, 5, 5};
            QVERIFY(made.add({t, t}).ok());
        }
        const QByteArray archiveBytes = dir.read("Arhiva.sqlite");
        dir.write("backup/arhiva.sqlite", "old copy");
        d.startOrFail();
        d.chooseMenu("mnuBackup");
        QCOMPARE(d.platform.cueNames(), damaged ? QStringList() : QStringList{"setareok.wav"});
        QCOMPARE(d.platform.messages.size(), damaged ? 1 : 0);
        QVERIFY(!damaged || d.platform.messageTexts()[0].startsWith(archivemsg::BackupDamaged));
        QCOMPARE(dir.read("backup/problems.stn"), dir.read(datafile::Problems));
        QCOMPARE(QDir(dir.filePath("backup")).entryList(QDir::Files | QDir::Hidden).size(), 4);
        ResultArchive copy(dir.filePath("backup/arhiva.sqlite"));
        if (damaged)
            QCOMPARE(dir.read("backup/arhiva.sqlite"), QByteArray("old copy"));
        else
            QVERIFY(copy.open(false).ok() && copy.testCount() == 2);

        d.platform.clear();
        d.chooseMenu("mnuTesteazaIntegritate");
        const QStringList shown = d.platform.messageTexts();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.first(),
                 QString(damaged
                             ? "Exista nepotriviri in baza de date!... Va rugam sa verificati..."
                             : "Problema cu indexul: 00012 nu se mai afla in folderul -probleme-"));
        QVERIFY2(shown.last().startsWith(damaged ? "Arhiva rezultatelor este deteriorata: "
                                                 : archivemsg::CheckOk.arg(2)),
                 qPrintable(shown.last()));
        QCOMPARE(d.platform.messages[0].title, QString("Culegere electronica"));
        QCOMPARE(d.platform.cueNames(), QStringList{"exitform.wav"});
        if (damaged) // checked, never repaired
            QCOMPARE(dir.read("Arhiva.sqlite"), archiveBytes);
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
