#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Creates a file or replaces it whole. Writes go to a temporary file in the
// same directory; Commit flushes it to disk and renames it over the name.
// Until then the old file stays as it was, and a replacement dropped without
// Commit removes its temporary file, so a failed write never leaves the file
// empty or cut short.
//
// An existing file must be a regular file we may write to and that no one
// holds locked (flock, as TFileStream takes it); otherwise, or when the
// temporary file cannot be made, EFCreateError. A symbolic link is written
// through, so the link stays a link.
class TFileReplacement {
public:
    explicit TFileReplacement(const std::string &fileName);
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement &) = delete;
    TFileReplacement &operator=(const TFileReplacement &) = delete;

    // Writes every byte; a short write (disk full) raises EWriteError.
    void WriteBuffer(const void *buffer, size_t count);
    // Flushes to disk (EWriteError) and puts the file in place (EFCreateError).
    void Commit();

private:
    // Closes both files and removes the temporary one if it is still there.
    void Release();

    std::string FileName;
    std::string Target;
    std::string TemporaryName;
    int Fd = -1;
    // The old file, locked while it is being replaced.
    int OldFd = -1;
};

} // namespace platform
