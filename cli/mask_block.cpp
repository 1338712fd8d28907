// mask_block.cpp: the masking of one block of whole CSV records (cli.h),
// the work that onymix-cli's --mask run hands to each of its threads. It
// reads nothing shared but the rules and the key, so blocks are masked side
// by side; a block keeps only its working memory from one to the next. The
// fields of a column go to the library together, through
// onymix_mask_values, in batches, but for those whose masking the thread's
// cache holds. Each masking is written once into one buffer, the library's
// by the call itself, and the output is written from there in place.
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

// The free room given to one call of onymix_mask_values; a value too long
// for it gets room of its own. Calls follow one another until every value
// is masked, so the room need not hold a column's maskings of a whole
// block at once.
const size_t masked_room = 1 << 18;

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

// Makes the length bytes of the results at at the masking of span, the
// next after those placed before.
void place(working &w, size_t span, size_t at, size_t length) {
    w.begin[span] = at;
    w.length[span] = length;
    w.order[w.placed++] = span;
}

// Copies a masking into the results as the one of span.
void keep(working &w, size_t span, const char *text, size_t length) {
    size_t at = w.results.size();
    w.results.resize(at + length);
    std::memcpy(w.results.data() + at, text, length);
    place(w, span, at, length);
}

// Marks in work.special the spans whose maskings hold a byte that at,
// csv_quote_at or copy_escape_at, finds.
void find_special(working &w, size_t spans, size_t (*at)(const char *, size_t)) {
    w.special.assign(spans, 0);
    const char *results = w.results.data();
    size_t size = w.results.size();
    // The maskings lie in the results in their order, so the one that
    // holds a byte is found by walking on from the last one found.
    size_t next = 0;
    for (size_t found = at(results, size); found < size;) {
        while (w.begin[w.order[next]] + w.length[w.order[next]] <= found)
            next++;
        size_t span = w.order[next];
        w.special[span] = 1;
        size_t after = w.begin[span] + w.length[span];
        found = after + at(results + after, size - after);
    }
}

// The values of the spans of rule, the quotes (or COPY's escapes) taken out
// where they had to be. Those whose masking cache holds are masked at once;
// the others go into work.values and work.lengths, which spans they are
// into work.which. Returns how many went there.
size_t gather(mask_block &block, unsigned rule, mask_cache *cache) {
    working &w = block.work;
    size_t spans = block.spans.size();
    if (w.values.size() < spans) {
        w.values.resize(spans);
        w.lengths.resize(spans);
        w.which.resize(spans);
    }
    w.arena.clear();
    w.in_arena.clear();
    const char *data = block.bytes.data();
    size_t count = 0;
    for (size_t i = 0; i < spans; i++) {
        const mask_span &s = block.spans[i];
        if (s.rule != rule)
            continue;
        const char *value = data + s.begin;
        size_t length = s.end - s.begin;
        if (s.quoted) {
            if (block.copy_text)
                copy_value(data, s.begin, s.end, true, w.scratch, value, length);
            else
                csv_value(data, csv_field{s.begin, s.end, true}, w.scratch, value, length);
        }
        const char *text;
        size_t masked;
        if (cache && cache->find(value, length, text, masked)) {
            keep(w, i, text, masked);
            continue;
        }
        // A value read into scratch goes into arena, which moves as it
        // grows: its place is kept as an offset and made a pointer below.
        if (s.quoted && value == w.scratch.data()) {
            w.in_arena.push_back(count);
            value = reinterpret_cast<const char *>(w.arena.size());
            w.arena += w.scratch;
        }
        w.values[count] = value;
        w.lengths[count] = length;
        w.which[count++] = i;
    }
    for (size_t v : w.in_arena)
        w.values[v] = w.arena.data() + reinterpret_cast<size_t>(w.values[v]);
    return count;
}

// The maskings of the count values gathered under a rule, kept in the
// rule's cache too when there is one. False when the library refused them.
bool mask_values(working &w, size_t count, const mask_rule &rule, const unsigned char *key,
                 const onymix_masker *masker, mask_cache *cache) {
    if (rule.kind < 0) {
        // The pseudonym of a value; an empty field stays empty, as in the
        // maskings: a missing value is no name.
        for (size_t i = 0; i < count; i++) {
            size_t at = w.results.size();
            w.results.resize(at + ONYMIX_LINE_MAX);
            int length = w.lengths[i] == 0
                             ? 0
                             : onymix_pseudonym(rule.mode, w.values[i], w.lengths[i], key,
                                                w.results.data() + at, ONYMIX_LINE_MAX);
            if (length < 0)
                return false;
            w.results.resize(at + static_cast<size_t>(length));
            place(w, w.which[i], at, static_cast<size_t>(length));
        }
        return true;
    }
    if (w.ends.size() < count)
        w.ends.resize(count);
    for (size_t done = 0; done < count;) {
        size_t at = w.results.size();
        size_t room = std::max(masked_room, ONYMIX_MASK_GROWTH * w.lengths[done] + 1);
        w.results.reserve(at + room);
        char *to = w.results.data() + at;
        int made =
            onymix_masker_values(masker, rule.kind, w.values.data() + done, w.lengths.data() + done,
                                 count - done, to, room, w.ends.data());
        if (made <= 0)
            return false;
        for (size_t i = 0, from = 0; i < static_cast<size_t>(made); from = w.ends[i++]) {
            place(w, w.which[done + i], at + from, w.ends[i] - from);
            if (cache)
                cache->keep(static_cast<const char *>(w.values[done + i]), w.lengths[done + i],
                            to + from, w.ends[i] - from);
        }
        w.results.resize(at + w.ends[made - 1]);
        done += static_cast<size_t>(made);
    }
    return true;
}

} // namespace

void mask_block_run(mask_block &block, const std::vector<mask_rule> &rules,
                    const unsigned char *key, const onymix_masker *masker, mask_cache *caches) {
    working &w = block.work;
    block.failed = false;
    if (block.bytes.empty()) {
        block.out.resize(0);
        return;
    }
    w.results.resize(0);
    w.results.reserve(masked_room);
    w.begin.resize(block.spans.size());
    w.length.resize(block.spans.size());
    w.order.resize(block.spans.size());
    w.placed = 0;
    for (unsigned r = 0; r < rules.size(); r++) {
        mask_cache *cache = caches && rules[r].kind >= 0 ? &caches[r] : nullptr;
        size_t count = gather(block, r, cache);
        if (!mask_values(w, count, rules[r], key, masker, cache)) {
            block.out.resize(0);
            block.failed = true;
            return;
        }
    }
    // The output written in place, in room for every masking quoted and
    // each of its quotes written twice (or, in COPY's text, each of its
    // bytes escaped), and cut to its length at the end.
    block.out.resize(block.bytes.size() + 2 * w.results.size() + 2 * block.spans.size());
    const char *data = block.bytes.data();
    const char *results = w.results.data();
    // A masking with no byte that needs quotes (or in COPY's text an
    // escape), as names seldom have, is copied as it is, but into a CSV
    // field that was quoted.
    find_special(w, block.spans.size(), block.copy_text ? copy_escape_at : csv_quote_at);
    char *to = block.out.data();
    size_t copied = 0;
    for (size_t i = 0; i < block.spans.size(); i++) {
        const mask_span &s = block.spans[i];
        to = put(to, data + copied, s.begin - copied);
        if (!w.special[i] && (block.copy_text || !s.quoted))
            to = put(to, results + w.begin[i], w.length[i]);
        else if (block.copy_text)
            to = copy_write_field(to, results + w.begin[i], w.length[i]);
        else
            to = csv_write_field(to, results + w.begin[i], w.length[i], s.quoted);
        copied = s.end;
    }
    std::memcpy(to, data + copied, block.bytes.size() - copied);
    to += block.bytes.size() - copied;
    block.out.resize(static_cast<size_t>(to - block.out.data()));
}
