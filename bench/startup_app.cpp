// The program as bench_startup times it: main() of the program, step for
// step (src/shell/main.cpp), ending once the main screen is shown and idle
// (startup_probe.h) instead of waiting for the user. The product has no hook
// for this; the two lines of the probe are all that differ.
//
//   bench_startup_app <application folder> [--check]
//
// Exits with 0 when the main screen was shown and idle (having written when
// on stdout), 2 when the start-up was refused, 3 when it never got there
// (stderr says why). With --check the
// start-up must also have loaded a full collection: the chapters screen lists
// 49 chapters and the problem editor counts 6999 problems, else it exits
// with 4. The check is made only then, outside what is timed.

#include "platform/cue.h"
#include "platform/desktop_platform.h"
#include "shell/application.h"
#include "shell/folder_choice.h"
#include "shell/shell_messages.h"

#include "startup_probe.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QStringList>

#include <cstdio>

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    culegere::bench::QuitWhenShownAndIdle quit;
    culegere::bench::exitWhenStuck("bench_startup_app", 20);
    QApplication::setApplicationName(QStringLiteral("Culegere"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder = QApplication::applicationDirPath();
    const QString appPath =
        culegere::chooseAppFolder(QApplication::arguments(), programFolder, QDir::homePath());
    const bool folderGiven = QApplication::arguments().size() > 1;
    const QString source = culegere::fillingSource(programFolder);
    const bool filled = culegere::prepareAppFolder(appPath, source, !folderGiven);

    culegere::DesktopPlatform platform;
    if (!filled)
        platform.showMessage(nullptr,
                             culegere::folderNotFilledMessage(appPath, source, programFolder),
                             culegere::Platform::Buttons::Ok, culegere::kAppTitle);
    culegere::Application application(appPath, platform);
    if (!application.start()) {
        std::fprintf(stderr, "bench_startup_app: the start-up on %s was refused\n",
                     qPrintable(appPath));
        return 2;
    }
    if (QApplication::arguments().contains(QStringLiteral("--check"))) {
        if (const QString missing = missingFromFullCollection(); !missing.isEmpty()) {
            std::fprintf(stderr, "bench_startup_app: %s\n", qPrintable(missing));
            return 4;
        }
    }
    return QApplication::exec();
}
