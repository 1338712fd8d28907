// mask_block.cpp: the masking of one block of whole CSV records (cli.h),
// the work that onymix-cli's --mask run hands to each of its threads. It
// reads nothing shared but the rules and the key, so blocks are masked side
// by side; a block keeps only its working memory from one to the next. The
// fields of a column go to the library together, through
// onymix_mask_values, in batches, but for those whose masking the thread's
// cache holds.
#include "cli.h"
#include "copy_text.h"
#include "csv.h"
#include "mask_cache.h"

#include <algorithm>
#include <cstring>

namespace {

// Room for the maskings of one call of onymix_mask_values; a value too long
// for it gets room of its own. Calls follow one another until every value
// is masked, so the room need not hold a column's maskings of a whole
// block, and what a block never touches costs no memory.
const size_t masked_room = 1 << 18;

// The values of the spans of rule, the quotes taken out where they had to
// be, into work.values and work.lengths; which spans they are in work.which.
void gather(mask_block &block, unsigned rule) {
    auto &w = block.work;
    w.which.clear();
    w.values.clear();
    w.lengths.clear();
    w.arena.clear();
    w.in_arena.clear();
    // The unquoted copies go into arena, which moves as it grows: their
    // places are kept as offsets and made pointers at the end.
    std::string scratch;
    const char *data = block.bytes.data();
    for (size_t i = 0; i < block.spans.size(); i++) {
        const mask_span &s = block.spans[i];
        if (s.rule != rule)
            continue;
        const char *value;
        size_t length;
        if (block.copy_text)
            copy_value(data, s.begin, s.end, s.quoted, scratch, value, length);
        else
            csv_value(data, csv_field{s.begin, s.end, s.quoted}, scratch, value, length);
        if (value == scratch.data()) {
            w.in_arena.push_back(w.values.size());
            w.values.push_back(reinterpret_cast<const void *>(w.arena.size()));
            w.arena += scratch;
        } else {
            w.values.push_back(value);
        }
        w.lengths.push_back(length);
        w.which.push_back(i);
    }
    for (size_t v : w.in_arena)
        w.values[v] = w.arena.data() + reinterpret_cast<size_t>(w.values[v]);
}

// Keeps the masking of the n-th value gathered, length bytes at text.
void keep(mask_block &block, size_t n, const char *text, size_t length) {
    auto &w = block.work;
    w.begin[w.which[n]] = w.results.size();
    w.length[w.which[n]] = length;
    w.results.append(text, length);
}

// Keeps the maskings that cache holds of the values gathered,
// and leaves in work.values, work.lengths and work.which only the others.
void take_cached(mask_block &block, mask_cache &cache) {
    auto &w = block.work;
    size_t left = 0;
    for (size_t i = 0; i < w.values.size(); i++) {
        const char *value = static_cast<const char *>(w.values[i]), *text;
        size_t masked;
        if (cache.find(value, w.lengths[i], text, masked)) {
            keep(block, i, text, masked);
            continue;
        }
        w.values[left] = w.values[i];
        w.lengths[left] = w.lengths[i];
        w.which[left++] = w.which[i];
    }
    w.values.resize(left);
    w.lengths.resize(left);
    w.which.resize(left);
}

// The maskings of the values gathered under a rule, kept in the rule's
// cache too when there is one. False when the library refused them.
bool mask_values(mask_block &block, const mask_rule &rule, const unsigned char *key,
                 mask_cache *cache) {
    auto &w = block.work;
    if (cache && rule.kind >= 0)
        take_cached(block, *cache);
    size_t count = w.values.size();
    if (rule.kind < 0) {
        // The pseudonym of a value; an empty field stays empty, as in the
        // maskings: a missing value is no name.
        char name[ONYMIX_LINE_MAX];
        for (size_t i = 0; i < count; i++) {
            int length = w.lengths[i] == 0 ? 0
                                           : onymix_pseudonym(rule.mode, w.values[i], w.lengths[i],
                                                              key, name, sizeof name);
            if (length < 0)
                return false;
            keep(block, i, name, static_cast<size_t>(length));
        }
        return true;
    }
    for (size_t done = 0; done < count;) {
        size_t least = ONYMIX_MASK_GROWTH * w.lengths[done] + 1;
        if (w.room.size() < std::max(masked_room, least))
            w.room.resize(std::max(masked_room, least));
        if (w.ends.size() < count - done)
            w.ends.resize(count - done);
        int made =
            onymix_mask_values(rule.kind, key, w.values.data() + done, w.lengths.data() + done,
                               count - done, w.room.data(), w.room.size(), w.ends.data());
        if (made <= 0)
            return false;
        for (size_t i = 0, from = 0; i < static_cast<size_t>(made); from = w.ends[i++]) {
            keep(block, done + i, w.room.data() + from, w.ends[i] - from);
            if (cache)
                cache->keep(static_cast<const char *>(w.values[done + i]), w.lengths[done + i],
                            w.room.data() + from, w.ends[i] - from);
        }
        done += static_cast<size_t>(made);
    }
    return true;
}

} // namespace

void mask_block_run(mask_block &block, const std::vector<mask_rule> &rules,
                    const unsigned char *key, mask_cache *caches) {
    auto &w = block.work;
    block.failed = false;
    w.results.clear();
    w.begin.resize(block.spans.size());
    w.length.resize(block.spans.size());
    for (unsigned r = 0; r < rules.size(); r++) {
        gather(block, r);
        if (!mask_values(block, rules[r], key, caches ? &caches[r] : nullptr)) {
            block.out.clear();
            block.failed = true;
            return;
        }
    }
    // The output written in place, in room for every field quoted and each
    // of its quotes written twice (or, in COPY's text, each of its bytes
    // escaped), and cut to its length at the end. The string keeps its
    // length from the block before, so that only the bytes beyond it are
    // cleared when it grows.
    size_t room =
        block.bytes.size() +
        (block.copy_text ? w.results.size() : std::count(w.results.begin(), w.results.end(), '"'));
    for (size_t i = 0; i < block.spans.size(); i++)
        room += w.length[i] + 2;
    if (block.out.size() < room)
        block.out.resize(room);
    const char *data = block.bytes.data();
    char *to = &block.out[0];
    size_t copied = 0;
    for (size_t i = 0; i < block.spans.size(); i++) {
        const mask_span &s = block.spans[i];
        std::memcpy(to, data + copied, s.begin - copied);
        to += s.begin - copied;
        if (block.copy_text)
            to = copy_write_field(to, w.results.data() + w.begin[i], w.length[i]);
        else
            to = csv_write_field(to, w.results.data() + w.begin[i], w.length[i], s.quoted);
        copied = s.end;
    }
    std::memcpy(to, data + copied, block.bytes.size() - copied);
    to += block.bytes.size() - copied;
    block.out.resize(static_cast<size_t>(to - block.out.data()));
}
