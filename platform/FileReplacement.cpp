#include "platform/FileReplacement.h"

#include "platform/StreamErrors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The file a name stands for: a link's target, or the name itself.
std::string ResolvedTarget(const std::string &fileName)
{
    struct stat entry {};
    if (::lstat(fileName.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode))
        return fileName;
    char resolved[PATH_MAX];
    return ::realpath(fileName.c_str(), resolved) ? std::string(resolved) : fileName;
}

std::string DirectoryOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file beside the target, created with the mode a plain create would
// give (0666 less the umask).
int CreateTemporary(const std::string &target, std::string &name)
{
    const std::string stem = DirectoryOf(target) + "/." + BaseNameOf(target) + "." + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + "-" + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

TFileReplacement::TFileReplacement(const std::string &fileName) : FileName(fileName), Target(ResolvedTarget(fileName))
{
    OldFd = ::open(Target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    const bool exists = OldFd >= 0;
    struct stat old {};
    const bool replaceable =
        exists ? ::fstat(OldFd, &old) == 0 && S_ISREG(old.st_mode) && ::flock(OldFd, LOCK_EX | LOCK_NB) == 0
               : errno == ENOENT;
    if (replaceable)
        Fd = CreateTemporary(Target, TemporaryName);
    // The replacement keeps the old file's permissions.
    if (Fd < 0 || (exists && ::fchmod(Fd, old.st_mode & 07777) != 0)) {
        Release();
        throw EFCreateError(FileName);
    }
}

TFileReplacement::~TFileReplacement() { Release(); }

void TFileReplacement::Release()
{
    if (Fd >= 0) {
        ::close(Fd);
        ::unlink(TemporaryName.c_str());
        Fd = -1;
    }
    if (OldFd >= 0) {
        ::close(OldFd);
        OldFd = -1;
    }
}

void TFileReplacement::WriteBuffer(const void *buffer, size_t count)
{
    const auto *bytes = static_cast<const char *>(buffer);
    while (count > 0) {
        const ssize_t done = ::write(Fd, bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw EWriteError();
        bytes += done;
        count -= static_cast<size_t>(done);
    }
}

void TFileReplacement::Commit()
{
    // A failed close can mean lost data on some file systems.
    const int fd = Fd;
    Fd = -1;
    const bool flushed = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!flushed || !closed) {
        ::unlink(TemporaryName.c_str());
        throw EWriteError();
    }
    if (::rename(TemporaryName.c_str(), Target.c_str()) != 0) {
        ::unlink(TemporaryName.c_str());
        throw EFCreateError(FileName);
    }
    // Makes the new name durable; the file is whole either way, so a failure
    // here changes nothing the caller could act on.
    const int directory = ::open(DirectoryOf(Target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

} // namespace platform
