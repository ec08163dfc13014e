#include "platform/TextToInt.h"

#include "platform/Cp932.h"
#include "platform/IntegerConversion.h"

namespace platform {

int32_t TextToInt(const QString &text)
{
    if (!Cp932CanHold(text))
        throw NotAnInteger(text);
    return StrToInt(ToCp932(text));
}

} // namespace platform
