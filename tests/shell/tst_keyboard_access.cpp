// A whole test taken from the keyboard, access keys on every screen, and a
// name for screen readers on every control.
#include "support/running_app.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace culegere;
using test::child;
using test::topLevel;

namespace {

Collection catalogue()
{
    Collection c;
    test::addChapter(c, "Ecuatii", 12);
    for (int i = 1; i <= 12; ++i)
        test::addProblem(c, "Ecuatii", test::pictureIndex(i), qint16(i % 5));
    c.UserTable[2] = test::result("Ana", 9, 3, {2026, 11, 30});
    c.NextUserRecord = 3;
    return c;
}

struct Keyboard : test::RunningApp
{
    Keyboard() : RunningApp(catalogue())
    {
        for (int i = 1; i <= 12; ++i)
            dir.addPicture(test::pictureIndex(i));
    }
    // Types a key into the window that has the keyboard now.
    void press(QWidget *window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key(key), modifiers);
    }
    QString text(const char *name) const { return control<QLineEdit>(name)->text(); }
};

QString readerName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// The screens a teacher and a pupil meet, each opened once.
QList<QWidget *> openEveryScreen(Keyboard &k)
{
    k.control<QPushButton>("btnDefTest")->click();
    QWidget *definition = topLevel("frmDefTest");
    child<QPushButton>(definition, "Command1")->click();
    child<QPushButton>(definition, "Command3")->click();
    k.control<QPushButton>("Command4")->click();
    k.action("mnuPrint")->trigger();
    QWidget *print = topLevel("frmTipareste");
    k.action("mnuRezultate")->trigger();
    k.action("mnuDespre")->trigger();
    return {k.main(),
            definition,
            print,
            topLevel("frmRezultate"),
            topLevel("frmDespre"),
            topLevel("frmAddCap"),
            topLevel("frmSetProblema")};
}

} // namespace

class TstKeyboardAccess : public QObject
{
    Q_OBJECT

private slots:
    void aWholeTestWithoutAMouse()
    {
        Keyboard k;
        QWidget *main = k.main();
        k.press(main, Qt::Key_Right); // no test yet: nothing moves
        QVERIFY(k.text("Text1").isEmpty());

        k.press(main, Qt::Key_D, Qt::AltModifier); // "Defineste Test"
        QTRY_VERIFY(topLevel("frmDefTest") && topLevel("frmDefTest")->isVisible());
        QWidget *definition = topLevel("frmDefTest");
        k.press(definition, Qt::Key_S, Qt::AltModifier); // "Seteaza"
        QTRY_COMPARE(k.platform.messages.size(), 1);
        k.press(definition, Qt::Key_O, Qt::AltModifier); // "Ok"
        QTRY_VERIFY(!definition->isVisible());

        k.press(main, Qt::Key_S, Qt::AltModifier); // "Start Test"
        QTRY_COMPARE(k.text("Text1"), QString("0"));
        for (int p = 0; p < 9; ++p) {
            k.press(main, Qt::Key_B); // variant "b" everywhere
            QVERIFY(k.control<QRadioButton>("Option1_1")->isChecked());
            k.press(main, Qt::Key_Right);
        }
        QCOMPARE(k.text("Text1"), QString("0"));
        k.press(main, Qt::Key_Left);
        QCOMPARE(k.text("Text1"), QString("8"));
        k.press(main, Qt::Key_C, Qt::AltModifier); // "Corecteaza test"
        QTRY_VERIFY(!k.text("Text2").isEmpty());
        k.press(main, Qt::Key_R, Qt::AltModifier); // "Reset"
        QTRY_VERIFY(k.text("Text2").isEmpty());
        k.press(main, Qt::Key_A); // no test: nothing to mark
        QVERIFY(!k.control<QRadioButton>("Option1_0")->isChecked());
    }

    // A screen opened again while it is open comes back in front, with the
    // keyboard.
    void screenOpenedAgainTakesTheKeyboard()
    {
        Keyboard k;
        k.press(k.main(), Qt::Key_F2);
        QWidget *chapters = topLevel("frmAddCap");
        QTRY_COMPARE(QApplication::activeWindow(), chapters);
        k.press(k.main(), Qt::Key_F2);
        QTRY_COMPARE(QApplication::activeWindow(), chapters);
    }

    void tabOrderOfTheMainScreen()
    {
        Keyboard k;
        const QStringList order = {"btnDefTest", "Command4",  "Option1_0", "Option1_1",
                                   "Option1_2",  "Option1_3", "Option1_4", "Command2",
                                   "Command1",   "Command3",  "Command5",  "btnStartCrono",
                                   "Command6"};
        for (int i = 0; i + 1 < order.size(); ++i)
            QCOMPARE(k.control<QWidget>(order[i])->nextInFocusChain()->objectName(), order[i + 1]);
    }

    void everyButtonHasItsOwnAccessKey()
    {
        Keyboard k;
        for (QWidget *screen : openEveryScreen(k)) {
            QSet<QKeySequence> keys;
            QList<QAbstractButton *> keyless;
            for (QAbstractButton *button : screen->findChildren<QAbstractButton *>()) {
                QVERIFY2(!button->text().contains('&'), qPrintable(button->text()));
                if (button->testAttribute(Qt::WA_TransparentForMouseEvents) ||
                    button->objectName().startsWith("qt_"))
                    continue; // the correction's marks only show; Qt's own parts
                const QKeySequence key = button->shortcut();
                if (key.isEmpty()) {
                    keyless.append(button);
                    continue;
                }
                QVERIFY2(!keys.contains(key),
                         qPrintable(screen->objectName() + ": " + button->text()));
                keys.insert(key);
            }
            // A button goes without a key only when its caption has no letter
            // that another button's key does not already use.
            for (QAbstractButton *button : keyless) {
                for (const QChar c : button->text().toUpper()) {
                    if (c >= 'A' && c <= 'Z') {
                        const QKeySequence key(QString("Alt+") + c);
                        QVERIFY2(keys.contains(key) ||
                                     (screen == k.main() && (c == 'F' || c == 'H')),
                                 qPrintable(screen->objectName() + ": " + button->text()));
                    }
                }
            }
            if (screen == k.main()) // Alt+F and Alt+H open the menus
                QVERIFY(!keys.contains(QKeySequence("Alt+F")) &&
                        !keys.contains(QKeySequence("Alt+H")));
        }
    }

    void everyControlHasANameForReaders()
    {
        Keyboard k;
        for (QWidget *screen : openEveryScreen(k)) {
            for (QWidget *w : screen->findChildren<QWidget *>()) {
                const bool control =
                    qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                    qobject_cast<QComboBox *>(w) || qobject_cast<QListWidget *>(w) ||
                    qobject_cast<QScrollBar *>(w) || qobject_cast<QPlainTextEdit *>(w) ||
                    w->inherits("culegere::PictureBox");
                // A combo's own line edit is the combo's part, named with it.
                if (!control || w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
                    continue;
                QVERIFY2(!readerName(w).isEmpty(),
                         qPrintable(screen->objectName() + "/" + w->objectName()));
            }
        }
    }

    void thePictureTellsWhichProblemItShows()
    {
        Keyboard k;
        QWidget *picture = k.control<QWidget>("Picture1");
        QCOMPARE(readerName(picture), QString("Nicio problema afisata"));
        k.control<QPushButton>("btnDefTest")->click();
        child<QPushButton>(topLevel("frmDefTest"), "Command1")->click();
        child<QPushButton>(topLevel("frmDefTest"), "Command3")->click();
        k.control<QPushButton>("Command4")->click();
        QCOMPARE(readerName(picture), QString("Problema 1 din 9, capitolul Ecuatii"));
        k.control<QPushButton>("Command1")->click();
        k.control<QPushButton>("Command1")->click();
        QCOMPARE(readerName(picture), QString("Problema 3 din 9, capitolul Ecuatii"));
    }
};

QTEST_MAIN(TstKeyboardAccess)
#include "tst_keyboard_access.moc"
