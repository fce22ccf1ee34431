// The help where the desktop has no viewer for help.chm: the program's own
// window over the pages of "help", at the page of the screen F1 was pressed
// on, its contents and its search; a message only when the pages are missing.
#include "shell/help_pages.h"
#include "support/running_app.h"
#include "support/user_input.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

const QString kPages = QStringLiteral(CULEGERE_HELP_PAGES);

Collection nineProblems()
{
    Collection c;
    test::addChapter(c, "Algebra", 9);
    for (int i = 1; i <= 9; ++i)
        test::addProblem(c, "Algebra", test::pictureIndex(i));
    return c;
}

// The program on a folder with the help's pages and no viewer for help.chm.
struct Helped : test::RunningApp
{
    explicit Helped(bool pages = true) : RunningApp(nineProblems())
    {
        platform.helpViewer = false;
        if (pages) {
            for (const QString &file : QDir(kPages).entryList(QDir::Files)) {
                QFile page(kPages + '/' + file);
                if (!page.open(QIODevice::ReadOnly))
                    qFatal("cannot read %s", qPrintable(file));
                dir.write("help/" + file, page.readAll());
            }
        }
    }
    QWidget *window() const { return topLevel("frmAjutor"); }
    QString shownPage() const
    {
        auto *browser = child<QTextBrowser>(window(), "txtAjutor");
        return browser->source().fileName() +
               (browser->source().hasFragment() ? '#' + browser->source().fragment() : "");
    }
    QStringList listedPages() const
    {
        auto *list = child<QListWidget>(window(), "listCuprins");
        QStringList titles;
        for (int i = 0; i < list->count(); ++i) {
            if (!list->item(i)->isHidden())
                titles.append(list->item(i)->text());
        }
        return titles;
    }
};

} // namespace

class TstHelp : public QObject
{
    Q_OBJECT

private slots:
    void contentsAndSearchOfThePages_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("with diacritics") << "lățime PDF" << QStringList{"tiparire.html"};
        QTest::newRow("without diacritics") << "proportiile ei" << QStringList{"tiparire.html"};
        QTest::newRow("words on two pages")
            << "ajutorul" << QStringList{"index.html", "ecran-principal.html"};
        QTest::newRow("nowhere") << "hipopotam" << QStringList{};
    }
    void contentsAndSearchOfThePages()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, files);
        const HelpPages pages(kPages);
        QCOMPARE(pages.pages().size(), 8);
        QCOMPARE(pages.pages()[0].file, QString("index.html"));
        QCOMPARE(pages.pages()[1].file, QString("ecran-principal.html"));
        QCOMPARE(pages.pages()[6].title, QString("Tipărirea testului"));
        QStringList found;
        for (int i : pages.search(query))
            found.append(pages.pages()[i].file);
        QCOMPARE(found, files);
    }

    void f1OnAScreenOpensItsPage_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("page");
        QTest::newRow("the main screen") << "Main"
                                         << "ecran-principal.html";
        QTest::newRow("the print dialog") << "frmTipareste"
                                          << "tiparire.html";
        QTest::newRow("the chapters") << "frmAddCap"
                                      << "capitole.html";
    }
    void f1OnAScreenOpensItsPage()
    {
        QFETCH(QString, screen);
        QFETCH(QString, page);
        Helped h;
        if (screen == "frmTipareste") {
            test::click(h.control<QPushButton>("btnDefTest"));
            test::click(child<QPushButton>(topLevel("frmDefTest"), "Command1"));
            test::click(child<QPushButton>(topLevel("frmDefTest"), "Command3"));
            test::click(h.control<QPushButton>("Command4"));
            h.action("mnuPrint")->trigger();
        } else if (screen == "frmAddCap") {
            h.action("mnuAddCap")->trigger();
        }
        QWidget *shown = topLevel(screen);
        QVERIFY(shown && shown->isVisible());
        h.platform.clear();
        QWidget *focused = shown->findChild<QLineEdit *>();
        test::pressKey(focused ? focused : shown, Qt::Key_F1);
        QCOMPARE(h.platform.helpRequests, QStringList{h.dir.filePath("help.chm")});
        QVERIFY(h.window() && h.window()->isVisible());
        QCOMPARE(h.shownPage(), page);
        QVERIFY2(h.platform.messages.isEmpty(), qPrintable(h.platform.messageTexts().join('|')));
    }

    void searchFindsAPageByAWord()
    {
        Helped h;
        h.action("mnuUtilizare")->trigger();
        auto *search = child<QLineEdit>(h.window(), "txtCauta");
        test::focus(search);
        QTest::keyClicks(search, "Numeroteaza problemele");
        QCOMPARE(h.listedPages(), QStringList{"Tipărirea testului"});
        QVERIFY(!child<QLabel>(h.window(), "lblNimic")->isVisible());
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(h.shownPage(), QString("tiparire.html"));
        // Back to the page before, and forward again.
        test::click(child<QPushButton>(h.window(), "btnInapoi"));
        QCOMPARE(h.shownPage(), QString("ecran-principal.html"));
        test::click(child<QPushButton>(h.window(), "btnInainte"));
        QCOMPARE(h.shownPage(), QString("tiparire.html"));

        search->clear();
        QTest::keyClicks(search, "hipopotam");
        QVERIFY(h.listedPages().isEmpty());
        QVERIFY(child<QLabel>(h.window(), "lblNimic")->isVisible());
        search->clear();
        QCOMPARE(h.listedPages().size(), 8);
        test::clickRow(child<QListWidget>(h.window(), "listCuprins"), 3);
        QCOMPARE(h.shownPage(), QString("capitole.html"));
    }

    void messageOnlyWithoutThePages_data()
    {
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<bool>("pages");
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("message");
        QTest::newRow("a viewer for help.chm") << true << true << false << false;
        QTest::newRow("no viewer: the pages") << false << true << true << false;
        QTest::newRow("no viewer, no pages") << false << false << false << true;
    }
    void messageOnlyWithoutThePages()
    {
        QFETCH(bool, viewer);
        QFETCH(bool, pages);
        QFETCH(bool, window);
        QFETCH(bool, message);
        Helped h(pages);
        h.platform.helpViewer = viewer;
        test::pressKey(h.control<QPushButton>("btnDefTest"), Qt::Key_F1);
        QCOMPARE(h.platform.helpRequests.size(), 1);
        QCOMPARE(h.window() != nullptr && h.window()->isVisible(), window);
        QCOMPARE(h.platform.messages.size(), message ? 1 : 0);
        if (message) {
            QVERIFY(h.platform.messages[0].text.startsWith("Ajutorul nu poate fi deschis"));
            QVERIFY(h.platform.messages[0].text.contains(h.dir.filePath("help")));
        }
    }
};

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
