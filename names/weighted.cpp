// weighted.cpp: the weighted picks over the cumulative census weights that
// the build generates from names/data/*-weights.txt. A search starts from a
// guide: for each run of 4 thousandths of a percent, the first entry whose
// cumulative weight passes its start, so that a pick mostly takes the entry
// the guide names, and otherwise steps over a few, instead of halving the
// whole list. The guides are made by the compiler from the same weights, and
// are no data of their own.
#include "weighted.h"

#include "name_table.h"

#include <array>
#include <cstddef>

namespace {

#include "name_weights.inc"

static_assert(MALE_WEIGHT_COUNT == male_span + 1, "a weight for every male first name");
static_assert(FEMALE_WEIGHT_COUNT == female_span + 1, "a weight for every female first name");
static_assert(SURNAMES_WEIGHT_COUNT == 1000, "the census weighs the first 1,000 surnames");

const uint32_t percent = 100000; // in thousandths
const int guide_shift = 2;

// A list's cumulative weights as an array, and one more entry past them
// that no draw of the list reaches.
template <size_t count>
constexpr std::array<uint32_t, count + 1> with_end(const uint32_t (&cumulative)[count],
                                                   uint32_t end) {
    std::array<uint32_t, count + 1> all{};
    for (size_t place = 0; place < count; place++)
        all[place] = cumulative[place];
    all[count] = end;
    return all;
}

// For each run g of 2^guide_shift thousandths up to total: the first place
// whose cumulative weight exceeds the run's first value.
template <size_t runs, size_t count>
constexpr std::array<uint16_t, runs> guide_of(const std::array<uint32_t, count> &cumulative) {
    std::array<uint16_t, runs> guide{};
    size_t place = 0;
    for (size_t run = 0; run < runs; run++) {
        while (place < count - 1 && cumulative[place] <= (run << guide_shift))
            place++;
        guide[run] = static_cast<uint16_t>(place);
    }
    return guide;
}

constexpr size_t runs_of(uint32_t total) {
    return ((total - 1) >> guide_shift) + 1;
}

constexpr auto male = with_end(male_cumulative_weights, ~uint32_t(0));
constexpr auto female = with_end(female_cumulative_weights, ~uint32_t(0));
constexpr uint32_t male_total = male[MALE_WEIGHT_COUNT - 1];
constexpr uint32_t female_total = female[FEMALE_WEIGHT_COUNT - 1];
constexpr auto male_guide = guide_of<runs_of(male_total)>(male);
constexpr auto female_guide = guide_of<runs_of(female_total)>(female);

// The surnames past the listed ones, each weighing what the listed leave of
// 100 percent, in units in which a listed thousandth weighs their count.
constexpr auto surnames = with_end(surnames_cumulative_weights, percent);
constexpr uint32_t listed_surname_total = surnames[SURNAMES_WEIGHT_COUNT - 1];
constexpr auto surname_guide = guide_of<runs_of(listed_surname_total)>(surnames);
static_assert(0x7fff < listed_surname_total, "a key cut to 15 bits is a listed one");
const uint32_t unlisted_surnames = surname_span + 1 - SURNAMES_WEIGHT_COUNT;
const uint32_t unlisted_weight = percent - listed_surname_total;
const uint64_t listed_surname_weight = uint64_t(listed_surname_total) * unlisted_surnames;
static_assert(uint64_t(percent) * unlisted_surnames == surname_total_weight,
              "the surname weights total 100 percent");

// The first place whose cumulative weight exceeds k, k below the last entry.
template <size_t runs, size_t count>
inline int place_of(uint32_t k, const std::array<uint32_t, count> &cumulative,
                    const std::array<uint16_t, runs> &guide) {
    int place = guide[k >> guide_shift];
    while (cumulative[place] <= k)
        place++;
    return place;
}

} // namespace

int weighted_male_offset(uint64_t state) {
    return place_of(static_cast<uint32_t>(weighted_target(state, male_total)), male, male_guide);
}

int weighted_female_offset(uint64_t state) {
    return place_of(static_cast<uint32_t>(weighted_target(state, female_total)), female,
                    female_guide);
}

int weighted_surname_offset(uint64_t state) {
    uint64_t q = weighted_target(state, surname_total_weight);
    // A listed place is the first whose cumulative[i] * count exceeds q,
    // which is the first whose cumulative[i] exceeds floor(q / count); past
    // the listed, the place is SURNAMES_WEIGHT_COUNT plus the draw's place
    // among the unlisted (q - listed is below 56,616 * 55,342 < 2^32 there).
    // Both are formed and one is kept by a mask, never a branch: which of
    // the two a draw falls in is a coin toss (43 to 57), and a mispredicted
    // branch costs more than the few operations both take. So past the
    // listed the guide is still read, at a key cut to 15 bits, which is
    // within the listed and no constant the compiler could look up itself
    // and branch around.
    uint64_t past = q - listed_surname_weight;
    uint32_t unlisted = static_cast<uint32_t>(past >> 63) - 1; // all ones past the listed
    uint32_t k = static_cast<uint32_t>(q / unlisted_surnames) & (~unlisted | 0x7fff);
    uint32_t listed = static_cast<uint32_t>(place_of(k, surnames, surname_guide));
    uint32_t other = SURNAMES_WEIGHT_COUNT + static_cast<uint32_t>(past) / unlisted_weight;
    return static_cast<int>((listed & ~unlisted) | (other & unlisted));
}

uint64_t total_weight(section s) {
    if (s.first == surname_first)
        return surname_total_weight;
    return s.first == female_first ? female_total : male_total;
}

uint64_t cumulative_weight(section s, int place) {
    if (s.first == male_first)
        return male_cumulative_weights[place];
    if (s.first == female_first)
        return female_cumulative_weights[place];
    if (place < SURNAMES_WEIGHT_COUNT)
        return uint64_t(surnames_cumulative_weights[place]) * unlisted_surnames;
    return listed_surname_weight + uint64_t(place + 1 - SURNAMES_WEIGHT_COUNT) * unlisted_weight;
}
