#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace culegere::test {

// What `program` writes to its standard output (a PDF tool of poppler, say);
// "" when it cannot start, fails or takes more than a minute.
inline QString programOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace culegere::test
