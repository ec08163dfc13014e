#include "monitor/HostOrder.h"

#include <algorithm>
#include <cstring>

bool HostTextGreater(const std::string &left, const std::string &right)
{
    const size_t common = std::min(left.size(), right.size());
    const int order = common ? std::memcmp(left.data(), right.data(), common) : 0;
    return order != 0 ? order > 0 : left.size() > right.size();
}
