// culegere_build_sample <source.txt> <application folder>
//
// Reads the sample's text, draws every problem's picture into
// <folder>/probleme and writes the catalogue (Caps.stn, Problems.stn) through
// the store. Run with QT_QPA_PLATFORM=offscreen; exits non-zero, saying why,
// on a malformed text, a missing font or a file that cannot be written.
#include "tools/problem_picture.h"
#include "tools/sample_collection.h"
#include "tools/sample_source.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

int failWith(const QString &message)
{
    std::fprintf(stderr, "culegere_build_sample: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return failWith(QStringLiteral("usage: culegere_build_sample <source.txt> <folder>"));

    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly))
        return failWith(QStringLiteral("cannot read %1").arg(args[1]));
    const culegere::SampleParse sample = culegere::parseSample(QString::fromUtf8(source.readAll()));
    if (!sample.ok())
        return failWith(
            QStringLiteral("%1:%2: %3").arg(args[1]).arg(sample.errorLine).arg(sample.error));

    const QFont font = culegere::problemFont();
    if (!culegere::fontAvailable(font))
        return failWith(
            QStringLiteral("the font \"%1\" is missing (Debian package fonts-dejavu-core)")
                .arg(font.family()));

    const QString error = culegere::writeSampleFolder(sample, QDir(args[2]).absolutePath(), font);
    if (!error.isEmpty())
        return failWith(error);
    std::printf("%d chapters, %d problems\n", static_cast<int>(sample.chapters.size()),
                sample.problemCount());
    return 0;
}
