// A whole test taken from the keyboard, access keys on every screen, a name
// for screen readers on every control, and Qt's own texts in Romanian.
#include "support/driver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace culegere;
using test::Driver;

namespace {

// The sample collection with one result in the log.
Collection catalogue()
{
    Collection c = test::sampleCollection();
    c.UserTable[2] = test::result("Ana", 9, 3, {2026, 11, 30});
    c.NextUserRecord = 3;
    return c;
}

// A key typed into the window that has the keyboard.
void key(QWidget *window, int k)
{
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key(k));
}

QString readerName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// The screens a teacher and a pupil meet, each opened once.
QList<QWidget *> openEveryScreen(Driver &d)
{
    d.startOrFail();
    d.defineWholeCollection();
    d.draw();
    d.chooseMenu("mnuPrint");
    d.chooseMenu("mnuRezultate");
    Driver::press("frmRezultate", "btnArhiva");
    d.chooseMenu("mnuDespre");
    QList<QWidget *> screens = {d.main()};
    for (const char *name : {"frmDefTest", "frmTipareste", "frmRezultate", "frmArhiva", "frmDespre",
                             "frmAddCap", "frmSetProblema"})
        screens.append(Driver::screen(name));
    return screens;
}

} // namespace

class TstKeyboardAccess : public QObject
{
    Q_OBJECT

private slots:
    void aWholeTestWithoutAMouse()
    {
        Driver d(catalogue());
        d.startOrFail();
        QWidget *main = d.main();
        auto text = [&d](const char *name) { return d.control<QLineEdit>(name)->text(); };
        key(main, Qt::Key_Right); // no test yet: nothing moves
        QVERIFY(text("Text1").isEmpty());

        Driver::accessKey("Main", 'd'); // "Defineste Test"
        QTRY_VERIFY(Driver::screen("frmDefTest") && Driver::screen("frmDefTest")->isVisible());
        Driver::accessKey("frmDefTest", 's'); // "Seteaza"
        QTRY_COMPARE(d.platform.messages.size(), 1);
        Driver::accessKey("frmDefTest", 'o'); // "Ok"
        QTRY_VERIFY(!Driver::screen("frmDefTest")->isVisible());

        // The picture tells a reader which problem it shows.
        QWidget *picture = d.control<QWidget>("Picture1");
        QCOMPARE(readerName(picture), QString("Nicio problema afisata"));
        Driver::accessKey("Main", 's'); // "Start Test"
        QTRY_COMPARE(d.phase(), test::phase::Drawn);
        QCOMPARE(text("Text1"), QString("0"));
        for (int p = 0; p < 9; ++p) {
            QVERIFY2(
                readerName(picture).startsWith(QString("Problema %1 din 9, capitolul ").arg(p + 1)),
                qPrintable(readerName(picture)));
            key(main, Qt::Key_B); // variant "b" everywhere
            QVERIFY(d.control<QRadioButton>("Option1_1")->isChecked());
            key(main, Qt::Key_Right);
        }
        QCOMPARE(text("Text1"), QString("0"));
        key(main, Qt::Key_Left);
        QCOMPARE(text("Text1"), QString("8"));
        Driver::accessKey("Main", 'c'); // "Corecteaza test"
        QTRY_COMPARE(d.phase(), test::phase::Corrected);
        Driver::accessKey("Main", 'r'); // "Reset"
        QTRY_VERIFY(text("Text2").isEmpty());
        key(main, Qt::Key_A); // no test: nothing to mark
        QVERIFY(!d.control<QRadioButton>("Option1_0")->isChecked());
        // A screen opened again while it is open comes back in front, with
        // the keyboard.
        for (int i = 0; i < 2; ++i) {
            key(main, Qt::Key_F2);
            QTRY_COMPARE(QApplication::activeWindow(), Driver::screen("frmAddCap"));
        }
    }

    // On every screen each button has its own access key, and each control
    // a name for screen readers.
    void everyScreenHasAccessKeysAndNamesForReaders()
    {
        Driver d(catalogue());
        for (QWidget *screen : openEveryScreen(d)) {
            QSet<QKeySequence> keys;
            QList<QAbstractButton *> keyless;
            for (QAbstractButton *button : screen->findChildren<QAbstractButton *>()) {
                QVERIFY2(!button->text().contains('&'), qPrintable(button->text()));
                if (button->testAttribute(Qt::WA_TransparentForMouseEvents) ||
                    button->objectName().startsWith("qt_") || button->window() != screen)
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
                                     (screen == d.main() && (c == 'F' || c == 'H')),
                                 qPrintable(screen->objectName() + ": " + button->text()));
                    }
                }
            }
            if (screen == d.main()) // Alt+F and Alt+H open the menus
                QVERIFY(!keys.contains(QKeySequence("Alt+F")) &&
                        !keys.contains(QKeySequence("Alt+H")));
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

    // Qt's own texts come in Romanian on every screen, in the text fields'
    // context menus, the date fields' calendar, the file dialog and the
    // standard buttons: none of Qt's English captions is shown.
    void qtsOwnTextsInRomanian()
    {
        const QStringList english = {"Look in:", "File name:", "Save",   "Cancel",     "Undo",
                                     "Redo",     "Cut",        "Copy",   "Paste",      "Delete",
                                     "Yes",      "No",         "Back",   "Select All", "Name",
                                     "January",  "Monday",     "Detail View"};
        QFileDialog files(nullptr, "Exporta");
        files.setOptions(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        new QMessageBox(QMessageBox::NoIcon, "Culegere", "text",
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No,
                        &files);
        Driver d(catalogue());
        QStringList texts;
        const QList<QWidget *> screens = openEveryScreen(d) << &files;
        for (QWidget *screen : screens) {
            for (QWidget *w : screen->findChildren<QWidget *>()) {
                std::unique_ptr<QMenu> menu;
                if (auto *button = qobject_cast<QAbstractButton *>(w))
                    texts << button->text();
                else if (auto *label = qobject_cast<QLabel *>(w))
                    texts << label->text();
                else if (auto *line = qobject_cast<QLineEdit *>(w))
                    menu.reset(line->createStandardContextMenu());
                else if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
                    menu.reset(plain->createStandardContextMenu());
                else if (auto *date = qobject_cast<QDateEdit *>(w))
                    texts << date->calendarWidget()->locale().monthName(1)
                          << date->calendarWidget()->locale().dayName(1);
                for (QAction *action : menu ? menu->actions() : QList<QAction *>())
                    texts << action->text();
            }
        }
        QVERIFY(texts.size() > 100);
        for (const QString &text : texts)
            QVERIFY2(!english.contains(QString(text).remove('&').trimmed()), qPrintable(text));
    }
};

QTEST_MAIN(TstKeyboardAccess)
#include "tst_keyboard_access.moc"
