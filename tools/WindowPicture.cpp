#include "tools/WindowPicture.h"

#include "dialogs/DialogFont.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

constexpr int CaptionHeight = 22;
constexpr int Border = 1;
const QColor FrameColour(0x40, 0x40, 0x40);
const QColor CaptionColour(0x2b, 0x4f, 0x86);

} // namespace

QImage WindowPicture(QWidget &window)
{
    const QImage client = window.grab().toImage();
    QImage picture(client.width() + 2 * Border, CaptionHeight + client.height() + 2 * Border, QImage::Format_RGB32);
    picture.fill(FrameColour);
    QPainter painter(&picture);
    const QRect caption(Border, Border, client.width(), CaptionHeight);
    painter.fillRect(caption, CaptionColour);
    painter.setPen(Qt::white);
    painter.setFont(JapaneseFont(13));
    painter.drawText(caption.adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter, window.windowTitle());
    painter.drawImage(Border, Border + CaptionHeight, client);
    return picture;
}
