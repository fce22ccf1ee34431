#include "support/driver.h"

#include "store/collection_io.h"
#include "store/problem_paths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QtTest>

namespace culegere::test {

QStringList lines(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

QStringList lines(const QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out.append(combo->itemText(i));
    return out;
}

FolderBytes folderBytes(const QString &folder, const QStringList &skip)
{
    FolderBytes files;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = root.relativeFilePath(path);
        if (skip.contains(name))
            continue;
        QFile file(path);
        files.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

std::optional<Collection> collectionOnDisk(const QString &folder)
{
    auto read = [&](const QString &name) {
        QFile file(QDir(folder).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    auto c = std::make_optional<Collection>();
    if (!loadCollection(read(datafile::Users), read(datafile::Chapters), read(datafile::Problems),
                        *c)
             .ok())
        return std::nullopt;
    return c;
}

QString countersBreak(const Collection &c)
{
    for (int row = Collection::FirstRow; row <= c.lastChapterRow(); ++row) {
        const ChapterRecord &chapter = c.ChapterTable[row];
        const int filed = int(chapterRows(c, chapter.Name).size());
        if (filed != chapter.ProblemTotal)
            return QStringLiteral("chapter %1 counts %2 problems, %3 are filed")
                .arg(chapter.Name.trimmedText())
                .arg(chapter.ProblemTotal)
                .arg(filed);
    }
    for (int row = Collection::FirstRow; row <= c.lastProblemRow(); ++row) {
        bool named = false;
        for (int k = Collection::FirstRow; k <= c.lastChapterRow() && !named; ++k)
            named = c.ChapterTable[k].Name == c.ProblemTable[row].Chapter.Name;
        if (!named)
            return QStringLiteral("problem row %1 names no chapter").arg(row);
    }
    return {};
}

Collection sampleCollection()
{
    Collection c;
    const QList<QPair<QByteArray, int>> chapters = {
        {"A", 5}, {"B", 4}, {"Gol", 0}, {"Benzi de completare", 2}};
    int index = 1;
    for (const auto &[name, count] : chapters) {
        addChapter(c, name, qint16(count));
        for (int i = 0; i < count; ++i, ++index)
            addProblem(c, name, pictureIndex(index), qint16(index % 5));
    }
    return c;
}

Driver::Driver(const Collection &collection)
    : m_folder(std::make_unique<TempAppFolder>()), m_path(m_folder->path())
{
    m_folder->writeCollection(collection);
    for (int row = Collection::FirstRow; row <= collection.lastProblemRow(); ++row) {
        const QString index = problemIndex(collection.ProblemTable[row].ImagePath);
        if (!index.isEmpty())
            m_folder->addPicture(index);
    }
}

Driver::Driver(const QString &folder) : m_path(folder) {}

Driver::~Driver()
{
    m_app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TempAppFolder &Driver::folder()
{
    if (!m_folder)
        qFatal("the driver runs on a folder it did not make");
    return *m_folder;
}

bool Driver::start()
{
    loadAnswers();
    m_app = std::make_unique<Application>(m_path, platform);
    if (m_app->start())
        return true;
    m_app.reset();
    return false;
}

void Driver::startOrFail()
{
    QVERIFY2(start(), qPrintable(QStringLiteral("the start was refused: ") +
                                 platform.messageTexts().join(u'|')));
}

bool Driver::restart()
{
    m_app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return start();
}

bool Driver::exit()
{
    chooseMenu(QStringLiteral("mnuExit"));
    if (QTest::currentTestFailed() || main()->isVisible())
        return false;
    m_app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

void Driver::loadAnswers()
{
    m_answers.clear();
    if (const std::optional<Collection> c = collectionOnDisk(m_path)) {
        for (int row = Collection::FirstRow; row <= c->lastProblemRow(); ++row) {
            const ProblemRecord &p = c->ProblemTable[row];
            m_answers.insert(problemIndex(p.ImagePath).toInt(), p.CorrectAnswer);
        }
    }
}

QWidget *Driver::main() const
{
    if (!m_app)
        qFatal("the program is not running");
    return m_app->mainScreen();
}

QWidget *Driver::screen(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name)
            return w;
    }
    return nullptr;
}

QAction *Driver::menuItem(const QString &name) const
{
    auto *item = main()->findChild<QAction *>(name);
    if (!item)
        qFatal("no menu item %s", qPrintable(name));
    return item;
}

void Driver::click(QAbstractButton *button)
{
    QVERIFY2(button->isEnabled() && button->isVisible(),
             qPrintable(button->objectName() + QStringLiteral(" cannot be clicked")));
    QPoint where = button->rect().center();
    const bool isOption = qobject_cast<QRadioButton *>(button) != nullptr;
    if (isOption || qobject_cast<QCheckBox *>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        where = button->style()
                    ->subElementRect(isOption ? QStyle::SE_RadioButtonIndicator
                                              : QStyle::SE_CheckBoxIndicator,
                                     &option, button)
                    .center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, where);
}

void Driver::press(const QString &mainButton) const
{
    click(control<QAbstractButton>(mainButton));
}

void Driver::press(const QString &screenName, const QString &button)
{
    click(control<QAbstractButton>(screenName, button));
}

void Driver::chooseMenu(const QString &item) const
{
    QAction *action = menuItem(item);
    QVERIFY2(action->isEnabled() && action->isVisible(),
             qPrintable(item + QStringLiteral(" cannot be chosen")));
    QMenu *menu = nullptr;
    for (QObject *o : action->associatedObjects()) {
        if ((menu = qobject_cast<QMenu *>(o)))
            break;
    }
    QVERIFY2(menu, qPrintable(item + QStringLiteral(" is in no menu")));
    auto *bar = main()->findChild<QMenuBar *>();
    QVERIFY(bar);
    main()->show();
    QApplication::setActiveWindow(main());
    const QRect title = bar->actionGeometry(menu->menuAction());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, title.center());
    QTRY_VERIFY2(menu->isVisible(), qPrintable(item + QStringLiteral(": its menu did not open")));
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
}

void Driver::accessKey(const QString &screenName, char letter, bool wait)
{
    QWidget *top = screen(screenName);
    QVERIFY2(top && top->isVisible(), qPrintable(screenName + QStringLiteral(" is not shown")));
    top->activateWindow();
    QApplication::setActiveWindow(top);
    QTest::keyClick(top, Qt::Key(Qt::Key_A + (QChar::toLower(letter) - 'a')), Qt::AltModifier);
    // A button pressed by its access key clicks itself a moment later.
    if (wait)
        QTest::qWait(kAccessKeyDelayMs);
}

void Driver::closeFromFrame(const QString &screenName)
{
    QWidget *top = screen(screenName);
    QVERIFY2(top && top->isVisible(), qPrintable(screenName + QStringLiteral(" is not shown")));
    top->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Driver::clickRow(const QString &screenName, const QString &listName, int row, bool ctrl)
{
    auto *list = control<QListWidget>(screenName, listName);
    QListWidgetItem *item = list->item(row);
    QVERIFY2(item && list->isEnabled() && list->isVisible(),
             qPrintable(QStringLiteral("no entry %1 to click in ").arg(row) + listName));
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier,
                      list->visualItemRect(item).center());
}

void Driver::chooseLine(const QString &screenName, const QString &comboName, const QString &text)
{
    auto *combo = control<QComboBox>(screenName, comboName);
    int index = -1;
    for (int i = 0; i < combo->count() && index < 0; ++i) {
        if (combo->itemText(i).endsWith(text))
            index = i;
    }
    QVERIFY2(combo->isEnabled() && combo->isVisible() && index >= 0,
             qPrintable(QStringLiteral("no line %1 to choose in ").arg(text) + comboName));
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    const QModelIndex line = view->model()->index(index, combo->modelColumn());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(line).center());
    QVERIFY(!view->isVisible());
}

void Driver::type(const QString &screenName, const QString &lineEdit, const QString &text)
{
    auto *box = control<QLineEdit>(screenName, lineEdit);
    QVERIFY2(box->isEnabled() && box->isVisible() && !box->isReadOnly(),
             qPrintable(lineEdit + QStringLiteral(" cannot take text")));
    pressKey(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

void Driver::pressKey(QWidget *control, int key, Qt::KeyboardModifiers modifiers)
{
    QVERIFY2(control->isEnabled() && control->isVisible(),
             qPrintable(control->objectName() + QStringLiteral(" cannot take a key")));
    QApplication::setActiveWindow(control->window());
    control->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control, Qt::Key(key), modifiers);
}

void Driver::scrollTo(QScrollBar *bar, int value)
{
    QVERIFY2(bar->isEnabled() && bar->isVisible() && value >= bar->minimum() &&
                 value <= bar->maximum(),
             qPrintable(bar->objectName() + QStringLiteral(" cannot be set to %1").arg(value)));
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    auto arrow = [&](QStyle::SubControl which) {
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, which, bar).center();
    };
    // One click on an arrow moves the bar by one step, as a user sees it.
    for (int guard = 0; bar->value() != value && guard < 1000; ++guard) {
        const bool up = bar->value() < value;
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          arrow(up ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine));
    }
    QCOMPARE(bar->value(), value);
}

void Driver::defineWholeCollection()
{
    const QString def = QStringLiteral("frmDefTest");
    STEP(press(QStringLiteral("btnDefTest")));
    STEP(press(def, QStringLiteral("Command1")));
    STEP(press(def, QStringLiteral("Command3")));
}

void Driver::definePerChapter(const QList<QPair<QString, int>> &counts)
{
    const QString def = QStringLiteral("frmDefTest");
    STEP(press(QStringLiteral("btnDefTest")));
    STEP(press(def, QStringLiteral("Option2")));
    for (const auto &[chapter, count] : counts) {
        STEP(chooseLine(def, QStringLiteral("Combo1"), QStringLiteral("--") + chapter));
        STEP(scrollTo(control<QScrollBar>(def, QStringLiteral("HScroll1")), count));
        STEP(press(def, QStringLiteral("Command2")));
    }
    STEP(press(def, QStringLiteral("Command1")));
    STEP(press(def, QStringLiteral("Command3")));
}

void Driver::answer(int right)
{
    for (int p = 0; p < 9; ++p) {
        const int correct = correctAnswer(shownIndex());
        QVERIFY2(correct >= 0, "a problem of no known answer is shown");
        const int variant = p < right ? correct : (correct + 1) % 5;
        STEP(click(control<QRadioButton>(QStringLiteral("Option1_%1").arg(variant))));
        STEP(press(QStringLiteral("Command1")));
    }
}

void Driver::takeTest(int right)
{
    STEP(defineWholeCollection());
    STEP(draw());
    STEP(answer(right));
    STEP(correct());
}

int Driver::shownIndex() const
{
    const QString path =
        control<QWidget>(QStringLiteral("Picture1"))->property("imagePath").toString();
    return path.isEmpty() ? 0 : path.right(9).left(5).toInt();
}

int Driver::correctAnswer(int pictureIndex) const
{
    return m_answers.value(pictureIndex, -1);
}

int Driver::grade() const
{
    return control<QLineEdit>(QStringLiteral("Text2"))->text().trimmed().toInt();
}

QString Driver::phase() const
{
    auto on = [](bool b) { return b ? u'1' : u'0'; };
    QString s;
    for (const char *name : {"btnDefTest", "Command4", "Command1", "Command2", "Command3",
                             "Command5", "Command6", "btnStartCrono"})
        s += on(control<QPushButton>(QString::fromLatin1(name))->isEnabled());
    s += u' ';
    auto *option = control<QRadioButton>(QStringLiteral("Option1_0"));
    s += on(option->isVisibleTo(main()));
    s += on(option->isEnabled());
    s += on(control<QCheckBox>(QStringLiteral("Check1_0"))->isVisibleTo(main()));
    s += u' ';
    for (const char *name : {"mnuAddCap", "mnuRezolva", "mnuSeteazaProbl", "mnuPrint"})
        s += on(menuItem(QString::fromLatin1(name))->isEnabled());
    s += u' ';
    s += on(!control<QLineEdit>(QStringLiteral("Text2"))->text().isEmpty());
    s += on(control<QTimer>(QStringLiteral("Timer1"))->isActive());
    return s;
}

} // namespace culegere::test
