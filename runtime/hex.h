// hex.h: the value of a hex digit, as keys written in hex and the escapes of
// text formats read them.
#pragma once

// 0 to 15 for 0-9, a-f and A-F; -1 for any other character.
inline int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
