#include "platform/threadpriority.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace xq {

void LowerThisThreadsPriority() {
#if defined(__linux__)
    // On Linux a nice value belongs to a thread, and setpriority on a thread id sets that
    // thread's alone (the rest of the process keeps its own).
    constexpr int kBackgroundNice = 10;
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, kBackgroundNice);
#endif
}

}  // namespace xq
