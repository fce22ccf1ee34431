#pragma once

#include "shell/application.h"
#include "support/screens.h"
#include "support/scripted_platform.h"
#include "support/temp_app_folder.h"

#include <QAction>

#include <memory>

namespace culegere::test {

// The program started on a temporary folder holding `collection`, with a
// recording platform.
struct RunningApp
{
    TempAppFolder dir;
    ScriptedPlatform platform;
    std::unique_ptr<Application> app;

    explicit RunningApp(const Collection &collection)
    {
        dir.writeCollection(collection);
        app = std::make_unique<Application>(dir.path(), platform);
        if (!app->start())
            qFatal("start refused: %s", qPrintable(platform.messageTexts().join(u'|')));
    }
    QWidget *main() const { return app->mainScreen(); }
    QAction *action(const QString &name) const { return child<QAction>(main(), name); }
    template <typename T> T *control(const QString &name) const { return child<T>(main(), name); }
};

} // namespace culegere::test
