#pragma once

#include "shell/application.h"
#include "store/collection.h"
#include "support/scripted_platform.h"
#include "support/temp_app_folder.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>
#include <type_traits>

class QAbstractButton;
class QAction;
class QComboBox;
class QListWidget;
class QScrollBar;

// The screen driver: the program started on an application folder and used
// as a user uses it, with the mouse and the keyboard. A press on a control a
// user cannot reach (disabled, hidden, no such screen) fails the test, so a
// test cannot pass through a state the screens never allow.
//
// Helpers that check something use QVERIFY/QCOMPARE and return early on a
// failure; a caller that goes on after one should test
// QTest::currentTestFailed() (see STEP).
namespace culegere::test {

// Stops the calling function as soon as a check inside a helper has failed.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

// The lines of a list box or a combo box, as shown.
QStringList lines(const QListWidget *list);
QStringList lines(const QComboBox *combo);

// Every file under `folder` (relative path -> bytes), for "nothing was
// touched" checks; names in `skip` (relative paths) are left out.
using FolderBytes = QMap<QString, QByteArray>;
FolderBytes folderBytes(const QString &folder, const QStringList &skip = {});

// The collection in the data files of `folder`, loaded as the program loads
// it; nullopt when the files are refused.
std::optional<Collection> collectionOnDisk(const QString &folder);

// What a collection breaks of the catalogue's rules: every chapter's counter
// equals the problems filed under it, every problem names a chapter of the
// table. "" when nothing.
QString countersBreak(const Collection &collection);

// The collection the tests start from, unless they need another: chapters A
// (5 problems, picture indexes 1..5), B (4, 6..9), Gol (none) and "Benzi de
// completare" (reserved, 2, 10..11); the correct answer of problem i is
// variant i % 5.
Collection sampleCollection();

class Driver
{
public:
    // A new temporary folder holding `collection`, with a picture for every
    // problem in it; the program is not started yet.
    explicit Driver(const Collection &collection = sampleCollection());
    // The program on a folder prepared by the caller (a small disk, a
    // read-only one): nothing is written there before start().
    explicit Driver(const QString &folder);
    ~Driver();
    Driver(const Driver &) = delete;
    Driver &operator=(const Driver &) = delete;

    // Starts the program; false when it refused (its message is recorded).
    bool start();
    // Starts the program and fails the test when it refuses.
    void startOrFail();
    // Ends the program the way a crash or a power cut would (no exit step,
    // nothing saved), then starts it again on the same folder.
    bool restart();
    // Leaves through File > Exit; true when the program ended.
    bool exit();
    bool running() const { return m_app != nullptr; }

    ScriptedPlatform platform;
    QString path() const { return m_path; }
    // The temporary folder, when the driver made it.
    TempAppFolder &folder();

    // Screens and controls.
    QWidget *main() const;
    // The top-level screen with that objectName, shown or hidden; nullptr
    // when it does not exist.
    static QWidget *screen(const QString &name);
    // A control of the main screen / of a screen; fails the program when
    // there is none, so a renamed control cannot pass unnoticed.
    template <typename T> T *control(const QString &name) const;
    template <typename T> static T *control(const QString &screen, const QString &name);
    QAction *menuItem(const QString &name) const;

    // Real input.
    // Clicks a push button, an option button or a check box where a user
    // would; fails the test when it is disabled or hidden.
    static void click(QAbstractButton *button);
    void press(const QString &mainButton) const;
    static void press(const QString &screen, const QString &button);
    // Chooses a menu item with the mouse: the menu's title in the menu bar,
    // then the item; fails the test when it is disabled.
    void chooseMenu(const QString &item) const;
    // Alt + `letter` on a screen, as a user presses an access key; the
    // button it names clicks itself about 100 ms later, which this waits
    // for unless `wait` is false.
    static void accessKey(const QString &screen, char letter, bool wait = true);
    static constexpr int kAccessKeyDelayMs = 150;
    // Closes a screen from its frame (the close box).
    static void closeFromFrame(const QString &screen);
    // Clicks entry `row` of a list box; Ctrl+click when `ctrl`.
    static void clickRow(const QString &screen, const QString &list, int row, bool ctrl = false);
    // Opens a combo box's list and clicks the line ending with `text`.
    static void chooseLine(const QString &screen, const QString &combo, const QString &text);
    // Focuses a text box, selects all it holds and types `text` over it.
    static void type(const QString &screen, const QString &lineEdit, const QString &text);
    // Clicks the arrows of a scroll bar until it shows `value`.
    static void scrollTo(QScrollBar *bar, int value);
    // Gives a control the keyboard focus and presses `key`.
    static void pressKey(QWidget *control, int key, Qt::KeyboardModifiers modifiers = {});

    // A test, step by step, through the main screen and the definition screen.
    void defineWholeCollection();
    // Per chapter, in this order: (chapter name, number of problems).
    void definePerChapter(const QList<QPair<QString, int>> &counts);
    void draw() const { press(QStringLiteral("Command4")); }
    // Marks the right variant at the first `right` positions and a wrong one
    // at the others, moving on with "Urmatoarea".
    void answer(int right);
    void correct() const { press(QStringLiteral("Command3")); }
    // Defines the whole collection, draws, answers `right` right and corrects.
    void takeTest(int right = 9);

    // What the main screen shows.
    // The picture index of the problem shown ("00012" -> 12), 0 for none.
    int shownIndex() const;
    // The correct variant (0..4) of the problem with that picture index, by
    // the files at the last start; -1 when none.
    int correctAnswer(int pictureIndex) const;
    // The grade shown, 0 for none.
    int grade() const;
    // The main screen's phase, control by control (1 on, 0 off): btnDefTest,
    // Command4, Command1, Command2, Command3, Command5, Command6,
    // btnStartCrono; the variants shown and open, the check marks shown;
    // mnuAddCap, mnuRezolva, mnuSeteazaProbl, mnuPrint; a grade shown, the
    // stopwatch running. E.g. "01111001 110 0001 00" while a test is drawn.
    QString phase() const;

private:
    void loadAnswers();

    std::unique_ptr<TempAppFolder> m_folder;
    QString m_path;
    std::unique_ptr<Application> m_app;
    QMap<int, int> m_answers; // picture index -> correct variant
};

// The main screen's phases (see Driver::phase).
namespace phase {
inline const QString Startup = QStringLiteral("10000100 000 1110 00");
inline const QString Defined = QStringLiteral("01000100 000 1110 00");
inline const QString Drawn = QStringLiteral("01111001 110 0001 00");
inline const QString Timed = QStringLiteral("01111000 110 0001 01");
inline const QString Graded = QStringLiteral("00111010 101 0001 10"); // result not written
inline const QString Corrected = QStringLiteral("00110010 101 0001 10");
} // namespace phase

// The control named `name` of the window `top` itself, not of a screen
// that `top` owns (secondary screens are children of the main screen).
template <typename T> T *controlOf(QWidget *top, const QString &name)
{
    for (T *found : top->findChildren<T *>(name)) {
        if constexpr (std::is_base_of_v<QWidget, T>) {
            if (found->window() != top)
                continue;
        }
        return found;
    }
    qFatal("no control %s on %s", qPrintable(name), qPrintable(top->objectName()));
}

template <typename T> T *Driver::control(const QString &name) const
{
    return controlOf<T>(main(), name);
}

template <typename T> T *Driver::control(const QString &screenName, const QString &name)
{
    QWidget *top = screen(screenName);
    if (!top)
        qFatal("no screen %s", qPrintable(screenName));
    return controlOf<T>(top, name);
}

} // namespace culegere::test
