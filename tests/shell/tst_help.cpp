// The help where the desktop has no viewer for help.chm: the program's own
// window over the pages of "help", at the page of the screen F1 was pressed
// on, its contents and its search; a message only when the pages are missing.
#include "shell/help_pages.h"
#include "support/driver.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QtTest>

using namespace culegere;
using test::Driver;

namespace {

const QString kPages = QStringLiteral(CULEGERE_HELP_PAGES);
const QString kWindow = QStringLiteral("frmAjutor");

// The program on a folder with the help's pages (or none), started, with no
// viewer for help.chm.
void start(Driver &d, bool pages = true)
{
    d.platform.helpViewer = false;
    for (const QString &file : pages ? QDir(kPages).entryList(QDir::Files) : QStringList()) {
        QFile page(kPages + '/' + file);
        QVERIFY(page.open(QIODevice::ReadOnly));
        d.folder().write("help/" + file, page.readAll());
    }
    d.startOrFail();
}

QString shownPage()
{
    const QUrl source = Driver::control<QTextBrowser>(kWindow, "txtAjutor")->source();
    return source.fileName() + (source.hasFragment() ? '#' + source.fragment() : "");
}

QStringList listedPages()
{
    auto *list = Driver::control<QListWidget>(kWindow, "listCuprins");
    QStringList titles;
    for (int i = 0; i < list->count(); ++i) {
        if (!list->item(i)->isHidden())
            titles.append(list->item(i)->text());
    }
    return titles;
}

// A click on the link whose text is `text` in the page shown.
void clickLink(const QString &text)
{
    auto *browser = Driver::control<QTextBrowser>(kWindow, "txtAjutor");
    const QTextCursor found = browser->document()->find(text);
    QVERIFY2(!found.isNull(), qPrintable(text));
    QTextCursor inside = found;
    inside.setPosition(found.selectionStart() + 1);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      browser->cursorRect(inside).center());
}

} // namespace

class TstHelp : public QObject
{
    Q_OBJECT

private slots:
    // F1 on a screen: the desktop's viewer for help.chm, else the page of
    // that screen, else a message naming the folder of the pages.
    void f1OnAScreen_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<bool>("pages");
        QTest::addColumn<QString>("page"); // "": no window
        QTest::newRow("a viewer") << "Main" << true << true << "";
        QTest::newRow("the main screen") << "Main" << false << true << "ecran-principal.html";
        QTest::newRow("the print dialog") << "frmTipareste" << false << true << "tiparire.html";
        QTest::newRow("no pages") << "Main" << false << false << "";
    }
    void f1OnAScreen()
    {
        QFETCH(QString, screen);
        QFETCH(bool, viewer);
        QFETCH(bool, pages);
        QFETCH(QString, page);
        Driver d;
        STEP(start(d, pages));
        d.platform.helpViewer = viewer;
        if (screen == "frmTipareste") {
            d.defineWholeCollection();
            d.draw();
            d.chooseMenu("mnuPrint");
        }
        QWidget *shown = Driver::screen(screen);
        QVERIFY(shown && shown->isVisible());
        d.platform.clear();
        QWidget *focused = shown;
        for (QLineEdit *box : shown->findChildren<QLineEdit *>()) // a control inside it
            focused = box->isVisible() && focused == shown ? box : focused;
        Driver::pressKey(focused, Qt::Key_F1);
        QCOMPARE(d.platform.helpRequests, QStringList{d.folder().filePath("help.chm")});
        QCOMPARE(Driver::screen(kWindow) && Driver::screen(kWindow)->isVisible(), !page.isEmpty());
        if (!page.isEmpty())
            QCOMPARE(shownPage(), page);
        const QStringList messages = d.platform.messageTexts();
        QCOMPARE(messages.size(), !viewer && !pages ? 1 : 0);
        if (!messages.isEmpty()) {
            QVERIFY(messages[0].startsWith("Ajutorul nu poate fi deschis"));
            QVERIFY(messages[0].contains(d.folder().filePath("help")));
        }
    }

    // The contents, back and forward, and the search: its matches listed,
    // the first opened by Return.
    void contentsAndSearch_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("opened"); // by Return
        const QString printing = "Tipărirea testului";
        QTest::newRow("without diacritics")
            << "Numeroteaza problemele" << QStringList{printing} << "tiparire.html";
        QTest::newRow("on two pages") << "ajutorul"
                                      << QStringList{"Culegere electronica – Ajutor",
                                                     "Ecranul principal și desfășurarea unui test"}
                                      << "index.html";
        QTest::newRow("nowhere") << "hipopotam" << QStringList{} << "capitole.html";
    }
    void contentsAndSearch()
    {
        // Typed with the diacritics, a word is found as without them.
        QCOMPARE(HelpPages(kPages).search(QString::fromUtf8("lățime PDF")), QList<int>{6});
        QFETCH(QString, query);
        QFETCH(QStringList, titles);
        QFETCH(QString, opened);
        Driver d;
        STEP(start(d));
        d.chooseMenu("mnuUtilizare");
        // The contents mark the page shown after every move; back and
        // forward; a click on the marked entry opens it again.
        auto marks = [&](const QString &page) {
            return shownPage().section('#', 0, 0) == page &&
                   Driver::control<QListWidget>(kWindow, "listCuprins")->currentRow() ==
                       HelpPages(kPages).find(page);
        };
        QVERIFY(marks("ecran-principal.html"));
        Driver::clickRow(kWindow, "listCuprins", 3);
        QVERIFY(marks("capitole.html"));
        STEP(clickLink("Problemele culegerii"));
        QVERIFY(marks("probleme.html"));
        Driver::press(kWindow, "btnInapoi");
        QVERIFY(marks("capitole.html"));
        Driver::press(kWindow, "btnInapoi");
        QVERIFY(marks("ecran-principal.html"));
        Driver::press(kWindow, "btnInainte");
        QVERIFY(marks("capitole.html"));
        Driver::clickRow(kWindow, "listCuprins", 3);
        QVERIFY(marks("capitole.html"));
        const QStringList all = listedPages();
        QCOMPARE(all.size(), 8);
        QCOMPARE(all.value(6), QString("Tipărirea testului"));
        Driver::type(kWindow, "txtCauta", query);
        QCOMPARE(listedPages(), titles);
        QCOMPARE(Driver::control<QLabel>(kWindow, "lblNimic")->isVisible(), titles.isEmpty());
        Driver::pressKey(Driver::control<QLineEdit>(kWindow, "txtCauta"), Qt::Key_Return);
        QVERIFY(marks(opened));
        Driver::type(kWindow, "txtCauta", "");
        QCOMPARE(listedPages(), all);
    }

    // A link opens only a page of the help's own: any other address is not
    // followed (not even by the desktop), and stands below the page.
    void links_data()
    {
        QTest::addColumn<QString>("target");
        for (const char *target : {"tiparire.html", "file:///etc/passwd", "mare.html",
                                   "http://example.org/", "mailto:a@example.org", "javascript:f()"})
            QTest::newRow(target) << QString(target);
    }
    void links()
    {
        QFETCH(QString, target);
        const QString opened = target == "tiparire.html" ? target : ""; // "": not followed
        Driver d;
        d.folder().write("help/mare.html", "<title>Mare</title>" + QByteArray(5 << 20, 'x'));
        d.folder().write("help/legaturi.html",
                         "<title>Legaturi</title><a href=\"" + target.toUtf8() +
                             "\">aici</a> <a href=\"index.html\">cuprins</a>");
        STEP(start(d));
        d.chooseMenu("mnuUtilizare");
        Driver::clickRow(kWindow, "listCuprins", listedPages().indexOf("Legaturi"));
        QCOMPARE(shownPage(), QString("legaturi.html"));
        STEP(clickLink("aici"));
        auto *address = Driver::control<QLabel>(kWindow, "lblAdresa");
        QCOMPARE(shownPage(), opened.isEmpty() ? QString("legaturi.html") : opened);
        QCOMPARE(address->isVisible(), opened.isEmpty());
        QVERIFY(!opened.isEmpty() || address->text().contains(target.section('/', -1)));
        STEP(clickLink("cuprins")); // a page of its own: followed, no address left
        QVERIFY(shownPage() == "index.html" && !address->isVisible());
    }
};

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
