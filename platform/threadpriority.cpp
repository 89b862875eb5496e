#include "platform/threadpriority.h"

#include <algorithm>
#include <cerrno>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace xq {

void LowerThisThreadsPriority() {
#if defined(__linux__)
    // On Linux a nice value belongs to a thread, and setpriority on a thread id sets that
    // thread's alone (the rest of the process keeps its own). The step is taken from the nice value
    // the thread inherited, so a game started niced keeps its background searches below its window
    // (10 → 19), down to the lowest priority there is.
    constexpr int kBackgroundNiceStep = 10;
    constexpr int kLowestPriorityNice = 19;
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;  // -1 is a nice value as well as the error return
    const int inherited = getpriority(PRIO_PROCESS, thread);
    if (errno != 0) return;
    setpriority(PRIO_PROCESS, thread,
                std::min(inherited + kBackgroundNiceStep, kLowestPriorityNice));
#endif
}

}  // namespace xq
