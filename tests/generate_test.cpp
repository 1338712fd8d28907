// Tests of picking names and of the five generation modes of the Windows
// program's Generate, and of drawing a name of a mode as the library does.
#include "../names/generator.h"
#include "../names/name_table.h"
#include "../program/fields.h"
#include "../program/generate.h"
#include "support/double_generator.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string text_of(drawn_name name) {
    std::string text = name.first_name >= 0 ? name_at(name.first_name) : "";
    if (name.first_name >= 0 && name.surname >= 0)
        text += ' ';
    return name.surname >= 0 ? text + name_at(name.surname) : text;
}

// The name a mode draws with every pick seeded from one second, as the
// library's Generate at a given second does.
std::string drawn_at_second(int mode, int32_t second) {
    uint64_t state = 0;
    return text_of(
        draw_name({mode, seed_fixed, static_cast<uint64_t>(seeded_state(second))}, state));
}

class Picker : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_fake_platform();
    }
};

TEST_F(Picker, OffsetsForTheFirstTwoSecondsOfUptime) {
    // Second 0: the second draw is 0.8663736436569165.
    EXPECT_EQ(offset_for_draw(0.8663736436569165, male_span), 1055);
    EXPECT_EQ(offset_for_draw(0.8663736436569165, female_span), 3703);
    EXPECT_EQ(offset_for_draw(0.8663736436569165, surname_span), 48812);
    // Second 1.
    EXPECT_EQ(offset_for_draw(0.768961480021443, male_span), 937);
    EXPECT_EQ(offset_for_draw(0.768961480021443, female_span), 3287);
    EXPECT_EQ(offset_for_draw(0.768961480021443, surname_span), 43324);
}

TEST_F(Picker, EveryModeInTheFirstTwoSeconds) {
    struct {
        uint32_t ms;
        int mode;
        const char *name;
    } const cases[] = {
        {0, mode_male, "Emmitt"},
        {999, mode_female, "Lizeth"},
        {500, mode_surname, "Verhagen"},
        {0, mode_male_surname, "Emmitt Verhagen"},
        {0, mode_female_surname, "Lizeth Verhagen"},
        {1000, mode_male, "Porfirio"},
        {1999, mode_female, "Viki"},
        {1500, mode_surname, "Karella"},
        {1000, mode_male_surname, "Porfirio Karella"},
        {1000, mode_female_surname, "Viki Karella"},
    };
    for (const auto &c : cases) {
        set_fake_clock(c.ms, 0);
        EXPECT_STREQ(generate(c.mode), c.name) << "mode " << c.mode << " at " << c.ms << " ms";
        EXPECT_EQ(drawn_at_second(c.mode, int32_t(c.ms / 1000)), c.name)
            << "mode " << c.mode << " seeded with second " << c.ms / 1000;
    }
}

TEST_F(Picker, ANumberThatIsNoModeGivesAnEmptyName) {
    for (int mode : {-1, 5, 99, -100})
        EXPECT_STREQ(generate(mode), "") << "mode " << mode;
}

TEST_F(Picker, OffsetsRoundHalfUpAndStayWithinTheSpan) {
    const double smallest = 1.0 / 2251799813685248.0;
    EXPECT_EQ(offset_for_draw(smallest, surname_span), 0);
    EXPECT_EQ(offset_for_draw(1.0, surname_span), surname_span);
    EXPECT_EQ(offset_for_draw(1.0, 0), 0);
    // r * span = 0.5 exactly rounds up; one state less rounds down.
    EXPECT_EQ(offset_for_draw(0.125, 4), 1);
    EXPECT_EQ(offset_for_draw(0.125 - smallest, 4), 0);
    // r * span = span - 0.5 exactly gives the last offset.
    EXPECT_EQ(offset_for_draw(0.875, 4), 4);
    EXPECT_EQ(offset_for_draw(0.875 - smallest, 4), 3);
}

TEST_F(Picker, PicksStayInsideTheirSectionsEverySecondOfTheDay) {
    const struct {
        int first, span;
    } sections[] = {
        {male_first, male_span}, {female_first, female_span}, {surname_first, surname_span}};
    for (int32_t second = 0; second < 86400; second++) {
        randomize(second);
        rnd();
        double r = rnd();
        for (const auto &s : sections) {
            int offset = offset_for_draw(r, s.span);
            ASSERT_GE(offset, 0) << "second " << second;
            ASSERT_LE(offset, s.span) << "second " << second;
        }
    }
}

TEST_F(Picker, APickIsACopyNotTheTablesOwnString) {
    set_fake_clock(0, 0);
    char *name = pick(male_first, male_span);
    EXPECT_STREQ(name, "Emmitt");
    EXPECT_NE(name, name_at(male_first + 1055));
    name[0] = 'X';
    EXPECT_STREQ(name_at(male_first + 1055), "Emmitt");
}

TEST_F(Picker, FullNamesHaveExactlyOneSpaceBetweenTableEntries) {
    for (uint32_t ms = 0; ms < 86400000u; ms += 86399) {
        for (int mode : {mode_male_surname, mode_female_surname}) {
            set_fake_clock(ms, 0);
            std::string name = generate(mode);
            ASSERT_EQ(std::count(name.begin(), name.end(), ' '), 1) << "\"" << name << "\"";
            std::string first = name.substr(0, name.find(' '));
            std::string last = name.substr(name.find(' ') + 1);
            int from = mode == mode_male_surname ? male_first : female_first;
            int to =
                mode == mode_male_surname ? male_first + male_span : female_first + female_span;
            bool first_found = false, last_found = false;
            for (int i = from; i <= to && !first_found; i++)
                first_found = first == name_at(i);
            for (int i = surname_first; i <= surname_first + surname_span && !last_found; i++)
                last_found = last == name_at(i);
            ASSERT_TRUE(first_found && last_found) << "\"" << name << "\"";
        }
    }
}

TEST_F(Picker, DrawingOnGivesTheSameFirstPickAndThenOthers) {
    uint64_t state = static_cast<uint64_t>(seeded_state(0));
    std::string first = text_of(draw_name({mode_male, draw_on, 0}, state));
    std::string second = text_of(draw_name({mode_male, draw_on, 0}, state));
    EXPECT_EQ(first, "Emmitt");
    EXPECT_NE(second, first);
}

TEST_F(Picker, GenerateCommandWritesTheSelectedModesNameIntoTheNameBox) {
    set_fake_clock(0, 0);
    set_fake_field(field_name_box, "typed by the user");
    set_fake_selected_mode(mode_male_surname);
    generate_command();
    EXPECT_EQ(fake_field(field_name_box), "Emmitt Verhagen");
    EXPECT_STREQ(generated_name, "Emmitt Verhagen");
    // Pressing again within the same second shows the same name.
    generate_command();
    EXPECT_EQ(fake_field(field_name_box), "Emmitt Verhagen");

    set_fake_selected_mode(mode_female);
    generate_command();
    EXPECT_EQ(fake_field(field_name_box), "Lizeth");
    EXPECT_STREQ(generated_name, "Lizeth") << "the buffer is cleared before each Generate";

    set_fake_selected_mode(-1);
    generate_command();
    EXPECT_EQ(fake_field(field_name_box), "");
    EXPECT_STREQ(generated_name, "");
}

} // namespace
