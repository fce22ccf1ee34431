// Which folder the program keeps its collection in, and how an installed
// program prepares it.
#include "shell/folder_choice.h"
#include "shell/shell_messages.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QtTest>

using namespace culegere;

namespace {

// An installed program: prefix/bin and prefix/share/culegere with the shared files.
struct Installed
{
    test::TempAppFolder dir;
    QString bin = dir.filePath("prefix/bin");
    QString shared = dir.filePath("prefix/share/culegere");
    QString home = dir.filePath("home");

    Installed()
    {
        QDir().mkpath(bin);
        QDir().mkpath(home);
        for (const char *file :
             {"prefix/share/culegere/Caps.stn", "prefix/share/culegere/Problems.stn",
              "prefix/share/culegere/next.wav", "prefix/share/culegere/help.chm",
              "prefix/share/culegere/help/index.html",
              "prefix/share/culegere/probleme/probl00001.jpg"})
            dir.write(file, QByteArray("shared ") + file);
    }
};

} // namespace

class TstFolderChoice : public QObject
{
    Q_OBJECT

private slots:
    void choice()
    {
        Installed i;
        QCOMPARE(chooseAppFolder({"culegere", "/elev/colectie"}, i.bin, i.home),
                 QString("/elev/colectie"));
        QCOMPARE(chooseAppFolder({"culegere"}, i.bin, i.home), i.home + "/Culegere");
        QCOMPARE(sharedFolder(i.bin), i.shared);

        // A build or a copied folder keeps its collection beside the program.
        const QString build = i.dir.filePath("build/app");
        QDir().mkpath(build);
        QCOMPARE(chooseAppFolder({"culegere"}, build, i.home), build);
        QCOMPARE(sharedFolder(build), QString());
    }

    void firstStartGetsTheSampleCollection()
    {
        Installed i;
        const QString folder = i.home + "/Culegere";
        QVERIFY(prepareAppFolder(folder, i.shared, true));
        for (const char *file : {"Caps.stn", "Problems.stn", "next.wav", "help.chm",
                                 "help/index.html", "probleme/probl00001.jpg"})
            QCOMPARE(i.dir.read(QString("home/Culegere/") + file),
                     i.dir.read(QString("prefix/share/culegere/") + file));
        QVERIFY(QFileInfo(folder + "/teste").isDir());
        QVERIFY(QFileInfo(folder + "/backup").isDir());
        // The copies can be written, though the shared files may not be.
        QVERIFY(QFileInfo(folder + "/Caps.stn").isWritable());
    }

    void aCollectionInUseIsNeverTouched()
    {
        Installed i;
        i.dir.write("home/Culegere/Caps.stn", "the teacher's chapters");
        i.dir.write("home/Culegere/help/index.html", "the teacher's own page");
        QVERIFY(prepareAppFolder(i.home + "/Culegere", i.shared, true));
        QCOMPARE(i.dir.read("home/Culegere/Caps.stn"), QByteArray("the teacher's chapters"));
        QCOMPARE(i.dir.read("home/Culegere/help/index.html"), QByteArray("the teacher's own page"));
        QVERIFY(!i.dir.exists("home/Culegere/Problems.stn"));
        QVERIFY(!i.dir.exists("home/Culegere/probleme"));
        QVERIFY(i.dir.exists("home/Culegere/help.chm")); // the help comes back
        QVERIFY(i.dir.exists("home/Culegere/next.wav"));
    }

    void aFolderGivenGetsNoSample()
    {
        Installed i;
        const QString folder = i.dir.filePath("noua");
        QVERIFY(prepareAppFolder(folder, i.shared, false));
        QVERIFY(!i.dir.exists("noua/Caps.stn"));
        QVERIFY(i.dir.exists("noua/help/index.html"));
    }

    // When the folder cannot be filled, the message names it, and says why
    // the program works there when its own folder cannot be written.
    void aFolderNotFilledIsNamed_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("saysWhy");
        QTest::newRow("read-only program folder") << "/mnt/colectie" << true;
        QTest::newRow("installed program") << "/usr/share/culegere" << false;
    }
    void aFolderNotFilledIsNamed()
    {
        QFETCH(QString, source);
        QFETCH(bool, saysWhy);
        const QString text = folderNotFilledMessage("/home/ana/Culegere", source, "/mnt/colectie");
        QVERIFY2(text.contains("/home/ana/Culegere") && text.contains(source), qPrintable(text));
        QCOMPARE(text.contains("nu poate scrie in folderul sau (/mnt/colectie)"), saysWhy);
    }
};

QTEST_GUILESS_MAIN(TstFolderChoice)
#include "tst_folder_choice.moc"
