// mask_block.cpp: the masking of one block of whole CSV records (cli.h),
// the work that onymix-cli's --mask run hands to each of its threads. It
// keeps no state between blocks and reads nothing shared but the rules and
// the key, so blocks are masked side by side. The fields of a column go to
// the library together, through onymix_mask_values, in batches.
#include "cli.h"
#include "csv.h"

#include <algorithm>

namespace {

// Room for the maskings of one call of onymix_mask_values; a value too long
// for it gets room of its own.
const size_t masked_room = 1 << 20;

// The maskings of the spans of one rule, after one another in results, each
// span's place there in begin and length.
struct masked {
    std::string results;
    std::vector<size_t> begin, length;
};

// The values of the spans of rule, the quotes taken out where they had to
// be, into values and lengths; which spans they are in which.
void gather(const mask_block &block, unsigned rule, std::vector<size_t> &which,
            std::vector<const void *> &values, std::vector<size_t> &lengths, std::string &arena) {
    which.clear();
    values.clear();
    lengths.clear();
    arena.clear();
    // The unquoted copies go into arena, which moves as it grows: their
    // places are kept as offsets and made pointers at the end.
    std::vector<size_t> in_arena;
    std::string scratch;
    const char *data = block.bytes.data();
    for (size_t i = 0; i < block.spans.size(); i++) {
        const mask_span &s = block.spans[i];
        if (s.rule != rule)
            continue;
        const char *value;
        size_t length;
        csv_value(data, csv_field{s.begin, s.end, s.quoted}, scratch, value, length);
        if (value == scratch.data()) {
            in_arena.push_back(values.size());
            values.push_back(reinterpret_cast<const void *>(arena.size()));
            arena += scratch;
        } else {
            values.push_back(value);
        }
        lengths.push_back(length);
        which.push_back(i);
    }
    for (size_t v : in_arena)
        values[v] = arena.data() + reinterpret_cast<size_t>(values[v]);
}

// The maskings of values under a rule into m. False when the library
// refused them.
bool mask_values(const mask_rule &rule, const unsigned char *key,
                 const std::vector<const void *> &values, const std::vector<size_t> &lengths,
                 masked &m, std::vector<char> &room, std::vector<size_t> &ends) {
    size_t count = values.size();
    if (rule.kind < 0) {
        // The pseudonym of a value; an empty field stays empty, as in the
        // maskings: a missing value is no name.
        char name[ONYMIX_LINE_MAX];
        for (size_t i = 0; i < count; i++) {
            int length = lengths[i] == 0 ? 0
                                         : onymix_pseudonym(rule.mode, values[i], lengths[i], key,
                                                            name, sizeof name);
            if (length < 0)
                return false;
            m.begin.push_back(m.results.size());
            m.length.push_back(static_cast<size_t>(length));
            m.results.append(name, static_cast<size_t>(length));
        }
        return true;
    }
    for (size_t done = 0; done < count;) {
        size_t least = ONYMIX_MASK_GROWTH * lengths[done] + 1;
        if (room.size() < std::max(masked_room, least))
            room.resize(std::max(masked_room, least));
        if (ends.size() < count - done)
            ends.resize(count - done);
        int made = onymix_mask_values(rule.kind, key, values.data() + done, lengths.data() + done,
                                      count - done, room.data(), room.size(), ends.data());
        if (made <= 0)
            return false;
        for (size_t i = 0, from = 0; i < static_cast<size_t>(made); from = ends[i++]) {
            m.begin.push_back(m.results.size());
            m.length.push_back(ends[i] - from);
            m.results.append(room.data() + from, ends[i] - from);
        }
        done += static_cast<size_t>(made);
    }
    return true;
}

} // namespace

void mask_block_run(mask_block &block, const std::vector<mask_rule> &rules,
                    const unsigned char *key) {
    block.out.clear();
    block.failed = false;
    // Each span's masking: the rule's results, and its place among them.
    std::vector<masked> by_rule(rules.size());
    std::vector<size_t> place(block.spans.size());
    std::vector<size_t> which, lengths, ends;
    std::vector<const void *> values;
    std::vector<char> room;
    std::string arena;
    for (unsigned r = 0; r < rules.size(); r++) {
        gather(block, r, which, values, lengths, arena);
        if (!mask_values(rules[r], key, values, lengths, by_rule[r], room, ends)) {
            block.failed = true;
            return;
        }
        for (size_t i = 0; i < which.size(); i++)
            place[which[i]] = i;
    }
    const char *data = block.bytes.data();
    block.out.reserve(block.bytes.size() + block.bytes.size() / 4);
    size_t copied = 0;
    for (size_t i = 0; i < block.spans.size(); i++) {
        const mask_span &s = block.spans[i];
        const masked &m = by_rule[s.rule];
        block.out.append(data + copied, s.begin - copied);
        csv_put_field(block.out, m.results.data() + m.begin[place[i]], m.length[place[i]],
                      s.quoted);
        copied = s.end;
    }
    block.out.append(data + copied, block.bytes.size() - copied);
}
