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

} // namespace culegere::commitrecord
