// clock_posix.cpp: platform_tick_count of runtime/platform.h on POSIX
// systems: the monotonic clock, which counts from system start on Linux.
#include "../runtime/platform.h"

#include <ctime>

uint32_t platform_tick_count() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000;
    return static_cast<uint32_t>(ms);
}
