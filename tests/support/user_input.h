#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

// What a user's mouse and keyboard do, for the screen tests: a control is
// reached only as a user reaches it, so a test cannot pass through a state
// the screen would never allow.
namespace culegere::test {

// Clicks `button` with the mouse where a user would: on the mark of an option
// button or a check box, in the middle of a push button. A test that clicks
// a button a user cannot click (disabled, hidden) fails.
inline void click(QAbstractButton *button)
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

// Clicks entry `row` of `list` with the mouse.
inline void clickRow(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    QVERIFY2(item && list->isEnabled() && list->isVisible(),
             qPrintable(QStringLiteral("no entry %1 to click in ").arg(row) + list->objectName()));
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
}

// Opens the list of `combo` and clicks its line `index`.
inline void chooseLine(QComboBox *combo, int index)
{
    QVERIFY2(
        combo->isEnabled() && combo->isVisible() && index >= 0 && index < combo->count(),
        qPrintable(QStringLiteral("no line %1 to choose in ").arg(index) + combo->objectName()));
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    const QModelIndex line = view->model()->index(index, combo->modelColumn());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(line).center());
    QVERIFY(!view->isVisible());
}

// The line of `combo` that ends with `text` (-1: none).
inline int lineEndingWith(const QComboBox *combo, const QString &text)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).endsWith(text))
            return i;
    }
    return -1;
}

// Gives `control` the keyboard focus, its window becoming the active one,
// as a user's click on the window or the Tab key does.
inline void focus(QWidget *control)
{
    QApplication::setActiveWindow(control->window());
    control->setFocus(Qt::TabFocusReason);
}

// Gives `control` the keyboard focus and presses `key` on it.
inline void pressKey(QWidget *control, Qt::Key key)
{
    focus(control);
    QTest::keyClick(control, key);
}

} // namespace culegere::test
