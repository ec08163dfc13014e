#include "platform/DrawText.h"

#include "platform/Cp932.h"

#include <QPainter>

#include <algorithm>

namespace platform {

namespace {

std::string Counted(const std::string &text, int length)
{
    if (length < 0)
        return text.substr(0, text.find('\0'));
    return text.substr(0, std::min(text.size(), static_cast<size_t>(length)));
}

int QtFlags(unsigned format)
{
    int flags = Qt::AlignLeft | Qt::AlignTop;
    if (format & DT_CENTER)
        flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        if (format & DT_VCENTER)
            flags = (flags & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags = (flags & ~Qt::AlignVertical_Mask) | Qt::AlignBottom;
    }
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    return flags;
}

} // namespace

void InflateRect(QRect &rect, int dx, int dy) { rect.adjust(-dx, -dy, dx, dy); }

int DrawTextA(QPainter *dc, const std::string &text, int length, QRect &rect, unsigned format)
{
    if (!dc)
        return 0;
    QString shown = FromCp932(Counted(text, length));
    // Windows breaks lines at CR, LF and CR LF alike; Qt only at LF.
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));

    // Qt clips to the rect itself unless told not to.
    QRect drawn;
    dc->drawText(rect, QtFlags(format), shown, &drawn);

    const bool fromTop = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
    return fromTop ? drawn.bottom() + 1 - rect.top() : drawn.height();
}

} // namespace platform
