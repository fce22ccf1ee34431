// The yardstick of bench_startup: about the least a Qt Widgets program does
// to show a main window with a menu bar. It shows one the size of the
// program's, with one menu, and ends once the window is shown and idle
// (startup_probe.h), as the program timed beside it does.

#include "startup_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

void watchStartup()
{
    new culegere::bench::StartupWatch("bench_startup_yardstick", 20);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchStartup)

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Test....."));
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    QObject::connect(file->addAction(QStringLiteral("Exit")), &QAction::triggered, &window,
                     &QWidget::close);
    window.resize(1024, 740);
    window.show();
    return QApplication::exec();
}
