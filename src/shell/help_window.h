#pragma once

#include "shell/help_pages.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace culegere {

// The program's own help window "frmAjutor", for a desktop without a viewer
// for help.chm: the pages of the folder "help" in a browser (txtAjutor),
// their contents on the left (listCuprins), back and forward, and a search
// over the pages' text (txtCauta): the contents then list only the pages
// that hold the words typed, and Enter opens the first of them. It opens
// only its own pages: files of a sensible size under the folder; a link to
// anything else is not followed, its address shown below the page
// (lblAdresa). The application folder may be a shared folder or a memory
// stick, so its pages are not trusted.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(const QString &folder);

    // Brings the window up at `page` ("tiparire.html",
    // "vizualizare.html#rezultate"); at the start page for a page the folder
    // does not hold.
    void present(const QString &page);

private:
    void showPage(const QString &page);
    void buildControls();
    void pageShown(const QUrl &url);
    void linkClicked(const QUrl &url);
    void searchChanged();
    void openFirstFound();

    HelpPages m_pages;
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
    QLineEdit *m_search = nullptr;
    QLabel *m_nothingFound = nullptr;
    QListWidget *m_contents = nullptr;
    QTextBrowser *m_browser = nullptr;
    QLabel *m_address = nullptr;
};

// F1 pressed in a secondary screen asks for the help about that screen (the
// main screen's F1 is its menu item "Utilizare"). Watches every event of the
// program once installed on the application.
class HelpKey : public QObject
{
    Q_OBJECT

public:
    explicit HelpKey(std::function<void(const QString &page)> openHelp)
        : m_openHelp(std::move(openHelp))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_openHelp;
};

} // namespace culegere
