// culegere_make_cues <application folder>
//
// Writes the six sound cues of the program into the folder; exits non-zero,
// saying which, when one cannot be written.
#include "tools/cue_synth.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: culegere_make_cues <folder>\n");
        return 1;
    }
    const QDir dir(args[1]);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "culegere_make_cues: cannot create %s\n", qPrintable(args[1]));
        return 1;
    }
    for (const culegere::CueRecipe &recipe : culegere::cueRecipes()) {
        const QByteArray wav = culegere::wavFile(culegere::synthesiseCue(recipe));
        QSaveFile file(dir.filePath(recipe.fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size() || !file.commit()) {
            std::fprintf(stderr, "culegere_make_cues: cannot write %s\n",
                         qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
