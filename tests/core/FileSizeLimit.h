#pragma once
// FileSizeLimit: while it lives, this process may not make a file larger than the given size
// (RLIMIT_FSIZE). A write that would pass it is cut short at the limit, and a write from the limit
// on fails, as on a full disk; SIGXFSZ is ignored meanwhile so that the failure is the write's
// error, not the end of the process. The limit holds for every thread of the process.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (::getrlimit(RLIMIT_FSIZE, &saved) != 0 || (saved.rlim_max != RLIM_INFINITY && bytes > saved.rlim_max))
            return;
        oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = saved;
        limit.rlim_cur = bytes;
        set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        if (!set)
            ::signal(SIGXFSZ, oldHandler);
    }
    ~FileSizeLimit()
    {
        if (!set)
            return;
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False when the limit could not be set (the test skips).
    bool Set() const { return set; }

private:
    struct rlimit saved {};
    void (*oldHandler)(int) = SIG_DFL;
    bool set = false;
};
