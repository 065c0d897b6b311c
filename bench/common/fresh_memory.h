// The machine's own cost of fresh memory: a child process maps as many MiB as
// an editor's run took, asks for huge pages as the editor's text model does,
// touches every 4 KiB page once and exits. Under virtualisation the first
// touch of a page can cost the host a fault of its own, and whether the host
// still backs freed memory decides whether touching 300 MiB takes 20 ms or
// 700; timing this beside the editors tells their swing from the machine's.
#pragma once

#include "common/fail.h"
#include "common/timing.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

namespace bench {

// Wall time in ms of a child touching mib MiB of fresh memory.
inline double time_fresh_memory(long mib) {
    Clock::time_point start = Clock::now();
    pid_t pid = fork();
    if (pid < 0) fail("fork failed");
    if (pid == 0) {
        const size_t huge = size_t{2} << 20, size = static_cast<size_t>(mib) << 20;
        void *raw =
            mmap(nullptr, size + huge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) _exit(1);
        char *p = reinterpret_cast<char *>((reinterpret_cast<uintptr_t>(raw) + huge - 1) &
                                           ~(uintptr_t{huge} - 1));
#ifdef MADV_HUGEPAGE
        madvise(p, size, MADV_HUGEPAGE);
#endif
        for (size_t at = 0; at < size; at += 4096) p[at] = 1;
        _exit(0);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("the fresh-memory child failed");
    return ms_since(start);
}

} // namespace bench
