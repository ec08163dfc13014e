#include "platform/IntegerConversion.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace platform {

namespace {

std::optional<uint32_t> HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<uint32_t>(c - 'A' + 10);
    return std::nullopt;
}

std::optional<int32_t> ParseHex(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : digits) {
        const auto digit = HexDigit(c);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
        // Checked per digit so a long run of digits cannot overflow.
        if (value > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::optional<int32_t> ParseDecimal(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    const int64_t limit = negative ? -int64_t{INT32_MIN} : int64_t{INT32_MAX};
    int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::optional<int32_t> Parse(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"})
        if (text.starts_with(prefix))
            return ParseHex(text.substr(prefix.size()));
    return ParseDecimal(text);
}

} // namespace

int32_t StrToInt(const std::string &text)
{
    if (const auto value = Parse(text))
        return *value;
    throw NotAnInteger(FromCp932(text));
}

EConvertError NotAnInteger(const QString &text)
{
    return EConvertError("'" + text.toStdString() + "' は整数ではありません");
}

std::string IntToStr(int32_t value) { return std::to_string(value); }

} // namespace platform
