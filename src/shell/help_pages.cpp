#include "shell/help_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <algorithm>

namespace culegere {

namespace {

const QString kStart = QStringLiteral("index.html");

// Lower case without diacritics: "Ț" and "ț" are "t".
QString plainLetters(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!c.isMark())
            plain.append(c);
    }
    return plain.toCaseFolded();
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

bool HelpPages::existIn(const QString &folder)
{
    return QFileInfo(QDir(folder).filePath(kStart)).isFile();
}

HelpPages::HelpPages(const QString &folder) : m_folder(folder)
{
    const QDir dir(folder);
    QStringList files = dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    // The contents' order: the start page, then the pages it links to from
    // its table of contents ("cuprins") on.
    QStringList order = {kStart};
    const QString start = readText(dir.filePath(kStart));
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#/]+\\.html)"));
    const qsizetype contents =
        std::max<qsizetype>(0, start.indexOf(QStringLiteral("id=\"cuprins\"")));
    for (const QRegularExpressionMatch &m : link.globalMatch(start, contents)) {
        if (!order.contains(m.captured(1)))
            order.append(m.captured(1));
    }
    std::stable_sort(files.begin(), files.end(), [&](const QString &a, const QString &b) {
        const auto rank = [&](const QString &f) {
            const qsizetype at = order.indexOf(f);
            return at < 0 ? order.size() : at;
        };
        return rank(a) < rank(b);
    });

    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"),
                                          QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::InvertedGreedinessOption);
    for (const QString &name : files) {
        const QString html = readText(dir.filePath(name));
        if (html.isEmpty())
            continue;
        const QString found = title.match(html).captured(1).simplified();
        m_pages.append({name, found.isEmpty() ? name : found,
                        plainLetters(QTextDocumentFragment::fromHtml(html).toPlainText())});
    }
}

int HelpPages::find(const QString &file) const
{
    const QString name = file.section(u'#', 0, 0);
    for (int i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].file == name)
            return i;
    }
    return -1;
}

QList<int> HelpPages::search(const QString &query) const
{
    const QStringList words = plainLetters(query).split(u' ', Qt::SkipEmptyParts);
    QList<int> found;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (std::all_of(words.begin(), words.end(),
                        [&](const QString &w) { return m_pages[i].text.contains(w); }))
            found.append(i);
    }
    return found;
}

} // namespace culegere
