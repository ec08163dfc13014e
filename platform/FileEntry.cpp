#include "platform/FileEntry.h"

#include <sys/stat.h>

namespace platform {

bool FileEntryExists(const std::string &fileName)
{
    struct stat entry {};
    return ::lstat(fileName.c_str(), &entry) == 0;
}

} // namespace platform
