// clock_web.cpp: platform_tick_count of runtime/platform.h in WebAssembly.
// One module serves Node and the browser, which read "now" differently, so
// the host that loads it supplies the milliseconds (the import
// onymix_clock_ms, given by js/index.js): the system's uptime in Node, as
// onymix-cli reads it, and in a browser, which has no uptime, the
// milliseconds since midnight UTC, so that "now" walks through the same
// 86,400 seconds a day.
#include "../runtime/platform.h"

#include <cmath>

extern "C" __attribute__((import_module("env"), import_name("onymix_clock_ms"))) double
onymix_clock_ms(void);

uint32_t platform_tick_count() {
    double ms = onymix_clock_ms();
    // A clock that is not a number, or a negative one, would make the
    // conversion undefined.
    if (!(ms >= 0))
        return 0;
    return static_cast<uint32_t>(std::fmod(ms, 4294967296.0));
}
