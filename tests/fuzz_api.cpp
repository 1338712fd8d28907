// Fuzzing of the library's interface: the bytes are read as a run of calls
// with arbitrary arguments (every int, sizes from 0 up, null pointers) on a
// few generators at once. Output buffers are exactly as large as the size
// given, so the sanitizers catch a write past them. Every result must keep
// onymix.h's promises: -1 or NULL for bad arguments with nothing but an
// empty text written, lengths that match the text, whole lines in the bulk
// call, and a name refused for want of room given at the next call. Bytes
// of stored.txt must load, save and load again to the same text, a key is
// read from hex digits only when it is exactly 32 of them, a mode's text is
// read as onymix.h words it, and a masking of any bytes is refused only for
// a bad kind or key, tells its length, is the same alone and in bulk, and
// is UTF-8 when its value is.
#include "onymix.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool holds, const char *what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz_api: %s\n", what);
        std::abort();
    }
}

struct input {
    const uint8_t *data;
    size_t size;
    uint32_t take(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes && size > 0; i++, data++, size--)
            value = value << 8 | *data;
        return value;
    }
    // Mostly values near the valid ranges, sometimes anything at all.
    int small_int(int range) {
        uint32_t raw = take(1);
        if (raw == 0xff)
            return static_cast<int>(take(4));
        return static_cast<int>(raw % (range + 3)) - 1;
    }
    long second() {
        switch (take(1) % 4) {
        case 0:
            return -1;
        case 1:
            return static_cast<long>(take(4)); // often beyond the day
        case 2:
            return 86396 + static_cast<long>(take(1) % 6);
        default:
            return static_cast<long>(take(2));
        }
    }
    size_t room() {
        return take(1) % 4 == 0 ? take(1) % 8 : take(2) % 600;
    }
};

// A buffer of exactly size bytes (one, unused, for 0), filled with a mark.
char *buffer(size_t size) {
    char *out = static_cast<char *>(std::malloc(size ? size : 1));
    check(out != nullptr, "no memory");
    std::memset(out, '#', size ? size : 1);
    return out;
}

void check_text_result(int result, const char *out, size_t size, int longest) {
    if (size == 0) {
        check(result <= 0 && out[0] == '#', "a buffer of size 0 was written");
        return;
    }
    if (result < 0) {
        check(out[0] == '\0', "a refusal left no empty text");
        return;
    }
    check(static_cast<size_t>(result) < size && out[result] == '\0', "length and NUL disagree");
    check(std::strlen(out) == static_cast<size_t>(result), "length and text disagree");
    check(result <= longest, "a name longer than 25 characters");
}

// Blanks where a mode's text may have them: none, or a few spaces and tabs.
std::string blanks(input &in) {
    std::string made;
    for (uint32_t bits = in.take(1); bits & 1; bits >>= 2)
        made += bits & 2 ? '\t' : ' ';
    return made;
}

// The mode of a text by onymix.h's words: blanks at the ends left out, then
// digits alone are a number and a label has its "+" spaced as the strict
// reading wants it.
int modeled_mode(const std::string &text) {
    size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return -1;
    std::string core = text.substr(first, last - first + 1);
    if (core.find_first_not_of("0123456789") == std::string::npos) {
        size_t nonzero = core.find_first_not_of('0');
        std::string digits = nonzero == std::string::npos ? "0" : core.substr(nonzero);
        return digits.size() == 1 && digits[0] <= '6' ? digits[0] - '0' : -1;
    }
    if (core.find('\0') != std::string::npos)
        return -1;
    size_t plus = core.find('+');
    if (plus != std::string::npos) {
        size_t right = core.find_first_not_of(" \t", plus + 1);
        if (plus == 0 || right == std::string::npos)
            return -1;
        core =
            core.substr(0, core.find_last_not_of(" \t", plus - 1) + 1) + " + " + core.substr(right);
    }
    return onymix_mode_from_label(core.c_str());
}

// Whether length bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool is_utf8(const unsigned char *text, size_t length) {
    for (size_t i = 0; i < length;) {
        unsigned char c = text[i];
        size_t more = c < 0x80                 ? 0
                      : c >= 0xC2 && c <= 0xDF ? 1
                      : c >= 0xE0 && c <= 0xEF ? 2
                      : c >= 0xF0 && c <= 0xF4 ? 3
                                               : 9;
        if (more == 9 || length - i <= more)
            return false;
        unsigned char second = more > 0 ? text[i + 1] : 0;
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) ||
            (c == 0xF0 && second < 0x90) || (c == 0xF4 && second > 0x8F))
            return false;
        for (size_t k = 1; k <= more; k++)
            if ((text[i + k] & 0xC0) != 0x80)
                return false;
        i += more + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    input in{data, size};
    onymix_generator *generators[3] = {nullptr, nullptr, nullptr};
    int modes[3] = {0, 0, 0};
    for (int step = 0; step < 64 && in.size > 0; step++) {
        int which = static_cast<int>(in.take(1) % 3);
        onymix_generator *&g = generators[which];
        switch (in.take(1) % 15) {
        case 0: {
            int mode = in.small_int(ONYMIX_MODE_COUNT);
            long second = in.second();
            size_t room = in.room();
            char *out = buffer(room);
            bool null_out = in.take(1) == 0;
            int result = onymix_generate(mode, second, null_out ? nullptr : out, room);
            check(!null_out || (result == -1 && out[0] == '#'), "a null buffer was not refused");
            if (!null_out)
                check_text_result(result, out, room, 25);
            bool valid = mode >= 0 && mode < ONYMIX_MODE_COUNT &&
                         (second == -1 || (second >= 0 && second <= ONYMIX_LAST_SECOND));
            check(valid || result == -1, "a bad mode or second was not refused");
            std::free(out);
            break;
        }
        case 1: {
            onymix_close(g);
            int mode = in.small_int(ONYMIX_MODE_COUNT);
            long seed = in.second();
            unsigned flags = in.take(1) % 9 == 8 ? in.take(4) : in.take(1) % 8;
            g = onymix_open(mode, seed, flags);
            // Any of the three flags, but unique neither re-seeds nor weighs.
            bool valid_flags = flags < 8 && (flags == ONYMIX_UNIQUE || !(flags & ONYMIX_UNIQUE));
            bool valid = mode >= 0 && mode < ONYMIX_MODE_COUNT &&
                         (seed == -1 || (seed >= 0 && seed <= ONYMIX_LAST_SECOND)) && valid_flags;
            check(valid == (g != nullptr), "onymix_open did not check its arguments");
            modes[which] = mode;
            break;
        }
        case 2: {
            size_t room = in.room();
            char *out = buffer(room);
            int result = onymix_next(g, out, room);
            check_text_result(result, out, room, 25);
            if (g && result == -1 && room > 0) {
                // Refused for want of room: the same name comes with room.
                char again[32];
                int length = onymix_next(g, again, sizeof again);
                check(length > 0 && static_cast<size_t>(length) >= room,
                      "a name refused for want of room did not come next");
            }
            std::free(out);
            break;
        }
        case 3: {
            onymix_name name{nullptr, nullptr, nullptr};
            int result = onymix_next_name(g, in.take(1) == 0 ? nullptr : &name);
            if (result == 1) {
                check(name.first_name || name.surname, "an empty record");
                check((name.sex != nullptr) == (name.first_name != nullptr), "sex without a name");
                check(modes[which] != ONYMIX_SURNAME || !name.first_name, "a first name too many");
            }
            break;
        }
        case 4: {
            int format = in.small_int(3);
            int count = in.take(1) == 0 ? static_cast<int>(in.take(4)) : in.small_int(40);
            size_t room = in.room() + (in.take(1) % 2 ? ONYMIX_LINE_MAX : 0);
            char *out = buffer(room);
            size_t length = 12345;
            int result = onymix_write(g, format, count, out, room, &length);
            if (result < 0) {
                check(out[0] == '#' && length == 12345, "a refused bulk call wrote");
            } else {
                check(g && format >= 0 && format <= 2 && count >= 0 && room >= ONYMIX_LINE_MAX,
                      "a bad bulk call was not refused");
                check(result <= count && length < room && out[length] == '\0' &&
                          std::strlen(out) == length,
                      "bulk length and text disagree");
                int lines = 0;
                for (size_t i = 0; i < length; i++)
                    lines += out[i] == '\n';
                check(lines == result, "lines and names differ");
                check(length == 0 || out[length - 1] == '\n', "a bulk line is cut");
            }
            std::free(out);
            break;
        }
        case 5:
            onymix_close(g);
            g = nullptr;
            break;
        case 6: {
            // Records in bulk: as many as asked for, or what a unique
            // generator has left.
            int count = in.small_int(64);
            onymix_name names[66];
            long left = onymix_left(g);
            int result = onymix_next_names(g, count >= 0 && count <= 66 ? names : nullptr, count);
            if (result >= 0) {
                check(count >= 0 && result <= count, "more records than asked for");
                check(left < 0 ? result == count : result == (count < left ? count : left),
                      "records and names left disagree");
                check(left < 0 || onymix_left(g) == left - result, "names left miscounted");
            }
            break;
        }
        case 7: {
            // The file: what loads saves in its own encoding and loads again
            // the same.
            size_t length = in.take(1) % 64;
            if (length > in.size)
                length = in.size;
            char *text = nullptr;
            size_t text_length = 0;
            int mark = -1, charset = -1;
            int result = onymix_stored_text(in.data, length, &text, &text_length, &mark, &charset);
            in.data += length;
            in.size -= length;
            check(result == 0 || result == ONYMIX_UNSHOWABLE, "a load failed");
            check(mark >= ONYMIX_MARK_NONE && mark <= ONYMIX_MARK_UTF16BE, "no mark found");
            if (result != 0)
                break;
            check(std::strlen(text) == text_length, "text and length disagree");
            void *bytes = nullptr;
            size_t size = 0;
            check(onymix_stored_bytes(text, mark, charset, &bytes, &size, nullptr) == 0,
                  "a loaded text did not save");
            // Saved and loaded again, the text is what it was, but that the
            // save drops every CR, so a CR that was not part of a line end is
            // gone from the text loaded again, with a line of CRs alone; 8-bit
            // text without it may read as UTF-8 where it did not; and 8-bit
            // text that begins like a mark is saved behind the UTF-8 mark.
            char *again = nullptr;
            int again_mark = -1, again_charset = -1;
            check(onymix_stored_text(bytes, size, &again, nullptr, &again_mark, &again_charset) ==
                      0,
                  "a saved file did not load");
            std::string kept, line;
            for (const char *at = text; *at; at++) {
                if (*at == '\n') {
                    if (!line.empty())
                        kept += line + "\r\n";
                    line.clear();
                } else if (*at != '\r') {
                    line += *at;
                }
            }
            bool marked = mark == ONYMIX_MARK_NONE && again_mark == ONYMIX_MARK_UTF8;
            check((again_mark == mark || marked) && (again_charset != charset || kept == again),
                  "a saved text loaded otherwise");
            onymix_free(again);
            onymix_free(bytes);
            onymix_free(text);
            break;
        }
        case 8: {
            // Names by id: one call and the bulk calls agree, every line
            // whole, every name of its mode's parts.
            int mode = in.small_int(ONYMIX_MODE_COUNT);
            unsigned char key[ONYMIX_KEY_SIZE];
            for (unsigned char &byte : key)
                byte = static_cast<unsigned char>(in.take(1));
            const unsigned char *used_key = in.take(1) % 2 ? key : nullptr;
            unsigned long long first =
                static_cast<unsigned long long>(in.take(4)) << 32 | in.take(4);
            size_t count = in.take(1) % 20;
            size_t room = in.room() + ONYMIX_LINE_MAX;
            char *out = buffer(room);
            size_t length = 0;
            int result = onymix_write_ids(mode, used_key, first, nullptr, count, ONYMIX_CSV, out,
                                          room, &length);
            bool valid =
                mode >= 0 && mode < ONYMIX_MODE_COUNT && (count == 0 || count - 1 <= ~0ull - first);
            check(valid == (result >= 0), "onymix_write_ids did not check its arguments");
            if (result > 0) {
                char name[32];
                check(onymix_name_for_id(mode, first, used_key, name, sizeof name) > 0 &&
                          std::strncmp(out, name, std::strlen(name)) == 0 &&
                          out[std::strlen(name)] == ',',
                      "the first line is not the id's name");
                int entries[40];
                check(onymix_entries_for_ids(mode, used_key, first, nullptr,
                                             static_cast<size_t>(result), entries) == result,
                      "entries and lines differ in number");
                check((entries[0] >= 0) == (mode != ONYMIX_SURNAME) &&
                          entries[0] < ONYMIX_FIRST_SURNAME_ENTRY &&
                          (entries[1] < 0 || entries[1] >= ONYMIX_FIRST_SURNAME_ENTRY),
                      "entries of the wrong lists");
            }
            std::free(out);
            break;
        }
        case 9: {
            // Pseudonyms of any bytes, and far seeds with seeks.
            int mode = in.small_int(ONYMIX_MODE_COUNT);
            size_t room = in.room();
            size_t length = in.take(1) % 40;
            if (length > in.size)
                length = in.size;
            char *out = buffer(room);
            int result =
                onymix_pseudonym(mode, length ? in.data : nullptr, length, nullptr, out, room);
            check_text_result(result, out, room, 25);
            const void *values[1] = {in.data};
            char block[ONYMIX_LINE_MAX];
            size_t written = 0;
            int lines = onymix_write_pseudonyms(mode, nullptr, values, &length, 1, ONYMIX_TEXT,
                                                block, sizeof block, &written);
            check(lines == (mode >= 0 && mode < ONYMIX_MODE_COUNT ? 1 : -1),
                  "onymix_write_pseudonyms did not check its mode");
            check(result <= 0 || (written == static_cast<size_t>(result) + 1 &&
                                  std::strncmp(block, out, static_cast<size_t>(result)) == 0),
                  "a pseudonym written two ways differs");
            in.data += length;
            in.size -= length;
            std::free(out);
            break;
        }
        case 10: {
            onymix_close(g);
            unsigned long long seed =
                static_cast<unsigned long long>(in.take(4)) << 32 | in.take(4);
            int mode = in.small_int(ONYMIX_MODE_COUNT);
            g = onymix_open_seed(mode, seed, in.take(1) % 4);
            modes[which] = mode;
            unsigned long long index = in.take(1) % 2 ? in.take(2) : ~0ull - in.take(2);
            int sought = onymix_seek(g, index);
            check(sought == 0 || sought == -1, "onymix_seek gave neither 0 nor -1");
            break;
        }
        case 11: {
            // A key from text: read only where every character before is a
            // hex digit and there are 32 of them; otherwise the place of the
            // first wrong one, or -1, and the key as it was.
            size_t length = in.take(1) % 40;
            if (length > in.size)
                length = in.size;
            char *text = buffer(length);
            if (length)
                std::memcpy(text, in.data, length);
            in.data += length;
            in.size -= length;
            unsigned char key[ONYMIX_KEY_SIZE];
            std::memset(key, 0xA5, sizeof key);
            int result = onymix_key_from_hex(text, length, key);
            auto value = [](char c) {
                return c >= '0' && c <= '9'   ? c - '0'
                       : c >= 'a' && c <= 'f' ? c - 'a' + 10
                       : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
            };
            size_t digits = 0;
            while (digits < length && value(text[digits]) >= 0)
                digits++;
            if (digits < length) {
                check(result == static_cast<int>(digits) + 1, "not the first wrong character");
            } else if (length != 2 * ONYMIX_KEY_SIZE) {
                check(result == -1, "a key of the wrong length");
            } else {
                check(result == 0, "32 hex digits refused");
                for (size_t i = 0; i < ONYMIX_KEY_SIZE; i++)
                    check(key[i] == (value(text[2 * i]) << 4 | value(text[2 * i + 1])),
                          "a key byte misread");
            }
            for (size_t i = 0; result != 0 && i < ONYMIX_KEY_SIZE; i++)
                check(key[i] == 0xA5, "a refused key was written");
            std::free(text);
            break;
        }
        case 12: {
            // A mode as text: a label in mixed case with blanks wherever
            // and now and then a byte of the input in it, a number with
            // zeros in front, or bytes; read from a buffer of exactly its
            // length.
            std::string text;
            uint32_t kind = in.take(1) % 3;
            if (kind == 0) {
                const char *label = onymix_mode_label(static_cast<int>(in.take(1) % 7));
                text = blanks(in);
                for (const char *c = label; *c; c++) {
                    uint32_t twist = in.take(1);
                    if (*c == ' ')
                        text += blanks(in);
                    else
                        text += twist & 1 ? static_cast<char>(*c ^ 0x20) : *c;
                    if (twist >= 0xf0)
                        text += static_cast<char>(in.take(1));
                }
                text += blanks(in);
            } else if (kind == 1) {
                text = blanks(in) + std::string(in.take(1) % 4, '0') +
                       std::to_string(in.take(1) % 2 ? in.take(1) % 10 : in.take(4)) + blanks(in);
            } else {
                size_t length = std::min<size_t>(in.take(1) % 24, in.size);
                text.assign(reinterpret_cast<const char *>(in.data), length);
                in.data += length;
                in.size -= length;
            }
            char *exact = buffer(text.size());
            std::memcpy(exact, text.data(), text.size());
            check(onymix_mode_from_text(exact, text.size()) == modeled_mode(text),
                  "a mode's text read against onymix.h");
            std::free(exact);
            break;
        }
        case 13: {
            // A masking: refused only for a bad kind or a key that is no
            // secret; otherwise its length told with or without room, the
            // same text in bulk, no NUL, UTF-8 from UTF-8, within the growth.
            int kind = in.small_int(3);
            unsigned char key[ONYMIX_KEY_SIZE] = {0};
            uint32_t key_choice = in.take(1) % 4;
            if (key_choice > 1)
                key[in.take(1) % ONYMIX_KEY_SIZE] = static_cast<unsigned char>(in.take(1) | 1);
            const unsigned char *used_key = key_choice == 0 ? nullptr : key;
            size_t length = in.take(1) % 64;
            if (length > in.size)
                length = in.size;
            const unsigned char *value = in.data;
            in.data += length;
            in.size -= length;
            size_t room = in.room();
            char *out = buffer(room);
            int result = onymix_mask(kind, length ? value : nullptr, length, used_key, out, room);
            bool valid = kind >= 0 && kind < 3 && key_choice > 1;
            check(valid == (result >= 0), "onymix_mask did not check its kind and key");
            check(room == 0 || out[0] == '\0' || result >= 0, "a refused masking wrote");
            if (result < 0) {
                std::free(out);
                break;
            }
            size_t masked = static_cast<size_t>(result);
            check(masked <= ONYMIX_MASK_GROWTH * length, "a masking grew too much");
            check(onymix_mask(kind, value, length, used_key, nullptr, 0) == result,
                  "the length asked differs");
            char *whole = buffer(masked + 1);
            check(onymix_mask(kind, value, length, used_key, whole, masked + 1) == result &&
                      std::strlen(whole) == masked,
                  "a masking holds a NUL or is not its length");
            check(room > masked ? std::memcmp(out, whole, masked + 1) == 0
                                : room == 0 || out[0] == '\0',
                  "a masking without room is not \"\"");
            check(!is_utf8(value, length) ||
                      is_utf8(reinterpret_cast<const unsigned char *>(whole), masked),
                  "the masking of UTF-8 is no UTF-8");
            const void *values[2] = {value, value};
            size_t lengths[2] = {length, length}, ends[2] = {0, 0};
            // Room for both, or for the first alone.
            size_t bulk_room = 2 * masked + 1 - (masked > 0 ? in.take(1) % 2 : 0);
            char *bulk = buffer(bulk_room);
            int n = onymix_mask_values(kind, used_key, values, lengths, 2, bulk, bulk_room, ends);
            check(n == (bulk_room == 2 * masked + 1 ? 2 : 1),
                  "the bulk call masked another number");
            for (int i = 0; i < n; i++)
                check(ends[i] == (i + 1) * masked &&
                          std::memcmp(bulk + i * masked, whole, masked) == 0,
                      "a masking differs in bulk");
            check(bulk[n * masked] == '\0', "no NUL after the bulk maskings");
            // A masker's masking of the value is its key's.
            static const unsigned char masker_key[ONYMIX_KEY_SIZE] = {1};
            static onymix_masker *const masker = onymix_masker_open(masker_key);
            size_t most = ONYMIX_MASK_GROWTH * length + 1;
            char *by_key = buffer(most), *by_masker = buffer(most);
            int keyed = onymix_mask(kind, value, length, masker_key, by_key, most);
            check(onymix_masker_values(masker, kind, values, lengths, 1, by_masker, most, ends) ==
                          1 &&
                      keyed >= 0 && ends[0] == static_cast<size_t>(keyed) &&
                      std::memcmp(by_masker, by_key, ends[0] + 1) == 0,
                  "the masker's masking is not its key's");
            std::free(by_masker);
            std::free(by_key);
            std::free(bulk);
            std::free(whole);
            std::free(out);
            break;
        }
        default: {
            int mode = static_cast<int>(in.take(4));
            const char *label = onymix_mode_label(mode);
            check((label != nullptr) == (mode >= 0 && mode < ONYMIX_MODE_COUNT), "label range");
            check(!label || onymix_mode_from_label(label) == mode, "label lookup");
            long distinct = onymix_distinct_names(mode);
            check((distinct > 0) == (label != nullptr), "distinct names range");
            check(onymix_format_header(mode) == nullptr || (mode >= 0 && mode < 3), "header range");
            break;
        }
        }
    }
    for (onymix_generator *g : generators)
        onymix_close(g);
    return 0;
}
