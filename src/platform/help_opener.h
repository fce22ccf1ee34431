#pragma once

#include <QString>

#include <functional>

namespace culegere {

// Opens the help: help.chm with the viewer the desktop has for it; where it
// has none (or it fails to start), the same pages as HTML (the folder "help"
// beside help.chm) in the default browser; where that fails too, a message
// tells where the pages are. Never waits for the viewer.
class HelpOpener
{
public:
    struct Desktop
    {
        // Asks, without waiting, whether a program is registered for the
        // file's type; calls back with the answer.
        std::function<void(const QString &file, std::function<void(bool)> answer)> hasViewer;
        std::function<bool(const QString &file)> open; // starts the viewer; false when it could not
        std::function<void(const QString &text)> tell; // a message to the user
    };

    explicit HelpOpener(Desktop desktop) : m_desktop(std::move(desktop)) {}

    void open(const QString &helpFile);
    // help.chm with its viewer; `noViewer` runs where it cannot be opened.
    void openViewer(const QString &helpFile, std::function<void()> noViewer);

    // The HTML pages of `helpFile`: help/index.html beside it.
    static QString pagesOf(const QString &helpFile);

private:
    void openPages(const QString &helpFile);

    Desktop m_desktop;
};

} // namespace culegere
