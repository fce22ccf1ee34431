#include "platform/desktop_platform.h"
#include "shell/application.h"
#include "shell/folder_choice.h"

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
    // An installed program brings its cues and help into the folder, and
    // starts its own folder in the home with the sample collection.
    const bool folderGiven = QApplication::arguments().size() > 1;
    culegere::prepareAppFolder(appPath, culegere::sharedFolder(programFolder), !folderGiven);

    culegere::DesktopPlatform platform;
    culegere::Application application(appPath, platform);
    if (!application.start())
        return 1;
    return QApplication::exec();
}
