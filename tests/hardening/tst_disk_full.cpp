// A full disk and a read-only one, met through the program's screens. A
// result written at a correction, the save at exit, a backup and a test sheet
// saved to a file must each fail with a message naming what was not written,
// play no success cue, and leave every file of the folder byte for byte as it
// was (data files, backup copies, older sheet); once the disk has room again,
// or is writable again, the same step must succeed in the same session.
//
// The application folder is a small tmpfs mounted for each case, so the test
// needs root (as in CI); elsewhere it is skipped. A plain `remount,ro` is
// refused while the program holds its files open for writing (its data files
// and its lock), so the disk turns read-only under the program the way it
// then sees it: a read-only view of the file system is mounted over the
// folder, and taken away to make it writable again.
#include "shell/folder_choice.h"
#include "store/collection_io.h"
#include "store/record_file.h"
#include "support/running_app.h"
#include "testing/testing_messages.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

const QString kFiller = QStringLiteral(".umplutura");

// A tmpfs of a few megabytes mounted on a folder for as long as this lives;
// unmounted in every case, also when a check fails half-way.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, int megabytes) : m_folder(QFile::encodeName(folder))
    {
        if (geteuid() != 0) {
            m_problem = QStringLiteral("mounting a small file system needs root (CI runs as root)");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(megabytes) + "m,mode=0700";
        if (::mount("culegere-test", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            m_problem = QStringLiteral("cannot mount a tmpfs: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_readOnly)
            ::umount2(m_folder.constData(), MNT_DETACH);
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString problem() const { return m_problem; }

    // Writes a filler file until the disk has no room left.
    bool fill()
    {
        const QByteArray path = m_folder + '/' + QFile::encodeName(kFiller);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray chunk(64 * 1024, 'u');
        int error = 0;
        for (;;) {
            if (::write(fd, chunk.constData(), size_t(chunk.size())) < 0) {
                error = errno;
                break;
            }
        }
        ::close(fd);
        return error == ENOSPC;
    }
    bool makeRoom()
    {
        return ::unlink((m_folder + '/' + QFile::encodeName(kFiller)).constData()) == 0;
    }

    bool setReadOnly()
    {
        if (::mount(m_folder.constData(), m_folder.constData(), nullptr, MS_BIND, nullptr) != 0)
            return false;
        m_readOnly = true;
        return ::mount(nullptr, m_folder.constData(), nullptr,
                       MS_REMOUNT | MS_BIND | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }
    bool setWritable()
    {
        m_readOnly = false;
        return ::umount2(m_folder.constData(), MNT_DETACH) == 0;
    }

private:
    QByteArray m_folder;
    QString m_problem;
    bool m_mounted = false;
    bool m_readOnly = false;
};

Collection catalogue()
{
    Collection c;
    test::addChapter(c, "Ecuatii", 12);
    for (int i = 1; i <= 12; ++i)
        test::addProblem(c, "Ecuatii", test::pictureIndex(i), qint16(i % 5));
    c.UserTable[2] = test::result("Ana", 8, 40, {2026, 11, 30});
    c.UserTable[3] = test::result("Ion", 6, 52, {2026, 12, 1});
    c.NextUserRecord = 4;
    return c;
}

enum class Step { Result, Exit, Backup, Sheet };
enum class Trouble { Full, ReadOnly };

// The program on a collection in a small disk of its own, with older backup
// copies and an older sheet beside it.
struct OnSmallDisk
{
    test::TempAppFolder dir;
    SmallDisk disk{dir.path(), 3};
    test::ScriptedPlatform platform;
    std::unique_ptr<Application> app;

    bool start()
    {
        dir.writeCollection(catalogue());
        for (int i = 1; i <= 12; ++i)
            dir.addPicture(test::pictureIndex(i), {200, 100});
        dir.write("backup/users.stn",
                  userHeader(3) + test::result("Vechi", 5, 1, {2026, 1, 1}).encoded());
        dir.write("backup/caps.stn", chapterHeader(0));
        dir.write("backup/problems.stn", problemHeader(0));
        dir.write("teste/test1.jpg", "an older sheet");
        app = std::make_unique<Application>(dir.path(), platform);
        return app->start();
    }
    QWidget *main() const { return app->mainScreen(); }
    QPushButton *button(const QString &name) const { return child<QPushButton>(main(), name); }
    template <typename T> T *on(const QString &screen, const QString &name) const
    {
        return child<T>(topLevel(screen), name);
    }

    // Every file of the folder but the filler and the lock, with its bytes.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> all;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(dir.path()).relativeFilePath(it.next());
            if (name != kFiller && name != ".culegere.lock")
                all.insert(name, dir.read(name));
        }
        return all;
    }

    void drawATest() const
    {
        button("btnDefTest")->click();
        on<QPushButton>("frmDefTest", "Command1")->click();
        on<QPushButton>("frmDefTest", "Command3")->click();
        button("Command4")->click();
        for (int p = 0; p < 9; ++p) {
            child<QRadioButton>(main(), "Option1_2")->click();
            button("Command1")->click();
        }
    }
    // Brings the program to the moment before `step`.
    void prepare(Step step) const
    {
        switch (step) {
        case Step::Result:
            drawATest();
            break;
        case Step::Exit: // an edit that only the exit saves
            child<QAction>(main(), "mnuAddCap")->trigger();
            on<QLineEdit>("frmAddCap", "Text1")->setText("Fractii");
            on<QPushButton>("frmAddCap", "Command1")->click();
            on<QPushButton>("frmAddCap", "Command3")->click();
            break;
        case Step::Backup:
            break;
        case Step::Sheet:
            drawATest();
            child<QAction>(main(), "mnuPrint")->trigger();
            on<QRadioButton>("frmTipareste", "Option1")->click();
            on<QLineEdit>("frmTipareste", "Text2")->setText("test1");
            break;
        }
    }
    // Runs `step`; for the exit, whether the program closed.
    bool run(Step step) const
    {
        switch (step) {
        case Step::Result:
            button("Command3")->click();
            return true;
        case Step::Exit:
            return main()->close();
        case Step::Backup:
            child<QAction>(main(), "mnuBackup")->trigger();
            return true;
        case Step::Sheet:
            on<QPushButton>("frmTipareste", "Command2")->click();
            return true;
        }
        return false;
    }
};

} // namespace

class TstDiskFull : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QTemporaryDir folder;
        SmallDisk disk(folder.path(), 1);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.problem()));
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
            QString named;
            QString cue;
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
        OnSmallDisk t;
        if (!t.disk.mounted())
            QSKIP(qPrintable(t.disk.problem()));
        QVERIFY(t.start());
        t.prepare(step);
        const QMap<QString, QByteArray> before = t.files();
        QVERIFY(before.contains("backup/caps.stn") && before.contains(datafile::Users));

        QVERIFY(trouble == Trouble::Full ? t.disk.fill() : t.disk.setReadOnly());
        t.platform.clear();
        const bool closed = t.run(step);
        QVERIFY(!closed || step != Step::Exit);
        QVERIFY((step == Step::Sheet ? topLevel("frmTipareste") : t.main())->isVisible());
        QVERIFY2(!t.platform.messages.isEmpty(), "the failure is not reported");
        const QString text = t.platform.messages[0].text;
        QVERIFY2(text.contains(named), qPrintable(text));
        if (step == Step::Result)
            QCOMPARE(text, testmsg::ResultNotSaved.arg(datafile::Users));
        QVERIFY2(!t.platform.cueNames().contains(cue), qPrintable(t.platform.cueNames().join(' ')));
        QCOMPARE(t.files(), before);

        QVERIFY(trouble == Trouble::Full ? t.disk.makeRoom() : t.disk.setWritable());
        t.platform.clear();
        QVERIFY(t.run(step));
        QVERIFY2(t.platform.messages.isEmpty(), qPrintable(t.platform.messageTexts().join('|')));
        QVERIFY(t.platform.cueNames().contains(cue));
        switch (step) {
        case Step::Result:
            QCOMPARE(RecordImage(t.dir.read(datafile::Users), UserRecord::Size)
                         .record<UserRecord>(1)
                         .Grade,
                     qint16(5));
            break;
        case Step::Exit:
            QCOMPARE(RecordImage(t.dir.read(datafile::Chapters), ChapterRecord::Size)
                         .record<ChapterRecord>(3)
                         .Name.trimmed(),
                     QByteArray("Fractii"));
            break;
        case Step::Backup:
            QCOMPARE(t.dir.read("backup/users.stn"), t.dir.read(datafile::Users));
            QCOMPARE(t.dir.read("backup/problems.stn"), t.dir.read(datafile::Problems));
            break;
        case Step::Sheet:
            QVERIFY(t.dir.read("teste/test1.jpg").startsWith("\xff\xd8\xff"));
            break;
        }
        if (step != Step::Exit)
            QVERIFY(t.main()->close()); // and the program can still be left
    }

    // A program started from a folder it cannot write to (a read-only copy
    // of the application folder) keeps its collection in the home, filled
    // from its own folder as an installed program fills it.
    void readOnlyProgramFolderFillsTheHomeFolder()
    {
        test::TempAppFolder dir;
        const QString program = dir.filePath("program");
        const QString home = dir.filePath("home");
        QDir().mkpath(program);
        QDir().mkpath(home);
        SmallDisk disk(program, 3);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.problem()));
        const QStringList taken{"Caps.stn", "Problems.stn", "probleme/probl00001.jpg",
                                "next.wav", "help.chm",     "help/index.html"};
        const QStringList left{"Users.stn", "culegere", "backup/users.stn", "teste/test1.jpg"};
        Collection c;
        test::addChapter(c, "Ecuatii", 1);
        test::addProblem(c, "Ecuatii", "00001");
        for (const QString &name : taken + left)
            dir.write("program/" + name, "the program's " + name.toUtf8());
        dir.write("program/Caps.stn", chaptersFileForExit({}, c));
        dir.write("program/Problems.stn", problemsFileForExit({}, c));
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

        test::ScriptedPlatform platform;
        Application app(folder, platform);
        QVERIFY(app.start());
        QCOMPARE(child<QListWidget>(topLevel("frmAddCap"), "listCap")->count(), 1);
    }
};

QTEST_MAIN(TstDiskFull)
#include "tst_disk_full.moc"
