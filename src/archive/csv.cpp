#include "archive/csv.h"

namespace culegere {

namespace {

// U+2060 WORD JOINER: nothing to see, but no number begins with it.
constexpr char16_t kKeepAsText = u'\u2060';

bool startsFormula(const QString &text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starts.contains(text.front());
}

QString field(QString text, bool keepAsText)
{
    if (startsFormula(text))
        text.prepend(u'\'');
    else if (keepAsText && !text.isEmpty())
        text.prepend(QChar(kKeepAsText));
    const bool quoted = text.contains(u';') || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') ||
                        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

void appendLine(QString &out, const QStringList &fields, const QList<int> &textColumns)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += u';';
        out += field(fields[i], textColumns.contains(int(i)));
    }
    out += QStringLiteral("\r\n");
}

} // namespace

QByteArray csvBytes(const QStringList &header, const QList<QStringList> &rows,
                    const QList<int> &textColumns)
{
    QString text;
    appendLine(text, header, {});
    for (const QStringList &row : rows)
        appendLine(text, row, textColumns);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString decimalText(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

} // namespace culegere
