// Tests of the library's "now" against the Windows program's own Generate:
// with the simulated clock, onymix_generate(mode, ONYMIX_NOW) and the
// generators seeded from the uptime read the clock exactly as the program
// does, in the first day of uptime, after it, and once the tick count reads
// negative.
#include "onymix.h"

#include "../program/generate.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string generated(int mode, long second) {
    char name[32];
    return onymix_generate(mode, second, name, sizeof name) < 0 ? "<-1>" : name;
}

std::string next_of(onymix_generator *g) {
    char name[32];
    return onymix_next(g, name, sizeof name) < 0 ? "<-1>" : name;
}

struct clock_setting {
    uint32_t start, step;
    int hold;
};

// Half a day; the last millisecond of the first day, which single
// precision rounds up to 86400 seconds (so the seeding takes the way of a
// day or more); a reading on a whole second (the seeding waits for the
// clock to move on); more than two days; 25 days, where the tick count reads
// negative.
const clock_setting clocks[] = {
    {43200500, 0, 0}, {86399999, 1, 0}, {172800000, 1, 3}, {200000123, 0, 0}, {0x90000000u, 0, 0}};

TEST(Now, GenerateSeedsEveryPickAsTheProgramDoes) {
    for (const clock_setting &c : clocks) {
        for (int mode = 0; mode < mode_count; mode++) {
            set_fake_clock(c.start, c.step, c.hold);
            std::string program = generate(mode);
            set_fake_clock(c.start, c.step, c.hold);
            EXPECT_EQ(generated(mode, ONYMIX_NOW), program)
                << mode_labels[mode] << " at tick " << c.start;
        }
    }
}

TEST(Now, WithinADayNowIsTheSecondOfUptime) {
    for (uint32_t ms : {0u, 999u, 1000u, 43200500u, 86399499u}) {
        for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
            set_fake_clock(ms, 0);
            EXPECT_EQ(generated(mode, ONYMIX_NOW), generated(mode, ms / 1000))
                << mode_labels[mode] << " at " << ms << " ms";
            set_fake_clock(ms, 0);
            onymix_generator *now = onymix_open(mode, ONYMIX_NOW, 0);
            onymix_generator *seeded = onymix_open(mode, ms / 1000, 0);
            for (int i = 0; i < 5; i++)
                EXPECT_EQ(next_of(now), next_of(seeded)) << mode_labels[mode] << " name " << i;
            onymix_close(now);
            onymix_close(seeded);
        }
    }
}

TEST(Now, AReseedingGeneratorFollowsTheClock) {
    onymix_generator *g = onymix_open(ONYMIX_ANY_SURNAME, ONYMIX_NOW, ONYMIX_RESEED);
    for (uint32_t ms : {5000u, 5999u, 6000u, 86000000u}) {
        set_fake_clock(ms, 0);
        EXPECT_EQ(next_of(g), generated(ONYMIX_ANY_SURNAME, ms / 1000)) << ms << " ms";
    }
    onymix_close(g);
}

} // namespace
