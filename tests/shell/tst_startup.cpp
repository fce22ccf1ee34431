// Start-up, the main screen in its first state, the menu, help, About and exit.
#include "shell/application.h"
#include "shell/decoration.h"
#include "store/collection_io.h"
#include "store/commit_record.h"
#include "support/file_size_limit.h"
#include "support/running_app.h"
#include "support/scripted_platform.h"
#include "support/temp_app_folder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace culegere;
using test::child;
using test::ScriptedPlatform;
using test::TempAppFolder;
using test::topLevel;
using test::visibleTopLevels;

namespace {

Collection sampleCollection()
{
    Collection c;
    test::addChapter(c, "  Ecuatii  ", 2);
    test::addChapter(c, "Fractii", 1);
    test::addProblem(c, "  Ecuatii  ", "00001");
    test::addProblem(c, "  Ecuatii  ", "00002");
    test::addProblem(c, "Fractii", "00003");
    return c;
}

struct Started : test::RunningApp
{
    explicit Started(const Collection &c = sampleCollection()) : RunningApp(c) {}
};

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT

private slots:
    void mainScreenAppearsWithItsCaption()
    {
        Started s;
        QCOMPARE(s.main()->objectName(), QString("Main"));
        QCOMPARE(s.main()->windowTitle(), QString("Test....."));
        QVERIFY(s.main()->isVisible());
        QVERIFY(s.platform.messages.isEmpty());
        // The chapters screen and the problem editor exist, hidden.
        QVERIFY(topLevel("frmAddCap") && !topLevel("frmAddCap")->isVisible());
        QVERIFY(topLevel("frmSetProblema") && !topLevel("frmSetProblema")->isVisible());
        QCOMPARE(visibleTopLevels(), QStringList{"Main"});
    }

    void chapterListsAreFilledTrimmed()
    {
        Started s;
        auto *list = child<QListWidget>(topLevel("frmAddCap"), "listCap");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("Ecuatii"));
        QCOMPARE(list->item(1)->text(), QString("Fractii"));
        QWidget *editor = topLevel("frmSetProblema");
        QCOMPARE(child<QComboBox>(editor, "Combo1")->count(), 0);
        QCOMPARE(child<QLabel>(editor, "Label2")->text(), QString("Numar total probleme:  3"));
    }

    void menu_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<bool>("enabled");
        const QKeySequence none;
        QTest::newRow("1") << "mnuFile" << 0 << "mnuSeteazaProbl"
                           << "Seteaza problema" << QKeySequence("Ctrl+S") << true;
        QTest::newRow("2") << "mnuFile" << 1 << "mnuAddCap"
                           << "Adauga/Elimina capitol/categorie" << QKeySequence("F2") << true;
        QTest::newRow("3") << "mnuFile" << 2 << "mnuRezultate"
                           << "Vizualizeaza rezultate" << QKeySequence("Ctrl+T") << true;
        QTest::newRow("4") << "mnuFile" << 3 << "mnuRezolva"
                           << "Vizualizeaza probleme" << QKeySequence("Ctrl+R") << true;
        QTest::newRow("5") << "mnuFile" << 4 << "mnuPrint"
                           << "Print" << QKeySequence("Ctrl+P") << false;
        QTest::newRow("6") << "mnuFile" << 5 << "mnuBackup"
                           << "Backup" << QKeySequence("Ctrl+B") << true;
        QTest::newRow("7") << "mnuFile" << 6 << "mnuTesteazaIntegritate"
                           << "Testeaza Integritatea Culegerii" << QKeySequence("Ctrl+I") << true;
        QTest::newRow("8") << "mnuFile" << 7 << "mnuHiphen" << QString(31, '-') << none << true;
        QTest::newRow("9") << "mnuFile" << 8 << "mnuExit"
                           << "Exit" << none << true;
        QTest::newRow("10") << "mnuHelp" << 0 << "mnuUtilizare"
                            << "Utilizare" << QKeySequence("F1") << true;
        QTest::newRow("11") << "mnuHelp" << 1 << "mnuDespre"
                            << "Despre" << none << true;
    }
    void menu()
    {
        QFETCH(QString, menu);
        QFETCH(int, position);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QFETCH(bool, enabled);
        Started s;
        auto *m = child<QMenu>(s.main(), menu);
        const QList<QAction *> items = m->actions();
        QCOMPARE(items.size(), menu == "mnuFile" ? 9 : 2);
        QAction *item = items.at(position);
        QCOMPARE(item->objectName(), name);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut(), shortcut);
        QCOMPARE(item->isEnabled(), enabled);
        QVERIFY(!item->isSeparator());
    }

    void topLevelMenus()
    {
        Started s;
        const QList<QAction *> top = s.main()->findChild<QMenuBar *>()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text(), QString("&File"));
        QCOMPARE(top[0]->menu()->objectName(), QString("mnuFile"));
        QCOMPARE(top[1]->text(), QString("&Help"));
        QCOMPARE(top[1]->menu()->objectName(), QString("mnuHelp"));
    }

    void testControlsAtStartup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("btnDefTest") << "btnDefTest"
                                    << "Defineste Test" << true;
        QTest::newRow("Command4") << "Command4"
                                  << "Start Test" << false;
        QTest::newRow("Command1") << "Command1"
                                  << "-->" << false;
        QTest::newRow("Command2") << "Command2"
                                  << "<--" << false;
        QTest::newRow("Command3") << "Command3"
                                  << "Corecteaza test" << false;
        QTest::newRow("Command5") << "Command5"
                                  << "Schimba User" << true;
        QTest::newRow("Command6") << "Command6"
                                  << "Reset" << false;
        QTest::newRow("btnStartCrono") << "btnStartCrono"
                                       << "Start Cronometru" << false;
    }
    void testControlsAtStartup()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        Started s;
        auto *button = child<QPushButton>(s.main(), name);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->isEnabled(), enabled);
        QVERIFY(button->isVisible());
    }

    void answersAndChecksHiddenOnBlue()
    {
        Started s;
        const QStringList letters = {"a", "b", "c", "d", "e"};
        for (int i = 0; i < 5; ++i) {
            auto *option = child<QRadioButton>(s.main(), QString("Option1_%1").arg(i));
            QCOMPARE(option->text(), letters[i]);
            QVERIFY(!option->isVisible());
            QVERIFY(!option->isChecked());
            QCOMPARE(option->palette().color(QPalette::Window), QColor(0, 0, 255));
        }
        for (int i = 0; i < 9; ++i) {
            auto *check = child<QCheckBox>(s.main(), QString("Check1_%1").arg(i));
            QCOMPARE(check->text(), QString::number(i));
            QVERIFY(!check->isVisible());
            QCOMPARE(check->palette().color(QPalette::Window), QColor(0, 0, 255));
        }
        QCOMPARE(child<QLabel>(s.main(), "Label1")->text(), QString("Nota acordata"));
        for (const char *name : {"Text1", "Text2", "Text3"})
            QVERIFY(child<QLineEdit>(s.main(), name)->text().isEmpty());
        auto *timer = child<QTimer>(s.main(), "Timer1");
        QCOMPARE(timer->parent(), s.main());
        QCOMPARE(timer->interval(), 970);
        QVERIFY(!timer->isActive());
        QVERIFY(child<QWidget>(s.main(), "Picture1")->property("imagePath").toString().isEmpty());
        // The decorative picture is shown as the program holds it, pixel for
        // pixel: held at the size shown, it is never scaled at start-up.
        const QImage shown = child<QWidget>(s.main(), "Picture4")->grab().toImage();
        const QImage held = decorativePicture();
        QCOMPARE(held.size(), kDecorationSize);
        // Its rows are read as they were made: the sky runs from dark blue on
        // the left to light blue on the right, on the first line as on the last.
        for (int y : {0, held.height() - 1}) {
            QCOMPARE(QColor(held.pixel(0, y)), QColor(18, 52, 120));
            QCOMPARE(QColor(held.pixel(held.width() - 1, y)), QColor(40, 120, 190));
        }
        QCOMPARE(shown.copy(QRect(QPoint(0, 0), held.size())).convertToFormat(held.format()), held);
    }

    void helpOpensTheHelpFile()
    {
        Started s;
        s.action("mnuUtilizare")->trigger();
        QCOMPARE(s.platform.helpRequests, QStringList{s.dir.filePath("help.chm")});
    }

    void aboutShowsAndOkHides()
    {
        Started s;
        s.action("mnuDespre")->trigger();
        QWidget *about = topLevel("frmDespre");
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowTitle(), QString("Despre"));
        child<QPushButton>(about, "Command1")->click();
        QVERIFY(!about->isVisible());
        QVERIFY(s.main()->isVisible());
    }

    void dividerDoesNothing()
    {
        Started s;
        s.action("mnuHiphen")->trigger();
        QVERIFY(s.platform.messages.isEmpty());
        QVERIFY(s.platform.cues.isEmpty());
        QCOMPARE(visibleTopLevels(), QStringList{"Main"});
    }

    void exit_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("menu Exit") << true;
        QTest::newRow("close box") << false;
    }
    void exit()
    {
        QFETCH(bool, byMenu);
        Started s;
        s.action("mnuDespre")->trigger();
        if (byMenu)
            s.action("mnuExit")->trigger();
        else
            QVERIFY(s.main()->close());
        QVERIFY(!s.main()->isVisible());
        QCOMPARE(visibleTopLevels(), QStringList());
        QCOMPARE(s.platform.cueNames(), QStringList{"exit.wav"});
        QCOMPARE(s.dir.read(datafile::Users), userHeader(2));
        // The folder is free again for the next start.
        ScriptedPlatform other;
        Application next(s.dir.path(), other);
        QVERIFY(next.start());
    }

    // The message says what is on disk: the old files, or the new ones not
    // all in place yet (here a folder has taken the catalogue's name).
    void failedExitSaveKeepsTheProgramOpen_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("saying");
        QTest::newRow("disk full") << true << "Datele de pe disc au ramas cele de dinainte";
        QTest::newRow("catalogue not put in place") << false << "sunt scrise pe disc";
    }
    void failedExitSaveKeepsTheProgramOpen()
    {
        QFETCH(bool, diskFull);
        QFETCH(QString, saying);
        Started s;
        const QByteArray problems = s.dir.read(datafile::Problems);
        bool closed = true;
        if (diskFull) {
            test::FileSizeLimit full(1000); // room for Caps.stn, not for Problems.stn
            closed = s.main()->close();
        } else {
            QFile::remove(s.dir.filePath(datafile::Problems));
            s.dir.write("Problems.stn/in-the-way", {});
            closed = s.main()->close();
            QDir(s.dir.filePath(datafile::Problems)).removeRecursively();
        }
        QVERIFY(!closed);
        QVERIFY(s.main()->isVisible());
        QCOMPARE(s.platform.messages.size(), 1);
        const QString text = s.platform.messages[0].text;
        QVERIFY2(text.contains("Problems.stn") && text.contains(saying), qPrintable(text));
        QCOMPARE(s.platform.messages[0].title, QString("Culegere electronica"));
        QVERIFY(s.platform.cues.isEmpty());
        if (diskFull)
            QCOMPARE(s.dir.read(datafile::Problems), problems);
        QVERIFY(s.main()->close()); // with room again
        QCOMPARE(s.dir.read(datafile::Problems), problems);
        QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    // A save cut short whose new files cannot be put in place: the start-up
    // says so and keeps them for the next one.
    void unfinishedSaveThatCannotBeFinishedRefusesTheStart()
    {
        TempAppFolder dir;
        dir.writeCollection(sampleCollection());
        dir.write(".culegere.new-00000000000a", chapterHeader(0));
        dir.write(".culegere.commit",
                  commitrecord::encode({{".culegere.new-00000000000a", datafile::Chapters}}));
        QFile::remove(dir.filePath(datafile::Chapters));
        dir.write("Caps.stn/in-the-way", {});
        ScriptedPlatform platform;
        QVERIFY(!Application(dir.path(), platform).start());
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY2(platform.messages[0].text.contains("nu a putut fi terminata") &&
                     platform.messages[0].text.contains(datafile::Chapters),
                 qPrintable(platform.messages[0].text));
        QVERIFY(dir.exists(".culegere.new-00000000000a") && dir.exists(".culegere.commit"));

        QDir(dir.filePath(datafile::Chapters)).removeRecursively();
        QVERIFY(Application(dir.path(), platform).start());
        QCOMPARE(dir.read(datafile::Chapters), chapterHeader(0));
    }

    void damagedFileRefusesTheStart_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("users") << datafile::Users << userHeader(150);
        QTest::newRow("chapters") << datafile::Chapters << chapterHeader(60);
        QTest::newRow("problems") << datafile::Problems << problemHeader(9000);
    }
    void damagedFileRefusesTheStart()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        TempAppFolder dir;
        dir.write(file, content);
        ScriptedPlatform platform;
        {
            Application app(dir.path(), platform);
            QVERIFY(!app.start());
            QCOMPARE(visibleTopLevels(), QStringList());
            QCOMPARE(platform.messages.size(), 1);
            QVERIFY2(platform.messages[0].text.contains(file),
                     qPrintable(platform.messages[0].text));
        }
        QCOMPARE(dir.read(file), content);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{file});
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
              "backup/caps.stn.martie", "teste/test1.jpg.copie1"})
            QTest::newRow(name) << name << false;
        for (const char *name :
             {".culegere.new-0123456789ab", ".culegere.commit", "backup/.culegere.new-a1b2c3d4e5f6",
              "teste/.culegere.new-ffffffffffff"})
            QTest::newRow(name) << name << true;
    }
    void startUpTouchesOnlyItsOwnLeftovers()
    {
        QFETCH(QString, name);
        QFETCH(bool, programsOwn);
        TempAppFolder dir;
        dir.writeCollection(sampleCollection());
        const QByteArray content = "content of " + name.toUtf8();
        dir.write(name, content);
        ScriptedPlatform platform;
        Application app(dir.path(), platform);
        QVERIFY(app.start());
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(dir.exists(name), !programsOwn);
        if (!programsOwn)
            QCOMPARE(dir.read(name), content);
    }

    // A lock left by a copy of the program on another computer: the user
    // decides, knowing which computer and since when.
    void lockOfAnotherComputer_data()
    {
        QTest::addColumn<QByteArray>("lock");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("openAnyway");
        const QByteArray other = "4242\nculegere\ncalculatorul-din-laborator\n"
                                 "0123456789abcdef0123456789abcdef\nboot\n";
        QTest::newRow("Nu") << other << "calculatorul calculatorul-din-laborator" << false;
        QTest::newRow("Da") << other << "calculatorul calculatorul-din-laborator" << true;
        // A lock cut short as it was made names no computer at all.
        QTest::newRow("empty lock, Da") << QByteArray() << "numele calculatorului" << true;
        QTest::newRow("cut after the computer's name, Nu")
            << QByteArray("4242\nculegere\ncalculatorul-din-laborator")
            << "calculatorul calculatorul-din-laborator" << false;
        // Computers copied from one another keep one name; their ids differ.
        const QByteArray ourName = QSysInfo::machineHostName().toUtf8();
        if (!QSysInfo::machineUniqueId().isEmpty()) {
            QTest::newRow("another computer of the same name, Nu")
                << "4242\nculegere\n" + ourName + "\n0123456789abcdef0123456789abcdef\nboot\n"
                << "calculatorul " + QString::fromUtf8(ourName) << false;
        }
    }
    void lockOfAnotherComputer()
    {
        QFETCH(QByteArray, lock);
        QFETCH(QString, named);
        QFETCH(bool, openAnyway);
        TempAppFolder dir;
        dir.writeCollection(sampleCollection());
        dir.write(".culegere.lock", lock);
        const QDateTime taken(QDate(2026, 3, 2), QTime(8, 15));
        {
            QFile file(dir.filePath(".culegere.lock"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(taken, QFileDevice::FileModificationTime));
        }
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        const QByteArray caps = dir.read(datafile::Chapters);

        ScriptedPlatform platform;
        platform.messageAnswers = {openAnyway};
        Application app(dir.path(), platform);
        QCOMPARE(app.start(), openAnyway);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].buttons, Platform::Buttons::YesNo);
        const QString question = platform.messages[0].text;
        QVERIFY2(question.contains(named) && question.contains("02.03.2026 08:15"),
                 qPrintable(question));
        QCOMPARE(visibleTopLevels(), openAnyway ? QStringList{"Main"} : QStringList());
        if (!openAnyway) {
            QCOMPARE(dir.read(".culegere.lock"), lock);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files);
            QCOMPARE(dir.read(datafile::Chapters), caps);
            return;
        }
        // The lock is this program's now: a second copy here is refused.
        const QList<QByteArray> lines = dir.read(".culegere.lock").split('\n');
        QCOMPARE(lines.value(0).toLongLong(), QCoreApplication::applicationPid());
        QCOMPARE(QString::fromUtf8(lines.value(2)), QSysInfo::machineHostName());
        ScriptedPlatform second;
        QVERIFY(!Application(dir.path(), second).start());
        QVERIFY(second.messageTexts().value(0).contains("deja deschisa"));
    }

    // A lock left on this computer by a copy that is no longer running is
    // taken over without a question.
    void lockLeftOnThisComputer_data()
    {
        QTest::addColumn<QByteArray>("lock");
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const QByteArray endedPid = QByteArray::number(ended.processId());
        QVERIFY(ended.waitForFinished());
        const QByteArray here =
            QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n';
        QTest::newRow("its process ended")
            << endedPid + "\nculegere\n" + here + QSysInfo::bootUniqueId() + '\n';
        QTest::newRow("made before a restart")
            << QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
                   QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
                   here + "another-boot\n";
    }
    void lockLeftOnThisComputer()
    {
        QFETCH(QByteArray, lock);
        TempAppFolder dir;
        dir.writeCollection(sampleCollection());
        dir.write(".culegere.lock", lock);
        ScriptedPlatform platform;
        {
            Application app(dir.path(), platform);
            QVERIFY(app.start());
            QVERIFY(platform.messages.isEmpty());
            const QList<QByteArray> lines = dir.read(".culegere.lock").split('\n');
            QCOMPARE(lines.value(0).toLongLong(), QCoreApplication::applicationPid());
            QCOMPARE(lines.value(4), QSysInfo::bootUniqueId());
        }
        QVERIFY(!dir.exists(".culegere.lock"));
    }

    // The lock this program makes names it as QLockFile would, so a copy
    // judging it (this one, or one of another make) finds it live; it goes
    // when the program ends.
    void theLockNamesThisProgram()
    {
        TempAppFolder dir;
        dir.writeCollection(sampleCollection());
        ScriptedPlatform platform;
        {
            Application app(dir.path(), platform);
            QVERIFY(app.start());
            const QList<QByteArray> lines = dir.read(".culegere.lock").split('\n');
            QCOMPARE(lines.size(), 6);
            QCOMPARE(lines[0].toLongLong(), QCoreApplication::applicationPid());
            QCOMPARE(lines[1],
                     QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8());
            QCOMPARE(QString::fromUtf8(lines[2]), QSysInfo::machineHostName());
            QCOMPARE(lines[3], QSysInfo::machineUniqueId());
            QCOMPARE(lines[4], QSysInfo::bootUniqueId());
            QLockFile other(dir.filePath(".culegere.lock"));
            QVERIFY(!other.tryLock(0));
            QVERIFY(!other.removeStaleLockFile()); // held: not removed
            QVERIFY(dir.exists(".culegere.lock"));
        }
        QVERIFY(!dir.exists(".culegere.lock"));
    }

    // A lock of an older make names this computer by its name alone; its
    // copy is running: refused, without a question.
    void liveLockNamingThisComputerIsRefused()
    {
        TempAppFolder dir;
        dir.writeCollection(sampleCollection());
        const QByteArray lock =
            QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
            QSysInfo::machineHostName().toUtf8() + '\n';
        dir.write(".culegere.lock", lock);
        ScriptedPlatform platform;
        QVERIFY(!Application(dir.path(), platform).start());
        QCOMPARE(platform.messageTexts().size(), 1);
        QVERIFY(platform.messageTexts()[0].contains("deja deschisa"));
        QCOMPARE(dir.read(".culegere.lock"), lock);
    }

    void secondCopyOnTheSameFolderIsRefused()
    {
        Started first;
        ScriptedPlatform platform;
        Application second(first.dir.path(), platform);
        QVERIFY(!second.start());
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY(platform.messages[0].text.contains("deja deschisa"));
        QCOMPARE(visibleTopLevels(), QStringList{"Main"});
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
