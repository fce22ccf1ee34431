// The program as bench_startup times it: the program's own main()
// (src/shell/main.cpp, compiled in here under another name), watched from the
// moment its QApplication is made (startup_probe.h) so that it ends once its
// main screen is shown and idle instead of waiting for the user. The product
// has no hook for this, and nothing of its start-up is copied here.
//
//   bench_startup_app <application folder> [--check]
//
// Exits with 0 when the main screen was shown and idle (having written when
// on stdout), 1 when the start-up was refused, 3 when it never got there
// (stderr says why). With --check, which the program itself ignores, the
// start-up must also have loaded a full collection: the chapters screen lists
// 49 chapters and the problem editor counts 6999 problems, else it exits
// with 4. The check is made only then, once the main screen is shown.

#define main programMain
#include "shell/main.cpp"
#undef main

#include "startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>

namespace {

QWidget *topLevel(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

// What a full collection shows once started; "" when it is all there.
QString missingFromFullCollection()
{
    const QWidget *chapters = topLevel(QStringLiteral("frmAddCap"));
    const auto *list =
        chapters ? chapters->findChild<QListWidget *>(QStringLiteral("listCap")) : nullptr;
    if (!list || list->count() != 49)
        return QStringLiteral("the chapters screen does not list 49 chapters");
    const QWidget *editor = topLevel(QStringLiteral("frmSetProblema"));
    const auto *total = editor ? editor->findChild<QLabel *>(QStringLiteral("Label2")) : nullptr;
    if (!total || !total->text().contains(QStringLiteral("6999")))
        return QStringLiteral("the problem editor does not count 6999 problems");
    return {};
}

void watchStartup()
{
    std::function<QString()> check;
    if (QCoreApplication::arguments().contains(QStringLiteral("--check")))
        check = missingFromFullCollection;
    new culegere::bench::StartupWatch("bench_startup_app", 20, check);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchStartup)

int main(int argc, char *argv[])
{
    return programMain(argc, argv);
}
