#include "dialogs/InfoSign.h"

#include <QBitmap>
#include <QImage>

namespace {

constexpr int Size = 30;

// Distance test against the disc centred in the picture, in squared
// half-pixels so the circle stays symmetric.
bool Within(int x, int y, int radius)
{
    const int dx = 2 * x + 1 - Size;
    const int dy = 2 * y + 1 - Size;
    return dx * dx + dy * dy <= 4 * radius * radius;
}

bool LetterI(int x, int y)
{
    const bool column = x >= 13 && x <= 16;
    const bool dot = column && y >= 6 && y <= 9;
    const bool stem = column && y >= 12 && y <= 23;
    const bool serif = y >= 22 && y <= 23 && x >= 11 && x <= 18;
    const bool cap = y >= 12 && y <= 13 && x >= 11 && x <= 16;
    return dot || stem || serif || cap;
}

} // namespace

QPixmap InfoSign()
{
    QImage picture(Size, Size, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(0, 0, 0)});
    constexpr uint8_t White = 0, Yellow = 1, Black = 2;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            uint8_t colour = White;
            if (Within(x, y, 14))
                colour = Within(x, y, 13) ? (LetterI(x, y) ? Black : Yellow) : Black;
            picture.setPixel(x, y, colour);
        }
    // The bottom-left pixel's colour, white, is the transparent one.
    QPixmap sign = QPixmap::fromImage(picture);
    sign.setMask(QPixmap::fromImage(picture).createMaskFromColor(picture.pixelColor(0, Size - 1), Qt::MaskInColor));
    return sign;
}
