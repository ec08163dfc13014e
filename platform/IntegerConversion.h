#pragma once

#include "platform/Exception.h"

#include <QString>
#include <cstdint>
#include <string>

namespace platform {

// Raised when a text is not an integer.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Code page 932 text to a 32-bit integer: leading spaces, then decimal with
// an optional sign, or hexadecimal after "$", "x", "X", "0x" or "0X" read as
// a 32-bit pattern. Anything else raises EConvertError.
int32_t StrToInt(const std::string &text);

// The error for a text, as typed, that is not an integer.
EConvertError NotAnInteger(const QString &text);

// Plain decimal, with a minus sign for negative values.
std::string IntToStr(int32_t value);

} // namespace platform
