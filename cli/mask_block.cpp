// mask_block.cpp: the masking of one block of whole CSV records (cli.h),
// the work that onymix-cli's --mask run hands to each of its threads. It
// reads nothing shared but the rules and the key, so blocks are masked side
// by side; a block keeps only its working memory from one to the next. The
// output is written in one pass: the bytes between masked fields copied,
// and each field's masking made by the library in its place in the output,
// or copied from the thread's cache, which holds the maskings of values
// met before. Quotes (or COPY's escapes) are added only to the few
// maskings that need them.
#include "cli.h"
#include "copy_text.h"
#include "csv.h"
#include "mask_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void byte_buffer::reserve(size_t n) {
    if (n <= room)
        return;
    // Twice the room at least, so that growing a little at a time costs
    // few copies.
    size_t grown = std::max(n, 2 * room);
    std::unique_ptr<char[]> more(new char[grown]);
    if (length)
        std::memcpy(more.get(), bytes.get(), length);
    bytes = std::move(more);
    room = grown;
}

namespace {

using working = mask_block::working;

// memcpy, but for a name's few bytes (or the comma between two fields)
// without a call: two copies of eight or four bytes that overlap.
char *put(char *to, const char *from, size_t length) {
    if (length >= 8 && length <= 16) {
        uint64_t first, last;
        std::memcpy(&first, from, 8);
        std::memcpy(&last, from + length - 8, 8);
        std::memcpy(to, &first, 8);
        std::memcpy(to + length - 8, &last, 8);
    } else if (length >= 4 && length < 8) {
        uint32_t first, last;
        std::memcpy(&first, from, 4);
        std::memcpy(&last, from + length - 4, 4);
        std::memcpy(to, &first, 4);
        std::memcpy(to + length - 4, &last, 4);
    } else if (length < 4) {
        for (size_t i = 0; i < length; i++)
            to[i] = from[i];
    } else {
        std::memcpy(to, from, length);
    }
    return to + length;
}

// The most bytes a masking of length bytes of a rule's kind takes written
// out: the longest masking (or pseudonym) and the NUL the library puts
// after it, then, should it need quotes, each of its bytes twice and the
// two quotes.
size_t most_written(int kind, size_t length) {
    size_t longest = kind < 0 ? ONYMIX_LINE_MAX : ONYMIX_MASK_GROWTH * length + 1;
    return 2 * longest + 2;
}

// Room for count bytes at to, the end of what out holds so far; out may
// move, and the new end is returned.
char *room_at(byte_buffer &out, char *to, size_t count, size_t more) {
    size_t used = static_cast<size_t>(to - out.data());
    if (used + count <= out.size())
        return to;
    out.resize(used); // what the growth copies
    out.resize(used + count + more);
    return out.data() + used;
}

// The masking of length bytes at value under rule, written at to, where
// room bytes are free, with the NUL after it: its length, or -1 when the
// library refused it.
int mask_one(const mask_rule &rule, const char *value, size_t length, const unsigned char *key,
             const onymix_masker *masker, char *to, size_t room) {
    // The pseudonym of a value; an empty field stays empty, as in the
    // maskings: a missing value is no name.
    int made = rule.kind >= 0 ? onymix_masker_mask(masker, rule.kind, value, length, to, room)
               : length == 0  ? 0
                              : onymix_pseudonym(rule.mode, value, length, key, to, room);
    return made >= 0 && static_cast<size_t>(made) < room ? made : -1;
}

} // namespace

void mask_block_run(mask_block &block, const std::vector<mask_rule> &rules,
                    const unsigned char *key, const onymix_masker *masker, mask_cache *caches) {
    working &w = block.work;
    block.refused = nullptr;
    // Kept in locals: every byte written may, for the compiler, have
    // changed what the block and the rules hold.
    const char *data = block.bytes.data();
    const size_t size = block.bytes.size();
    const bool copy_text = block.copy_text;
    const mask_rule *rule_list = rules.data();
    byte_buffer &out = block.out;
    // Room for the block as it is, and some of its maskings' growth; more
    // is taken as a masking may need it.
    out.resize(size + size / 4 + 4096);
    char *to = out.data(), *end = to + out.size();
    size_t copied = 0;
    for (const mask_span &s : block.spans) {
        const mask_rule &rule = rule_list[s.rule];
        const char *value = data + s.begin;
        size_t length = s.end - s.begin;
        if (s.quoted) {
            if (copy_text)
                copy_value(data, s.begin, s.end, true, w.scratch, value, length);
            else
                csv_value(data, csv_field{s.begin, s.end, true}, w.scratch, value, length);
        }
        size_t most = most_written(rule.kind, length);
        if (s.begin - copied + most > static_cast<size_t>(end - to)) {
            to = room_at(out, to, s.begin - copied + most, size - copied);
            end = out.data() + out.size();
        }
        to = put(to, data + copied, s.begin - copied);
        copied = s.end;
        // The masking goes where it is written: after the opening quote of
        // a quoted CSV field.
        bool csv_quoted = s.quoted && !copy_text;
        char *at = to + csv_quoted;
        mask_cache *cache = caches && rule.kind >= 0 ? caches + s.rule : nullptr;
        const char *kept;
        size_t masked;
        if (cache && cache->find(value, length, kept, masked)) {
            put(at, kept, masked);
        } else {
            int made = mask_one(rule, value, length, key, masker, at, most / 2);
            if (made < 0) {
                out.resize(0);
                block.refused = rule.kind >= 0 ? "onymix_masker_mask" : "onymix_pseudonym";
                return;
            }
            masked = static_cast<size_t>(made);
            if (cache)
                cache->keep(value, length, at, masked);
        }
        // A masking with no byte that needs quotes (or in COPY's text an
        // escape), as names seldom have, stays where it was written.
        size_t special = copy_text ? copy_escape_at(at, masked) : csv_quote_at(at, masked);
        if (special == masked) {
            if (csv_quoted)
                *to = '"';
            to = at + masked;
            if (csv_quoted)
                *to++ = '"';
        } else {
            w.special.assign(at, masked);
            to = copy_text ? copy_write_field(to, w.special.data(), masked)
                           : csv_write_field(to, w.special.data(), masked, s.quoted);
        }
    }
    to = room_at(out, to, size - copied, 0);
    std::memcpy(to, data + copied, size - copied);
    to += size - copied;
    out.resize(static_cast<size_t>(to - out.data()));
}
