#pragma once

#include <QColor>

#include <optional>
#include <string>

// The colour a host row shows for its latest sweep, from the row's success
// and attempt texts: fuchsia when results came and none succeeded, yellow
// when some did, aqua when all did. None when either text is empty or is not
// a decimal integer (leading spaces, an optional sign, digits, 32-bit range),
// nor for "0" of "0", a sweep started and no result yet.
std::optional<QColor> OutcomeColour(const std::string &successText, const std::string &attemptText);
