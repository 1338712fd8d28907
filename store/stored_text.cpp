// stored_text.cpp: the rules of stored.txt on bytes: the marks, UTF-16, and
// the lines of 8-bit text.
#include "stored_text.h"

#include "../platform/system.h"
#include "../runtime/charsets.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const char utf8_mark[] = "\xEF\xBB\xBF";
const char utf16_le_mark[] = "\xFF\xFE";
const char utf16_be_mark[] = "\xFE\xFF";

bool starts_with(const char *bytes, size_t size, const char *mark) {
    size_t length = std::strlen(mark);
    return size >= length && std::memcmp(bytes, mark, length) == 0;
}

stored_text failed(stored_encoding encoding, stored_text_outcome outcome) {
    return {outcome, encoding, nullptr, 0};
}

// The stored text of 8-bit lines.
stored_text text_of_lines(const char *data, size_t size, stored_encoding encoding) {
    // Each line of n bytes and its LF becomes at most n bytes and CR LF.
    char *text = static_cast<char *>(std::malloc(size + size / 2 + 3));
    if (!text)
        return failed(encoding, text_out_of_memory);
    char *end = text;
    size_t line_start = 0;
    for (size_t i = 0; i <= size; i++) {
        bool line_end = i == size || data[i] == '\n';
        if (!line_end)
            continue;
        // The line's text is its bytes up to the LF, less a CR directly
        // before the LF, and stops at a NUL byte.
        size_t line_end_at = i;
        if (i < size && line_end_at > line_start && data[line_end_at - 1] == '\r')
            line_end_at--;
        size_t length = line_end_at - line_start;
        const void *nul = length ? std::memchr(data + line_start, '\0', length) : nullptr;
        if (nul)
            length = static_cast<size_t>(static_cast<const char *>(nul) - (data + line_start));
        if (length > 0) {
            std::memcpy(end, data + line_start, length);
            end += length;
            *end++ = '\r';
            *end++ = '\n';
        }
        line_start = i + 1;
    }
    *end = '\0';
    return {text_read, encoding, text, static_cast<size_t>(end - text)};
}

// The stored text of UTF-16 bytes after the mark: converted to the code page
// as a whole, then read as its lines.
stored_text text_of_utf16(const char *data, size_t size, stored_encoding encoding,
                          text_charset charset) {
    // Half a character at the end cannot be shown, and a save would drop it.
    if (size % 2 != 0)
        return failed(encoding, text_unshowable);
    size_t count = size / 2;
    uint16_t *units = static_cast<uint16_t *>(std::malloc(count * sizeof(uint16_t) + 1));
    if (!units)
        return failed(encoding, text_out_of_memory);
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(data);
    int high = encoding == encoding_utf16_be ? 0 : 1;
    for (size_t i = 0; i < count; i++)
        units[i] = static_cast<uint16_t>(bytes[2 * i + high] << 8 | bytes[2 * i + 1 - high]);

    bool exact = true;
    size_t length = 0;
    char *narrow = narrow_of_utf16(charset, units, count, &length, &exact);
    std::free(units);
    if (!narrow)
        return failed(encoding, text_out_of_memory);
    stored_text result =
        exact ? text_of_lines(narrow, length, encoding) : failed(encoding, text_unshowable);
    std::free(narrow);
    return result;
}

// The text with every CR dropped and every LF as CR LF, after room bytes
// left free in front for a mark; the length in *length, room not counted.
char *lines_with_crlf(const char *text, size_t room, size_t *length) {
    size_t lfs = 0;
    for (const char *at = text; *at; at++)
        lfs += *at == '\n';
    char *out = static_cast<char *>(std::malloc(room + std::strlen(text) + lfs + 1));
    if (!out)
        return nullptr;
    char *end = out + room;
    for (const char *at = text; *at; at++) {
        if (*at == '\n')
            *end++ = '\r';
        if (*at != '\r')
            *end++ = *at;
    }
    *length = static_cast<size_t>(end - out) - room;
    return out;
}

// UTF-16 bytes with the mark in front, from 8-bit text with CR LF line ends.
char *utf16_bytes(const char *body, size_t length, stored_encoding encoding, size_t *size,
                  text_charset charset) {
    bool exact = true;
    size_t count = 0;
    uint16_t *units = utf16_of_narrow(charset, body, length, &count, &exact);
    if (!units)
        return nullptr;
    char *bytes = exact ? static_cast<char *>(std::malloc(2 * count + 2)) : nullptr;
    if (bytes) {
        int high = encoding == encoding_utf16_be ? 0 : 1;
        unsigned char *out = reinterpret_cast<unsigned char *>(bytes);
        for (size_t i = 0; i <= count; i++) {
            uint16_t unit = i == 0 ? 0xFEFF : units[i - 1];
            out[2 * i + high] = static_cast<unsigned char>(unit >> 8);
            out[2 * i + 1 - high] = static_cast<unsigned char>(unit & 0xFF);
        }
        *size = 2 * count + 2;
    }
    std::free(units);
    return bytes;
}

} // namespace

size_t narrow_from_utf16(text_charset charset, const uint16_t *units, size_t count, char *out,
                         size_t room, bool *exact) {
    if (charset == charset_utf8)
        return utf8_from_utf16(units, count, out, room, exact);
    if (charset == charset_windows_1252)
        return windows_1252_from_utf16(units, count, out, room, exact);
    return platform_code_page_from_utf16(units, count, out, room, exact);
}

size_t utf16_from_narrow(text_charset charset, const char *text, size_t length, uint16_t *out,
                         size_t room, bool *exact) {
    if (charset == charset_utf8)
        return utf16_from_utf8(text, length, out, room, exact);
    if (charset == charset_windows_1252)
        return utf16_from_windows_1252(text, length, out, room, exact);
    return platform_utf16_from_code_page(text, length, out, room, exact);
}

uint16_t *utf16_of_narrow(text_charset charset, const char *text, size_t length, size_t *count,
                          bool *exact) {
    *count = utf16_from_narrow(charset, text, length, nullptr, 0, exact);
    uint16_t *units = static_cast<uint16_t *>(std::malloc(*count * sizeof(uint16_t) + 1));
    if (units)
        utf16_from_narrow(charset, text, length, units, *count, exact);
    return units;
}

char *narrow_of_utf16(text_charset charset, const uint16_t *units, size_t count, size_t *length,
                      bool *exact) {
    *length = narrow_from_utf16(charset, units, count, nullptr, 0, exact);
    char *text = static_cast<char *>(std::malloc(*length + 1));
    if (text) {
        narrow_from_utf16(charset, units, count, text, *length, exact);
        text[*length] = '\0';
    }
    return text;
}

stored_text stored_text_from_bytes(const char *bytes, size_t size, text_charset charset) {
    if (starts_with(bytes, size, utf8_mark))
        return text_of_lines(bytes + 3, size - 3, encoding_utf8_marked);
    if (starts_with(bytes, size, utf16_le_mark))
        return text_of_utf16(bytes + 2, size - 2, encoding_utf16_le, charset);
    if (starts_with(bytes, size, utf16_be_mark))
        return text_of_utf16(bytes + 2, size - 2, encoding_utf16_be, charset);
    return text_of_lines(bytes, size, encoding_code_page);
}

char *stored_bytes_from_text(const char *text, stored_encoding encoding, size_t *size,
                             text_charset charset) {
    size_t length = 0;
    const size_t mark_room = 3;
    char *file = lines_with_crlf(text, mark_room, &length);
    if (!file)
        return nullptr;
    char *body = file + mark_room;
    if (encoding == encoding_utf16_le || encoding == encoding_utf16_be) {
        char *bytes = utf16_bytes(body, length, encoding, size, charset);
        std::free(file);
        return bytes;
    }
    // Text that begins like a mark would be read as another encoding next
    // time; behind the UTF-8 mark it is read back byte for byte.
    bool marked = encoding == encoding_utf8_marked || starts_with(body, length, utf8_mark) ||
                  starts_with(body, length, utf16_le_mark) ||
                  starts_with(body, length, utf16_be_mark);
    size_t start = marked ? 0 : mark_room;
    if (marked)
        std::memcpy(file, utf8_mark, mark_room);
    *size = length + mark_room - start;
    std::memmove(file, file + start, *size);
    return file;
}
