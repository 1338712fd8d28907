// web.cpp: system.h in the WebAssembly build, which the npm package and the
// web page load. One module serves Node and the browser, which read "now"
// differently, so the host that loads it supplies the milliseconds (the
// import onymix_clock_ms, given by js/src/host.mjs): the system's uptime in
// Node, as onymix-cli reads it, and in a browser, which has no uptime, the
// milliseconds since midnight UTC, so that "now" walks through the same
// 86,400 seconds a day. A browser's text is Unicode, so the code page here
// is UTF-8. The module has no files and no standard streams: the rest of
// system.h is left out, and nothing linked into the module uses it.
#include "system.h"

#include "../runtime/charsets.h"

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

size_t platform_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                     bool *exact) {
    return utf8_from_utf16(units, count, out, room, exact);
}

size_t platform_utf16_from_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                     bool *exact) {
    return utf16_from_utf8(text, length, out, room, exact);
}
