// Text to integer on arbitrary bytes: only EConvertError may leave it, and
// what it reads must agree with the rules on spaces and with IntToStr.
#include "platform/IntegerConversion.h"

#include <cstdlib>
#include <optional>

using platform::EConvertError;
using platform::IntToStr;
using platform::StrToInt;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

std::optional<int32_t> Read(const std::string &text)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError &) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(bytes), size);
    const auto value = Read(text);
    // Leading spaces are skipped; nothing may follow the number.
    Require(Read(" " + text) == value);
    Require(!Read(text + " "));
    if (value)
        Require(Read(IntToStr(*value)) == value);
    return 0;
}
