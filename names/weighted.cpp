// weighted.cpp: the weighted picks over the cumulative census weights that
// the build generates from names/data/*-weights.txt. A search starts from a
// guide: for each run of 16 thousandths of a percent, the first entry whose
// cumulative weight passes its start, so a pick steps over a few entries at
// most instead of halving the whole list. The guides are made by the
// compiler, from the same weights, and are no data of their own.
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
const int guide_shift = 4;

template <size_t count> constexpr uint32_t last(const uint32_t (&cumulative)[count]) {
    return cumulative[count - 1];
}

// For each run g of 2^guide_shift thousandths: the first place whose
// cumulative weight exceeds the run's first value.
template <size_t runs, size_t count>
constexpr std::array<uint16_t, runs> guide_of(const uint32_t (&cumulative)[count]) {
    std::array<uint16_t, runs> guide{};
    size_t place = 0;
    for (size_t run = 0; run < runs; run++) {
        while (place < count && cumulative[place] <= (run << guide_shift))
            place++;
        guide[run] = static_cast<uint16_t>(place);
    }
    return guide;
}

constexpr size_t runs_of(uint32_t total) {
    return (total >> guide_shift) + 1;
}

constexpr auto male_guide =
    guide_of<runs_of(last(male_cumulative_weights))>(male_cumulative_weights);
constexpr auto female_guide =
    guide_of<runs_of(last(female_cumulative_weights))>(female_cumulative_weights);
constexpr auto surname_guide =
    guide_of<runs_of(last(surnames_cumulative_weights))>(surnames_cumulative_weights);

// The first place whose cumulative weight exceeds k (below the list's total).
template <size_t runs, size_t count>
inline int listed_place(uint32_t k, const uint32_t (&cumulative)[count],
                        const std::array<uint16_t, runs> &guide) {
    int place = guide[k >> guide_shift];
    while (cumulative[place] <= k)
        place++;
    return place;
}

// The surnames past the listed ones, each weighing what the listed leave of
// 100 percent, in units in which a listed thousandth weighs their count.
const uint32_t unlisted_surnames = surname_span + 1 - SURNAMES_WEIGHT_COUNT;
const uint32_t unlisted_weight = percent - last(surnames_cumulative_weights);
const uint64_t listed_surname_weight =
    uint64_t(last(surnames_cumulative_weights)) * unlisted_surnames;
static_assert(uint64_t(percent) * unlisted_surnames == surname_total_weight,
              "the surname weights total 100 percent");

} // namespace

int weighted_male_offset(uint64_t state) {
    uint64_t q = weighted_target(state, last(male_cumulative_weights));
    return listed_place(static_cast<uint32_t>(q), male_cumulative_weights, male_guide);
}

int weighted_female_offset(uint64_t state) {
    uint64_t q = weighted_target(state, last(female_cumulative_weights));
    return listed_place(static_cast<uint32_t>(q), female_cumulative_weights, female_guide);
}

int weighted_surname_offset(uint64_t state) {
    uint64_t q = weighted_target(state, surname_total_weight);
    if (q >= listed_surname_weight)
        // Below 56,616 * 55,342 < 2^32, so the division is a 32-bit one.
        return SURNAMES_WEIGHT_COUNT +
               static_cast<int>(static_cast<uint32_t>(q - listed_surname_weight) / unlisted_weight);
    // C(i) = cumulative[i] * count exceeds q exactly when cumulative[i]
    // exceeds floor(q / count); q is below 2^32 here.
    return listed_place(static_cast<uint32_t>(q) / unlisted_surnames, surnames_cumulative_weights,
                        surname_guide);
}

uint64_t total_weight(section s) {
    if (s.first == surname_first)
        return surname_total_weight;
    return s.first == female_first ? last(female_cumulative_weights)
                                   : last(male_cumulative_weights);
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
