#include "platform/help_opener.h"

#include <QDir>
#include <QFileInfo>

namespace culegere {

QString HelpOpener::pagesOf(const QString &helpFile)
{
    return QFileInfo(helpFile).dir().filePath(QStringLiteral("help/index.html"));
}

void HelpOpener::open(const QString &helpFile)
{
    openViewer(helpFile, [this, helpFile] { openPages(helpFile); });
}

void HelpOpener::openViewer(const QString &helpFile, std::function<void()> noViewer)
{
    if (!QFileInfo::exists(helpFile)) {
        noViewer();
        return;
    }
    m_desktop.hasViewer(helpFile, [this, helpFile, noViewer](bool viewer) {
        if (!(viewer && m_desktop.open(helpFile)))
            noViewer();
    });
}

void HelpOpener::openPages(const QString &helpFile)
{
    const QString pages = pagesOf(helpFile);
    if (QFileInfo::exists(pages) && m_desktop.open(pages))
        return;
    m_desktop.tell(QStringLiteral("Ajutorul nu poate fi deschis: pe acest calculator nu exista un "
                                  "program pentru fisierul help.chm si nici pentru pagini web. "
                                  "Paginile ajutorului sunt in folderul:\n%1")
                       .arg(QDir::toNativeSeparators(QFileInfo(pages).absolutePath())));
}

} // namespace culegere
