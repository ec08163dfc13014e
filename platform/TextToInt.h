#pragma once

#include <QString>
#include <cstdint>

namespace platform {

// The integer conversion of text from a widget. Text that code page 932
// cannot hold is no integer: its substitute bytes, or a character the
// encoder drops, could otherwise pass for one. Raises EConvertError naming
// the text as it was typed.
int32_t TextToInt(const QString &text);

} // namespace platform
