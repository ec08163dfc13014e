#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A file opened for reading with exclusive sharing. Sharing is an advisory
// flock(LOCK_EX | LOCK_NB): a lock held elsewhere, a directory, anything but
// a regular file, or a permission failure raises EFOpenError.
class TFileStream {
public:
    explicit TFileStream(const std::string &fileName);
    ~TFileStream();
    TFileStream(const TFileStream &) = delete;
    TFileStream &operator=(const TFileStream &) = delete;

    // The size the file had when it was opened.
    int64_t Size() const { return FileSize; }
    // Reads exactly count bytes; fewer raise EReadError.
    void ReadBuffer(void *buffer, size_t count);

private:
    int Fd = -1;
    int64_t FileSize = 0;
};

} // namespace platform
