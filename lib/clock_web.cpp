// clock_web.cpp: platform_tick_count of runtime/platform.h in a browser or
// another WebAssembly host, which has no uptime: the milliseconds since
// midnight UTC, so that "now" walks through the same 86,400 seconds a day.
#include "../runtime/platform.h"

#include <emscripten.h>

#include <cmath>

uint32_t platform_tick_count() {
    double ms = std::fmod(emscripten_date_now(), 86400000.0);
    return static_cast<uint32_t>(ms);
}
