// Which folder the program keeps its collection in, and how an installed
// program prepares it.
#include "shell/folder_choice.h"
#include "support/temp_app_folder.h"

#include <QDir>
#include <QtTest>

using namespace culegere;

namespace {

const QStringList kShared = {"Caps.stn", "Problems.stn",    "next.wav",
                             "help.chm", "help/index.html", "probleme/probl00001.jpg"};

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
        for (const QString &file : kShared)
            dir.write("prefix/share/culegere/" + file, "shared " + file.toUtf8());
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

    // A folder given gets no sample collection; a collection in use is
    // never touched, but its cues and help come back. (A new home folder
    // filled is read by the disk tests.)
    void preparing_data()
    {
        QTest::addColumn<bool>("withSample");
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<QStringList>("copied");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("a folder given")
            << false << false << QStringList{"help/index.html", "next.wav"}
            << QStringList{"Caps.stn", "probleme"};
        QTest::newRow("a collection in use") << true << true << QStringList{"help.chm", "next.wav"}
                                             << QStringList{"Problems.stn", "probleme"};
    }
    void preparing()
    {
        QFETCH(bool, withSample);
        QFETCH(bool, inUse);
        QFETCH(QStringList, copied);
        QFETCH(QStringList, absent);
        Installed i;
        if (inUse) {
            i.dir.write("home/Culegere/Caps.stn", "the teacher's chapters");
            i.dir.write("home/Culegere/help/index.html", "the teacher's own page");
        }
        const QString folder = i.home + "/Culegere";
        QVERIFY(prepareAppFolder(folder, i.shared, withSample));
        for (const QString &file : copied)
            QCOMPARE(i.dir.read("home/Culegere/" + file),
                     i.dir.read("prefix/share/culegere/" + file));
        for (const QString &file : absent)
            QVERIFY2(!i.dir.exists("home/Culegere/" + file), qPrintable(file));
        if (inUse) {
            QCOMPARE(i.dir.read("home/Culegere/Caps.stn"), QByteArray("the teacher's chapters"));
            QCOMPARE(i.dir.read("home/Culegere/help/index.html"),
                     QByteArray("the teacher's own page"));
        }
    }
};

QTEST_GUILESS_MAIN(TstFolderChoice)
#include "tst_folder_choice.moc"
