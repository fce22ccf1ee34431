#pragma once

#include <QList>
#include <QString>
#include <QtTest>

#include <functional>
#include <memory>

// Walking a screen's table: from every state of the table, every event a user
// can cause there must lead to a state of the table again.
namespace culegere::test {

// A state of a screen's table, reached from start-up by a user's steps.
template <typename App> struct Route
{
    const char *name;
    std::function<void(App &)> steps;
};

// A user's event: whether it can happen now, and what it does.
template <typename App> struct Event
{
    QString name;
    std::function<bool(App &)> available;
    std::function<void(App &)> happen;
};

// What the program breaks of a screen's rules now; "" when nothing.
template <typename App> using Check = std::function<QString(App &)>;

// One data row per route, named after it, with its index in the column "route".
template <typename App> void addRouteRows(const QList<Route<App>> &routes)
{
    QTest::addColumn<int>("route");
    for (int i = 0; i < routes.size(); ++i)
        QTest::newRow(routes[i].name) << i;
}

// For each event, on a program started afresh by `start`: takes `route`,
// checks the state reached, makes the event happen when it is available, and
// checks the state it leads to with `broken`, then with `settled` (a check
// that may end the program, such as one through its exit). Returns how many
// events happened; `failure` tells the first thing broken ("" when none).
template <typename App>
int walkEvents(const std::function<std::unique_ptr<App>()> &start, const Route<App> &route,
               const QList<Event<App>> &events, const Check<App> &broken, const Check<App> &settled,
               QString *failure)
{
    int happened = 0;
    for (const Event<App> &event : events) {
        const std::unique_ptr<App> app = start();
        route.steps(*app);
        if (const QString reached = broken(*app); !reached.isEmpty()) {
            *failure = QStringLiteral("reached: ") + reached;
            return happened;
        }
        if (!event.available(*app))
            continue;
        event.happen(*app);
        ++happened;
        QString after = broken(*app);
        if (after.isEmpty() && settled)
            after = settled(*app);
        if (!after.isEmpty()) {
            *failure = event.name + QStringLiteral(": ") + after;
            return happened;
        }
    }
    return happened;
}

} // namespace culegere::test
