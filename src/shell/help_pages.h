#pragma once

#include <QList>
#include <QString>

namespace culegere {

// The help's pages in a folder ("help" of the application folder): their
// titles in the order of the contents and a search over their text. Read
// once, when made; a page that cannot be read is left out.
class HelpPages
{
public:
    struct Page
    {
        QString file;  // "tiparire.html"
        QString title; // its <title>, or the file's name
        QString text;  // its text without the markup, for the search
    };

    explicit HelpPages(const QString &folder);

    // The start page, index.html, is there: the help can be shown.
    static bool existIn(const QString &folder);

    QString folder() const { return m_folder; }
    // index.html first, then the pages in the order it links to them, then
    // any other page by name.
    const QList<Page> &pages() const { return m_pages; }
    // The position in pages() of `file` (a place in it, "#...", ignored); -1.
    int find(const QString &file) const;
    // The positions of the pages holding every word of `query`, in order;
    // letters compare without regard to case and diacritics ("latime" finds
    // "lățime"). All of them for a query without words.
    QList<int> search(const QString &query) const;

private:
    QString m_folder;
    QList<Page> m_pages;
};

} // namespace culegere
