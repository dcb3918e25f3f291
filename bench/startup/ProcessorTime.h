#pragma once

#include <sys/resource.h>

// Processor time of every thread of this process so far, user and system, in microseconds: on
// a busy machine the wall clock also counts the waits for a processor.
inline long long cpuUs() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return -1;
    return (static_cast<long long>(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000 +
           usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
}
