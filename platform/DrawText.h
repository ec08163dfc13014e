#pragma once

#include <QRect>

#include <string>

class QPainter;

// Win32-style text drawing for cell painting handlers.
//
// Rectangles: a Windows RECT {left, top, right, bottom} has its right and
// bottom edges outside; here it is QRect(left, top, right - left,
// bottom - top), so the pixels covered are left..left+width-1, exactly the
// pixels the RECT covers. QRect::right() is the last pixel inside, one less
// than RECT.right.
namespace platform {

// DrawTextA format flags, with the values Windows gives them.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOPREFIX = 0x800;

// Moves the left and right edges dx outward and the top and bottom edges dy
// outward; negative values shrink the rectangle on both sides.
void InflateRect(QRect &rect, int dx, int dy);

// Draws the code page 932 text into rect with the painter's font and pen,
// over what is already there, clipped to rect. length counts bytes; -1 means
// up to the first zero byte. Without DT_SINGLELINE line breaks start new
// lines and DT_VCENTER/DT_BOTTOM have no effect; without DT_NOPREFIX "&x"
// shows x underlined and "&&" one ampersand. rect is not changed. Returns
// the height of the text drawn, or with DT_VCENTER/DT_BOTTOM on one line its
// bottom's offset from rect's top; 0 when there is no painter.
int DrawTextA(QPainter *dc, const std::string &text, int length, QRect &rect, unsigned format);

} // namespace platform
