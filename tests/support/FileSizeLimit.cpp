#include "tests/support/FileSizeLimit.h"

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &Saved);
    // Without this the first write past the limit kills the process.
    SavedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = Saved;
    lowered.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, SavedHandler);
}
