#include "store/commit_record.h"

#include "store/durable_io.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>

namespace culegere::commitrecord {

namespace {

const QByteArray kFirstLine = "culegere commit 1\n";
const QByteArray kEnd = "end ";

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

bool isDataFileName(const QString &name)
{
    static const QRegularExpression dataFile(QStringLiteral("^(users|caps|problems)\\.stn$"),
                                             QRegularExpression::CaseInsensitiveOption);
    return dataFile.match(name).hasMatch();
}

} // namespace

QByteArray encode(const std::vector<Entry> &entries)
{
    QByteArray body = kFirstLine;
    for (const Entry &entry : entries)
        body += entry.newFile.toLatin1() + '\t' + entry.target.toLatin1() + '\n';
    return body + kEnd + checksum(body) + '\n';
}

std::optional<std::vector<Entry>> decode(const QByteArray &bytes)
{
    // The last line seals everything before it.
    if (!bytes.startsWith(kFirstLine) || !bytes.endsWith('\n'))
        return std::nullopt;
    const qsizetype endAt = bytes.lastIndexOf('\n', bytes.size() - 2) + 1;
    const QByteArray body = bytes.left(endAt);
    if (bytes.mid(endAt) != kEnd + checksum(body) + '\n')
        return std::nullopt;

    std::vector<Entry> entries;
    QSet<QString> targets;
    const QList<QByteArray> lines = body.mid(kFirstLine.size()).split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.size() != 2)
            return std::nullopt;
        const Entry entry{QString::fromLatin1(fields[0]), QString::fromLatin1(fields[1])};
        if (!durable::isNewFileName(entry.newFile) || !isDataFileName(entry.target) ||
            targets.contains(entry.target.toLower()))
            return std::nullopt;
        targets.insert(entry.target.toLower());
        entries.push_back(entry);
    }
    if (entries.empty())
        return std::nullopt;
    return entries;
}

std::map<QString, QString> readableEntries(const QByteArray &bytes)
{
    std::map<QString, QString> entries;
    // The last line may be cut: only lines that end are read.
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2 && durable::isNewFileName(QString::fromLatin1(fields[0])) &&
            isDataFileName(QString::fromLatin1(fields[1])))
            entries[QString::fromLatin1(fields[0])] = QString::fromLatin1(fields[1]);
    }
    return entries;
}

QString dataFileShapedAs(const QByteArray &content)
{
    const struct
    {
        const char *name;
        int length;
        int countAt;
        bool countPositive;
    } shapes[] = {{"Users.stn", 42, 30, true},
                  {"Caps.stn", 204, 100, false},
                  {"Problems.stn", 458, 454, false}};
    QString found;
    for (const auto &shape : shapes) {
        if (content.size() < shape.length || content.size() % shape.length != 0)
            continue;
        bool header = true;
        for (int i = 0; i < shape.length; ++i) {
            if (i != shape.countAt && i != shape.countAt + 1 && content[i] != 0)
                header = false;
        }
        const int count =
            qint16(quint8(content[shape.countAt]) | quint8(content[shape.countAt + 1]) << 8);
        if (!header || count < 0 || (shape.countPositive && count == 0))
            continue;
        if (!found.isEmpty())
            return {};
        found = QString::fromLatin1(shape.name);
    }
    return found;
}

} // namespace culegere::commitrecord
