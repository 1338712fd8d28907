// Tests of the program's random number generator: seeding by second of the
// day, seeding from the timer with its busy-wait, and the draws.
#include "../names/generator.h"
#include "../names/name_table.h"
#include "../program/generate.h"
#include "support/double_generator.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const int64_t two_51 = int64_t(1) << 51;

class Random : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_fake_platform();
    }
};

TEST_F(Random, TimerIsTheTickCountInSecondsAsASignedNumber) {
    set_fake_clock(1500);
    EXPECT_EQ(timer(), 1.5f);
    set_fake_clock(86399999);
    EXPECT_EQ(timer(), static_cast<float>(86399.999));
    // Past 2^31 ms of uptime the count reads as negative.
    set_fake_clock(0x80000000u);
    EXPECT_EQ(timer(), static_cast<float>(-2147483.648));
    set_fake_clock(0xFFFFFFFFu);
    EXPECT_EQ(timer(), -0.001f);
}

TEST_F(Random, SeedingWithASecondOfTheDay) {
    struct {
        int32_t n;
        int64_t state;
        double first, second;
    } const cases[] = {
        {0, 13031230749, 0.08533584577826492, 0.8663736436569165},
        {1, 39093728593, 0.869922482953462, 0.768961480021443},
        {86399, 2251786782454505, 0.5862011456285954, 0.5528477023865088},
    };
    for (const auto &c : cases) {
        randomize(c.n);
        EXPECT_EQ(random_state, c.state) << "seed " << c.n;
        EXPECT_DOUBLE_EQ(rnd(), c.first) << "seed " << c.n;
        EXPECT_DOUBLE_EQ(rnd(), c.second) << "seed " << c.n;
    }
    EXPECT_EQ(fake_clock_reads(), 0) << "the first branch must not read the timer";
}

TEST_F(Random, ThreeDrawsFromTheInitialState) {
    random_state = 314159;
    const int64_t states[] = {896848101139891, 1560816897419559, 1633607460431307};
    const double draws[] = {0.3982805645907437, 0.6931419426956786, 0.725467446308107};
    for (int i = 0; i < 3; i++) {
        EXPECT_DOUBLE_EQ(rnd(), draws[i]) << "draw " << i + 1;
        EXPECT_EQ(random_state, states[i]) << "draw " << i + 1;
    }
}

TEST_F(Random, TheSameSecondGivesTheSameSequence) {
    randomize(4242);
    double a[5];
    for (double &d : a)
        d = rnd();
    randomize(4242);
    for (double d : a)
        EXPECT_EQ(rnd(), d);
}

TEST_F(Random, DrawsLieInZeroToOneIncludingOneOnlyForTheLastState) {
    random_state = 0;
    EXPECT_EQ(rnd(), 1.0 / double(two_51)) << "state 0 stays 0 and draws 2^-51";
    // The state before 2^51 - 1 is -(m^-1) mod 2^51; its draw is exactly 1.
    uint64_t m = 627327780969661, inverse = m;
    for (int i = 0; i < 6; i++)
        inverse *= 2 - m * inverse; // Newton's iteration, modulo 2^64
    random_state =
        static_cast<int64_t>((uint64_t(two_51) - (inverse % uint64_t(two_51))) % uint64_t(two_51));
    EXPECT_EQ(rnd(), 1.0);
    EXPECT_EQ(random_state, two_51 - 1);
}

TEST_F(Random, TheDayAfterTheFirstSeedsFromTheTimer) {
    // 86400 is one day: n becomes 0, so x = 0 and the state is 1 + 1024 y.
    set_fake_clock(5000, 1);
    randomize(86400);
    EXPECT_EQ(random_state, 1 + 4 * 5) << "t0 = 5, no reading on the whole second after it";
    EXPECT_EQ(fake_clock_reads(), 2);
}

TEST_F(Random, TheBusyWaitCountsReadingsOnTheWholeSecond) {
    // Three more readings of exactly 5.0 after t0, then the clock moves on.
    set_fake_clock(5000, 1, 3);
    randomize(86400);
    EXPECT_EQ(random_state, 1 + 4 * 5 + 345600 * 3);
    EXPECT_EQ(fake_clock_reads(), 5);
}

TEST_F(Random, TheBusyWaitEndsAtOnceOnAFractionalReading) {
    set_fake_clock(5500, 1, 10);
    randomize(86400);
    EXPECT_EQ(random_state, 1 + 4 * 5);
    EXPECT_EQ(fake_clock_reads(), 2);
}

TEST_F(Random, TheBusyWaitLastsWhileSinglePrecisionCannotTellTheMilliseconds) {
    // At 2,000,000 s the reading moves in steps of 1/8 s: the readings stay
    // on the whole second for 62 more milliseconds.
    set_fake_clock(2000000000u, 1);
    randomize(2000000);
    // x = (2^31 + 2000000 - 86400) mod 2^19 = 340736
    EXPECT_EQ(random_state, 1463450005997057);
    EXPECT_EQ(fake_clock_reads(), 64);
}

TEST_F(Random, NegativeSeedsTakeTheSecondBranchWithoutSubtracting) {
    set_fake_clock(1000, 1);
    randomize(-1);
    // x = (2^31 - 1) mod 2^19 = 524287
    EXPECT_EQ(random_state, 524287 * (int64_t(1) << 32) + 1 + 4 * 1);
}

TEST_F(Random, ANegativeTickCountNeverLeavesTheStateOutOfRange) {
    // With x = 0 and a negative timer reading, 1 + 1024 y is negative. The
    // state is brought into [0, 2^51), odd as before.
    const int32_t zero_x_seconds[] = {-2097152, -1572864, -1048576, -524288};
    for (int32_t t : zero_x_seconds) {
        set_fake_clock(static_cast<uint32_t>(int64_t(t) * 1000 - 500), 1);
        random_state = state_from_uptime();
        EXPECT_EQ(random_state, two_51 + 1 + 4 * int64_t(t)) << "second " << t;
    }
    // Every negative second of a 32-bit tick count, as a pick would see it.
    for (int64_t t = -2147483; t < 0; t++) {
        set_fake_clock(static_cast<uint32_t>(t * 1000 - 500), 1);
        random_state = state_from_uptime();
        ASSERT_GE(random_state, 0) << "second " << t;
        ASSERT_LT(random_state, two_51) << "second " << t;
        ASSERT_EQ(random_state % 2, 1) << "second " << t;
        double r1 = rnd(), r2 = rnd();
        ASSERT_TRUE(r1 > 0 && r1 <= 1 && r2 > 0 && r2 <= 1) << "second " << t;
        ASSERT_LE(offset_for_draw(r2, surname_span), surname_span) << "second " << t;
        ASSERT_GE(offset_for_draw(r2, surname_span), 0) << "second " << t;
    }
}

TEST_F(Random, PicksAtTheNegativeSecondsStayInsideTheirSections) {
    const int32_t zero_x_seconds[] = {-2097152, -1572864, -1048576, -524288, -1};
    for (int32_t t : zero_x_seconds) {
        for (int ms : {0, 500, 999}) {
            set_fake_clock(static_cast<uint32_t>(int64_t(t) * 1000 - ms), 1);
            std::string name = generate(mode_surname);
            bool found = false;
            for (int i = surname_first; i <= surname_first + surname_span && !found; i++)
                found = name == name_at(i);
            EXPECT_TRUE(found) << "second " << t << ": \"" << name << "\"";
        }
    }
}

// The integer generator against the double-precision arithmetic it
// replaced, draw for draw: the states, the draws and the offsets into every
// section, for the first draws of every second of the day and along a long
// run; then whole names of every mode.
TEST(DoublePrecision, EveryDrawAndOffsetAgrees) {
    const int spans[] = {male_span, female_span, surname_span};
    auto agree = [&](double_generator &d, uint64_t &state, const std::string &where) {
        double r = d.rnd();
        state = advanced_state(state);
        ASSERT_EQ(static_cast<uint64_t>(d.state), state) << where;
        ASSERT_EQ(static_cast<double>(state + 1) / double(state_modulus), r) << where;
        for (int span : spans)
            ASSERT_EQ(offset_of(state, span), offset_for_draw(r, span))
                << where << ", span " << span;
    };
    for (int32_t second = 0; second < 86400; second++) {
        double_generator d(second);
        uint64_t state = static_cast<uint64_t>(seeded_state(second));
        for (int i = 0; i < 4; i++)
            agree(d, state, "second " + std::to_string(second) + ", draw " + std::to_string(i));
    }
    double_generator d(4711);
    uint64_t state = static_cast<uint64_t>(seeded_state(4711));
    for (int i = 0; i < 2000000; i++)
        agree(d, state, "draw " + std::to_string(i) + " from second 4711");
}

TEST(DoublePrecision, EveryModeDrawsTheSameNames) {
    for (int mode = 0; mode < all_mode_count; mode++) {
        for (int32_t second : {0, 1, 43200, 86399}) {
            double_generator d(second);
            uint64_t state = static_cast<uint64_t>(seeded_state(second));
            for (int i = 0; i < 2000; i++) {
                drawn_name name = draw_name({mode, draw_on, 0}, state);
                std::string text = name.first_name >= 0 ? name_at(name.first_name) : "";
                if (name.surname >= 0)
                    text += (text.empty() ? "" : " ") + std::string(name_at(name.surname));
                ASSERT_EQ(text, d.next_name(mode))
                    << mode_labels[mode] << ", second " << second << ", name " << i;
            }
        }
    }
}

TEST_F(Random, TheProgramsDrawsAreTheOraclesDraws) {
    randomize(777);
    double_generator d(777);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(rnd(), d.rnd()) << "draw " << i;
}

} // namespace
