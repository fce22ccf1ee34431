#include "platform/cue.h"
#include "shell/application.h"
#include "shell/desktop_platform.h"
#include "shell/folder_choice.h"
#include "shell/shell_messages.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Culegere"));
    // The program ends through its exit, which saves; never because a
    // window happened to be the last one shown.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder = QApplication::applicationDirPath();
    const QString appPath =
        culegere::chooseAppFolder(QApplication::arguments(), programFolder, QDir::homePath());
    // An installed program, or one whose own folder cannot be written, brings
    // its cues and help into the folder, and starts its own folder in the
    // home with the sample collection.
    const bool folderGiven = QApplication::arguments().size() > 1;
    const QString source = culegere::fillingSource(programFolder);
    const bool filled = culegere::prepareAppFolder(appPath, source, !folderGiven);

    culegere::DesktopPlatform platform;
    if (!filled)
        platform.showMessage(nullptr,
                             culegere::folderNotFilledMessage(appPath, source, programFolder),
                             culegere::Platform::Buttons::Ok, culegere::kAppTitle);
    culegere::Application application(appPath, platform);
    if (!application.start())
        return 1;
    return QApplication::exec();
}
