#include "archive/csv.h"

namespace culegere {

namespace {

QString field(const QString &text)
{
    const bool quoted = text.contains(u';') || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') ||
                        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

void appendLine(QString &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += u';';
        out += field(fields[i]);
    }
    out += QStringLiteral("\r\n");
}

} // namespace

QByteArray csvBytes(const QStringList &header, const QList<QStringList> &rows)
{
    QString text;
    appendLine(text, header);
    for (const QStringList &row : rows)
        appendLine(text, row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString decimalText(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

} // namespace culegere
