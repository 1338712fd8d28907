// clock_win32.cpp: platform_tick_count of runtime/platform.h on Windows:
// GetTickCount, the milliseconds since the system started.
#include "../runtime/platform.h"

#include <windows.h>

uint32_t platform_tick_count() {
    return GetTickCount();
}
