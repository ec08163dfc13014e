#pragma once

#include <string>

// Host texts order by their bytes, unsigned, a prefix before the longer text.
bool HostTextGreater(const std::string &left, const std::string &right);
