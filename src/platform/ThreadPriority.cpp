#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace platform {

void MakeThisThreadBackground() {
    sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
}

} // namespace platform
