// Code page 932 bytes from files to text. Decoding takes any bytes; the text
// it gives, where it holds no substitute, survives the trip back to bytes.
// The bytes themselves may change on the first trip (some characters have
// two codes), but never again after it.
#include "platform/Cp932.h"

#include <cstdlib>

using platform::Cp932CanHold;
using platform::FromCp932;
using platform::ToCp932;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QString text = FromCp932(std::string(reinterpret_cast<const char *>(bytes), size));
    if (text.contains(QChar::ReplacementCharacter))
        return 0;
    Require(Cp932CanHold(text));
    const std::string encoded = ToCp932(text);
    Require(FromCp932(encoded) == text);
    Require(ToCp932(FromCp932(encoded)) == encoded);
    return 0;
}
