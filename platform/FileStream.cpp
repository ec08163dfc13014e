#include "platform/FileStream.h"

#include "platform/StreamErrors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

TFileStream::TFileStream(const std::string &fileName)
{
    // Non-blocking, so that a FIFO of that name cannot hang the open.
    Fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat status {};
    if (Fd < 0 || ::fstat(Fd, &status) != 0 || !S_ISREG(status.st_mode) || ::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        if (Fd >= 0)
            ::close(Fd);
        throw EFOpenError(fileName);
    }
    FileSize = status.st_size;
}

TFileStream::~TFileStream() { ::close(Fd); }

void TFileStream::ReadBuffer(void *buffer, size_t count)
{
    auto *bytes = static_cast<char *>(buffer);
    while (count > 0) {
        const ssize_t done = ::read(Fd, bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw EReadError();
        bytes += done;
        count -= static_cast<size_t>(done);
    }
}

} // namespace platform
