#pragma once

#include <string>

namespace platform {

// True when the directory holds an entry of that name, of any kind:
// directories and dangling links count as well as files.
bool FileEntryExists(const std::string &fileName);

} // namespace platform
