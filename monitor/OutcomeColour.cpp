#include "monitor/OutcomeColour.h"

#include "platform/Colors.h"
#include "platform/IntegerConversion.h"

#include <algorithm>
#include <string_view>

namespace {

// StrToInt also reads hexadecimal ("$10", "0x10"), which a count never is.
bool IsDecimalForm(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    if (text.starts_with('-') || text.starts_with('+'))
        text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int32_t> DecimalValue(const std::string &text)
{
    if (!IsDecimalForm(text))
        return std::nullopt;
    try {
        return platform::StrToInt(text);
    } catch (const platform::EConvertError &) {
        // Digits past the 32-bit range.
        return std::nullopt;
    }
}

} // namespace

std::optional<QColor> OutcomeColour(const std::string &successText, const std::string &attemptText)
{
    const auto successes = DecimalValue(successText);
    const auto attempts = DecimalValue(attemptText);
    if (!successes || !attempts)
        return std::nullopt;
    if (*successes == 0 && *attempts != 0)
        return platform::clFuchsia;
    if (*successes != 0 && *successes != *attempts)
        return platform::clYellow;
    if (*successes != 0)
        return platform::clAqua;
    return std::nullopt;
}
