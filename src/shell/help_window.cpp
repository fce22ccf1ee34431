#include "shell/help_window.h"

#include "widgets/access_keys.h"
#include "widgets/controls.h"
#include "widgets/secondary_screen.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace culegere {

namespace {

// A help page or picture larger than this is no page of ours.
constexpr qint64 kLargestHelpFile = 4 * 1024 * 1024;

// The file of `url` when it is one of the help's own: a local file under
// `folder`, not too large. "" otherwise.
QString ownFile(const QString &folder, const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    const QFileInfo file(url.toLocalFile());
    const QString root = QFileInfo(folder).canonicalFilePath();
    const QString path = file.canonicalFilePath();
    if (root.isEmpty() || !path.startsWith(root + u'/') || !file.isFile() ||
        file.size() > kLargestHelpFile)
        return {};
    return path;
}

// A browser that reads nothing but the help's own files, also for the
// pictures a page shows.
class HelpBrowser : public QTextBrowser
{
public:
    explicit HelpBrowser(const QString &folder) : m_folder(folder) {}

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = source().isValid() ? source().resolved(name) : name;
        if (ownFile(m_folder, url).isEmpty() && ownFile(m_folder, name).isEmpty())
            return {};
        return QTextBrowser::loadResource(type, name);
    }

private:
    QString m_folder;
};

} // namespace

HelpWindow::HelpWindow(const QString &folder) : m_pages(folder)
{
    buildControls();
    for (const HelpPages::Page &page : m_pages.pages())
        m_contents->addItem(page.title);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    // The page moved to, as the signal names it: the browser tells its
    // source() only after.
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageShown);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::linkClicked);
    connect(m_contents, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showPage(m_pages.pages()[row].file);
    });
    connect(m_contents, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        showPage(m_pages.pages()[m_contents->row(item)].file);
    });
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::searchChanged);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::openFirstFound);
}

void HelpWindow::buildControls()
{
    setWindowTitle(QStringLiteral("Culegere electronica - Utilizare"));
    m_back = new QPushButton(QStringLiteral("Inapoi"));
    m_forward = new QPushButton(QStringLiteral("Inainte"));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    auto *searchLabel = new QLabel(QStringLiteral("Cauta:"));
    m_search = new QLineEdit;
    m_search->setAccessibleName(QStringLiteral("Cauta in paginile ajutorului"));
    searchLabel->setBuddy(m_search);
    m_nothingFound = new QLabel(QStringLiteral("Nicio pagina nu contine textul cautat"));
    m_nothingFound->hide();
    m_contents = new QListWidget;
    m_contents->setAccessibleName(QStringLiteral("Cuprins"));
    m_browser = new HelpBrowser(m_pages.folder());
    m_browser->setAccessibleName(QStringLiteral("Pagina de ajutor"));
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_address = new QLabel;
    m_address->setWordWrap(true);
    m_address->setTextFormat(Qt::PlainText);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_address->hide();

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addSpacing(24);
    bar->addWidget(searchLabel);
    bar->addWidget(m_search, 1);
    auto *left = new QWidget;
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->addWidget(m_nothingFound);
    leftColumn->addWidget(m_contents);
    auto *split = new QSplitter;
    split->addWidget(left);
    auto *right = new QWidget;
    auto *rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    rightColumn->addWidget(m_browser, 1);
    rightColumn->addWidget(m_address);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    split->setSizes({220, 740});
    auto *column = new QVBoxLayout(this);
    column->addLayout(bar);
    column->addWidget(split, 1);
    resize(960, 680);
    giveAccessKeys(this);

    nameControls({{this, "frmAjutor"},
                  {m_back, "btnInapoi"},
                  {m_forward, "btnInainte"},
                  {searchLabel, "lblCauta"},
                  {m_search, "txtCauta"},
                  {m_nothingFound, "lblNimic"},
                  {m_contents, "listCuprins"},
                  {m_browser, "txtAjutor"},
                  {m_address, "lblAdresa"}});
}

void HelpWindow::present(const QString &page)
{
    showPage(page);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showPage(const QString &page)
{
    const QString file = m_pages.find(page) >= 0 ? page : QStringLiteral("index.html");
    QUrl url = QUrl::fromLocalFile(QDir(m_pages.folder()).filePath(file.section(u'#', 0, 0)));
    if (file.contains(u'#'))
        url.setFragment(file.section(u'#', 1));
    if (m_browser->source() == url)
        return;
    m_browser->setSource(url);
}

void HelpWindow::pageShown(const QUrl &url)
{
    // The contents follow the page, also one reached by a link.
    const int row = ownFile(m_pages.folder(), url).isEmpty() ? -1 : m_pages.find(url.fileName());
    const QSignalBlocker quiet(m_contents);
    m_contents->setCurrentRow(row);
}

void HelpWindow::linkClicked(const QUrl &link)
{
    const QUrl url = m_browser->source().resolved(link);
    if (!ownFile(m_pages.folder(), url).isEmpty()) {
        m_address->hide();
        m_browser->setSource(url);
        return;
    }
    m_address->setText(
        QStringLiteral("Legatura nu duce la o pagina a ajutorului si nu se deschide: %1")
            .arg(url.toDisplayString()));
    m_address->show();
}

void HelpWindow::searchChanged()
{
    const QList<int> found = m_pages.search(m_search->text());
    for (int i = 0; i < m_contents->count(); ++i)
        m_contents->item(i)->setHidden(!found.contains(i));
    m_nothingFound->setVisible(found.isEmpty());
}

void HelpWindow::openFirstFound()
{
    const QList<int> found = m_pages.search(m_search->text());
    if (found.isEmpty())
        return;
    showPage(m_pages.pages()[found.first()].file);
    // The words as typed, where the page writes them so.
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->find(m_search->text().trimmed());
}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto *screen =
            qobject_cast<SecondaryScreen *>(static_cast<QWidget *>(watched)->window());
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && screen) {
            m_openHelp(screen->helpPage());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace culegere
