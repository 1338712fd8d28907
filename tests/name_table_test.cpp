// Tests of the compiled-in name table: its sections, its telling rows and
// the form of every entry.
#include "../names/name_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct section {
    const char *what;
    int first, span;
    size_t shortest, longest;
    std::vector<std::string> head, tail;
};

const section sections[] = {
    {"male first names",
     male_first,
     male_span,
     2,
     11,
     {"James", "John", "Robert", "Michael", "William", "David", "Richard", "Charles", "Joseph",
      "Thomas"},
     {"Elden", "Dorsey", "Darell", "Broderick", "Alonso"}},
    {"female first names",
     female_first,
     female_span,
     2,
     11,
     {"Mary", "Patricia", "Linda", "Barbara", "Elizabeth", "Jennifer", "Maria", "Susan", "Margaret",
      "Dorothy"},
     {"Ardelia", "Annelle", "Angila", "Alona", "Allyn"}},
    {"surnames",
     surname_first,
     surname_span,
     2,
     13,
     {"Smith", "Johnson", "Williams", "Jones", "Brown", "Davis", "Miller", "Wilson", "Moore",
      "Taylor"},
     {"Kertis", "Kerson", "Kernen", "Kerkman", "Kerker"}},
};

TEST(NameTable, EdgeIndices) {
    EXPECT_STREQ(name_at(0), "James");
    EXPECT_STREQ(name_at(1218), "Alonso");
    EXPECT_STREQ(name_at(1219), "Mary");
    EXPECT_STREQ(name_at(5493), "Allyn");
    EXPECT_STREQ(name_at(5494), "Smith");
    EXPECT_STREQ(name_at(61835), "Kerker");
}

TEST(NameTable, SectionsAreConsecutiveAndCoverTheTable) {
    EXPECT_EQ(male_span + 1, 1219);
    EXPECT_EQ(female_span + 1, 4275);
    EXPECT_EQ(surname_span + 1, 56342);
    EXPECT_EQ(female_first, male_first + male_span + 1);
    EXPECT_EQ(surname_first, female_first + female_span + 1);
    EXPECT_EQ(surname_first + surname_span + 1, name_table_size);
}

TEST(NameTable, TellingRows) {
    for (const section &s : sections) {
        for (size_t i = 0; i < s.head.size(); i++)
            EXPECT_EQ(name_at(s.first + int(i)), s.head[i]) << s.what << ", row " << i;
        int last = s.first + s.span;
        for (size_t i = 0; i < s.tail.size(); i++)
            EXPECT_EQ(name_at(last - int(s.tail.size() - 1 - i)), s.tail[i]) << s.what;
    }
}

TEST(NameTable, EveryEntryIsOneCapitalisedWordOfTheSectionsLengths) {
    for (const section &s : sections) {
        std::set<std::string> seen;
        size_t shortest = 100, longest = 0;
        for (int i = s.first; i <= s.first + s.span; i++) {
            const char *name = name_at(i);
            size_t length = std::strlen(name);
            shortest = std::min(shortest, length);
            longest = std::max(longest, length);
            ASSERT_GE(length, s.shortest) << s.what << " entry " << i << ": \"" << name << "\"";
            ASSERT_LE(length, s.longest) << s.what << " entry " << i << ": \"" << name << "\"";
            ASSERT_TRUE(name[0] >= 'A' && name[0] <= 'Z')
                << s.what << " entry " << i << ": \"" << name << "\"";
            for (size_t k = 1; k < length; k++)
                ASSERT_TRUE(name[k] >= 'a' && name[k] <= 'z')
                    << s.what << " entry " << i << ": \"" << name << "\"";
            ASSERT_TRUE(seen.insert(name).second) << s.what << ": \"" << name << "\" twice";
        }
        EXPECT_EQ(shortest, s.shortest) << s.what;
        EXPECT_EQ(longest, s.longest) << s.what;
    }
}

TEST(NameTable, LongSurnamesAreHeldCutToThirteenLetters) {
    bool found = false;
    for (int i = surname_first; i <= surname_first + surname_span; i++)
        found = found || std::strcmp(name_at(i), "Christopherso") == 0;
    EXPECT_TRUE(found) << "\"Christopherson\" cut to 13 letters is a surname";
    // The same word may stand in two sections.
    bool kevin = false;
    for (int i = surname_first; i <= surname_first + surname_span; i++)
        kevin = kevin || std::strcmp(name_at(i), "Kevin") == 0;
    EXPECT_TRUE(kevin);
}

} // namespace
