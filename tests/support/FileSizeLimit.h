#pragma once

#include <csignal>
#include <sys/resource.h>

// Lowers the process's file size limit while it lives, so that writes past
// it fail with a short count as they do on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit Saved{};
    void (*SavedHandler)(int) = SIG_DFL;
};
