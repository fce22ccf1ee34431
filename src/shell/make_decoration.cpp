// culegere_make_decoration <file.cpp>
//
// Draws the main screen's decorative picture and writes its pixels, at the
// size the screen shows it, as the C++ table the program holds
// (decoration.h). It is drawn at 1200 x 96 and smoothed down, as the picture
// box did when the program drew it at every start.
#include "shell/decoration.h"
#include "shell/decoration_art.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: culegere_make_decoration <file.cpp>\n");
        return 1;
    }
    const QImage picture =
        culegere::drawDecoration(QSize(1200, 96))
            .scaled(culegere::kDecorationSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);

    QByteArray text = "// Made by culegere_make_decoration; not to be edited.\n"
                      "#include <QtGlobal>\n"
                      "namespace culegere {\n"
                      "extern const quint32 kDecorationPixels[];\n"
                      "alignas(16) const quint32 kDecorationPixels[] = {\n";
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            text += "0x" + QByteArray::number(line[x], 16) + ',';
            if (x % 8 == 7)
                text += '\n';
        }
    }
    text += "};\n} // namespace culegere\n";

    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        std::fprintf(stderr, "culegere_make_decoration: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
