#include "platform/desktop_platform.h"
#include "shell/application.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Culegere"));
    // The program ends through its exit, which saves; never because a
    // window happened to be the last one shown.
    QApplication::setQuitOnLastWindowClosed(false);

    // The application folder: the first argument, else the program's own folder.
    const QStringList args = QApplication::arguments();
    const QString appPath = args.size() > 1 ? args.at(1) : QApplication::applicationDirPath();

    culegere::DesktopPlatform platform;
    culegere::Application application(appPath, platform);
    if (!application.start())
        return 1;
    return QApplication::exec();
}
