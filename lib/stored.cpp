// stored.cpp: the calls of include/onymix.h on stored.txt, over the
// program's own rules of store/: the file's bytes (stored_text.h) and Store
// and Quit (list_rules.h). The text they take and give is UTF-8; what is
// left to decide here is the character set of 8-bit files.
#define ONYMIX_BUILDING
#include "onymix.h"

#include "../runtime/charsets.h"
#include "../store/list_rules.h"
#include "../store/stored_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static_assert(ONYMIX_MARK_NONE == encoding_code_page && ONYMIX_MARK_UTF8 == encoding_utf8_marked &&
                  ONYMIX_MARK_UTF16LE == encoding_utf16_le &&
                  ONYMIX_MARK_UTF16BE == encoding_utf16_be,
              "the marks are numbered as stored_encoding");

namespace {

bool is_utf16(int mark) {
    return mark == ONYMIX_MARK_UTF16LE || mark == ONYMIX_MARK_UTF16BE;
}

// length bytes of text in charset from, in charset to, NUL-terminated, in
// memory from std::malloc; its length in *converted. Null when memory runs
// out or when some character of the text has no form in to.
char *recoded(const char *text, size_t length, text_charset from, text_charset to,
              size_t *converted) {
    bool exact = true;
    size_t count = 0;
    uint16_t *units = utf16_of_narrow(from, text, length, &count, &exact);
    if (!units)
        return nullptr;
    char *out = exact ? narrow_of_utf16(to, units, count, converted, &exact) : nullptr;
    std::free(units);
    if (out && !exact) {
        std::free(out);
        return nullptr;
    }
    return out;
}

// The byte offset of the first character of UTF-8 text that has no form in
// charset (or, for UTF-16, that is no well-formed UTF-8): the text is
// converted one character at a time until one fails.
size_t first_unsavable(const char *text, text_charset charset) {
    size_t length = std::strlen(text);
    for (size_t at = 0; at < length;) {
        size_t next = at + 1;
        while (next < length && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            next++;
        size_t ignored = 0;
        char *one = recoded(text + at, next - at, charset_utf8, charset, &ignored);
        if (!one)
            return at;
        std::free(one);
        at = next;
    }
    return length;
}

} // namespace

extern "C" {

int onymix_stored_text(const void *bytes, size_t size, char **text, size_t *length, int *mark,
                       int *charset) {
    if (text)
        *text = nullptr;
    if (!text || (!bytes && size > 0))
        return -1;
    stored_text read =
        stored_text_from_bytes(bytes ? static_cast<const char *>(bytes) : "", size, charset_utf8);
    if (mark)
        *mark = read.encoding;
    if (read.outcome == text_unshowable)
        return ONYMIX_UNSHOWABLE;
    if (read.outcome != text_read)
        return -1;
    // UTF-16 came in as UTF-8; 8-bit text is UTF-8 only when it reads as such.
    int found = ONYMIX_CHARSET_UTF8;
    if (!is_utf16(read.encoding) && !is_utf8(read.text, read.length)) {
        found = ONYMIX_CHARSET_WINDOWS_1252;
        char *utf8 =
            recoded(read.text, read.length, charset_windows_1252, charset_utf8, &read.length);
        std::free(read.text);
        if (!utf8)
            return -1;
        read.text = utf8;
    }
    if (charset)
        *charset = found;
    if (length)
        *length = read.length;
    *text = read.text;
    return 0;
}

int onymix_stored_bytes(const char *text, int mark, int charset, void **bytes, size_t *size,
                        size_t *bad_at) {
    if (bytes)
        *bytes = nullptr;
    bool known = mark >= ONYMIX_MARK_NONE && mark <= ONYMIX_MARK_UTF16BE &&
                 (charset == ONYMIX_CHARSET_UTF8 ||
                  (charset == ONYMIX_CHARSET_WINDOWS_1252 && !is_utf16(mark)));
    if (!text || !bytes || !size || !known)
        return -1;
    text_charset from = charset == ONYMIX_CHARSET_UTF8 ? charset_utf8 : charset_windows_1252;
    // The text comes as UTF-8: windows-1252 needs it converted first, and
    // UTF-16 is converted from it, so it must be well-formed.
    bool converted = from == charset_windows_1252;
    bool fits = true;
    char *narrow = const_cast<char *>(text);
    if (converted) {
        size_t length = 0;
        narrow = recoded(text, std::strlen(text), charset_utf8, from, &length);
        fits = narrow != nullptr;
    } else if (is_utf16(mark)) {
        fits = is_utf8(text, std::strlen(text));
    }
    if (!fits) {
        // A failed conversion is the text's fault unless memory ran out.
        size_t at = first_unsavable(text, is_utf16(mark) ? charset_utf8 : from);
        if (at == std::strlen(text))
            return -1;
        if (bad_at)
            *bad_at = at;
        return ONYMIX_UNSAVABLE;
    }
    char *file = stored_bytes_from_text(narrow, static_cast<stored_encoding>(mark), size, from);
    if (converted)
        std::free(narrow);
    if (!file)
        return -1;
    *bytes = file;
    return 0;
}

char *onymix_store(const char *list, const char *name) {
    if (!list || !name)
        return nullptr;
    const char *separator = store_separator(list);
    size_t a = std::strlen(list), b = std::strlen(separator), c = std::strlen(name);
    char *joined = static_cast<char *>(std::malloc(a + b + c + 1));
    if (!joined)
        return nullptr;
    std::memcpy(joined, list, a);
    std::memcpy(joined + a, separator, b);
    std::memcpy(joined + a + b, name, c + 1);
    return joined;
}

const char *onymix_quit_question(const char *list) {
    return list ? quit_question(list) : nullptr;
}

void onymix_free(void *memory) {
    std::free(memory);
}

} // extern "C"
