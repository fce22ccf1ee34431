// Opening the help: help.chm where the desktop has a viewer for it, else the
// same pages in a browser (or the program's window), else a message saying
// where they are.
#include "platform/help_opener.h"
#include "support/temp_app_folder.h"

#include <QtTest>

using namespace culegere;

class TstHelpOpener : public QObject
{
    Q_OBJECT

private slots:
    void choices_data()
    {
        QTest::addColumn<bool>("chmThere");
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<bool>("pagesThere");
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<QString>("opened"); // "chm", "pages" or "" (a message instead)
        QTest::newRow("a viewer for help.chm") << true << true << true << true << true << "chm";
        QTest::newRow("no viewer: the pages") << true << false << true << true << true << "pages";
        QTest::newRow("the viewer fails to start")
            << true << true << false << true << true << "pages";
        QTest::newRow("no help.chm at all") << false << true << true << true << true << "pages";
        QTest::newRow("no viewer, no browser") << true << false << false << true << false << "";
        QTest::newRow("no viewer, no pages") << true << false << true << false << true << "";
    }
    void choices()
    {
        QFETCH(bool, chmThere);
        QFETCH(bool, viewer);
        QFETCH(bool, viewerStarts);
        QFETCH(bool, pagesThere);
        QFETCH(bool, browserStarts);
        QFETCH(QString, opened);
        test::TempAppFolder dir;
        if (chmThere)
            dir.write("help.chm", "ITSF");
        if (pagesThere)
            dir.write("help/index.html", "<html/>");
        const QString chm = dir.filePath("help.chm");

        QStringList tried;
        QStringList told;
        HelpOpener::Desktop desktop;
        desktop.hasViewer = [&](const QString &, std::function<void(bool)> answer) {
            answer(viewer);
        };
        desktop.open = [&](const QString &file) {
            tried.append(file);
            return file.endsWith(".chm") ? viewerStarts : browserStarts;
        };
        desktop.tell = [&](const QString &text) { told.append(text); };
        HelpOpener(desktop).open(chm);

        if (opened.isEmpty()) {
            QCOMPARE(told.size(), 1);
            QVERIFY(told[0].contains(dir.filePath("help")));
        } else {
            QVERIFY(told.isEmpty());
            QCOMPARE(tried.last(), opened == "chm" ? chm : dir.filePath("help/index.html"));
        }
    }
};

QTEST_GUILESS_MAIN(TstHelpOpener)
#include "tst_help_opener.moc"
