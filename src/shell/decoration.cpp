#include "shell/decoration.h"

namespace culegere {

// Made by culegere_make_decoration when the program is built.
extern const quint32 kDecorationPixels[];

QImage decorativePicture()
{
    // Format_RGB32 keeps each pixel as one 32-bit word 0xffRRGGBB, whatever
    // the machine's byte order, as the table does.
    return QImage(reinterpret_cast<const uchar *>(kDecorationPixels), kDecorationSize.width(),
                  kDecorationSize.height(), kDecorationSize.width() * 4, QImage::Format_RGB32);
}

} // namespace culegere
