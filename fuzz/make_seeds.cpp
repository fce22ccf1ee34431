// culegere_fuzz_seeds <folder> [regressions folder]: writes the seed corpus,
// <folder>/<target>/<seed>, and the saved regression inputs as raw bytes
// beside them, so that the fuzzers start from earlier findings too.
// culegere_fuzz_seeds --hex <file>: prints a file (a crash input) in the text
// form kept under regressions/.
#include "seeds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace culegere::fuzz;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

int fail(const QString &text)
{
    std::fprintf(stderr, "culegere_fuzz_seeds: %s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--hex")) {
        QFile file(args[2]);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(args[2]));
        std::fputs(qPrintable(formatHexInput(file.readAll())), stdout);
        return 0;
    }
    if (args.size() < 2 || args.size() > 3)
        return fail(
            QStringLiteral("usage: culegere_fuzz_seeds <folder> [regressions] | --hex <file>"));

    for (const Target target : kTargets) {
        const QString name = targetName(target);
        QDir dir(args[1] + u'/' + name);
        if (!dir.removeRecursively() || !QDir().mkpath(dir.path()))
            return fail(QStringLiteral("cannot make %1").arg(dir.path()));
        for (const Seed &seed : seedInputs(target)) {
            if (!writeFile(dir.filePath(QStringLiteral("seed-") + seed.name), seed.bytes))
                return fail(QStringLiteral("cannot write into %1").arg(dir.path()));
        }
        if (args.size() < 3)
            continue;
        const QDir saved(args[2] + u'/' + name);
        for (const QString &file : saved.entryList({QStringLiteral("*.hex")}, QDir::Files)) {
            QFile in(saved.filePath(file));
            QByteArray bytes;
            QString error;
            if (!in.open(QIODevice::ReadOnly) ||
                !parseHexInput(QString::fromUtf8(in.readAll()), bytes, error))
                return fail(QStringLiteral("%1: %2").arg(saved.filePath(file), error));
            if (!writeFile(dir.filePath(QStringLiteral("regression-") + file.chopped(4)), bytes))
                return fail(QStringLiteral("cannot write into %1").arg(dir.path()));
        }
    }
    return 0;
}
