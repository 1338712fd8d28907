// Tests of the bookkeeping of unique output: the keys of names, and the
// entry lengths and first-name keys the build makes, with the longest line
// they give.
#include "../names/name_table.h"
#include "../names/lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The table indices of the first names a mode can take.
std::vector<int> first_names_of(int mode) {
    std::vector<int> indices;
    bool female = mode == mode_female || mode == mode_female_surname || mode == mode_any ||
                  mode == mode_any_surname;
    bool male = mode == mode_male || mode == mode_male_surname || mode == mode_any ||
                mode == mode_any_surname;
    for (int i = male ? male_first : female_first; i <= female_first + female_span; i++)
        if ((i < female_first && male) || (i >= female_first && female))
            indices.push_back(i);
    return indices;
}

std::string text_of(drawn_name name) {
    std::string text;
    if (name.first_name >= 0)
        text = name_at(name.first_name);
    if (name.first_name >= 0 && name.surname >= 0)
        text += ' ';
    if (name.surname >= 0)
        text += name_at(name.surname);
    return text;
}

TEST(UniqueKeys, DifferentNamesOfAModeNeverShareAKey) {
    // Every first name with the surnames at both ends of the list and beside
    // them (where a key formed with the wrong stride would meet the next
    // first name's), and every surname alone.
    const int surnames[] = {surname_first, surname_first + 1, surname_first + surname_span - 1,
                            surname_first + surname_span};
    for (int mode = 0; mode < all_mode_count; mode++) {
        bool with_surname =
            mode == mode_female_surname || mode == mode_male_surname || mode == mode_any_surname;
        std::vector<drawn_name> names;
        if (mode == mode_surname) {
            for (int s = surname_first; s <= surname_first + surname_span; s++)
                names.push_back({-1, s});
        } else {
            for (int f : first_names_of(mode)) {
                if (!with_surname)
                    names.push_back({f, -1});
                else
                    for (int s : surnames)
                        names.push_back({f, s});
            }
        }
        std::map<uint64_t, std::string> texts;
        for (drawn_name name : names) {
            uint64_t key = name_key(mode, name);
            ASSERT_LT(key, static_cast<uint64_t>(distinct_names(mode)))
                << mode_labels[mode] << ": " << text_of(name);
            auto [place, added] = texts.emplace(key, text_of(name));
            // The same text from both lists (an Any mode) is one name.
            EXPECT_TRUE(added || place->second == text_of(name))
                << mode_labels[mode] << ": \"" << place->second << "\" and \"" << text_of(name)
                << "\" share key " << key;
        }
        if (!with_surname) {
            EXPECT_EQ(texts.size(), static_cast<size_t>(distinct_names(mode))) << mode_labels[mode];
        }
    }
}

TEST(NameTable, LengthsAndFirstNameKeysMatchTheEntries) {
    std::map<std::string, int> key_of_text;
    for (int i = 0; i < name_table_size; i++) {
        ASSERT_EQ(name_length(i), std::strlen(name_at(i))) << "entry " << i;
        if (i >= surname_first)
            continue;
        int key = first_name_key(i);
        ASSERT_GE(key, 0);
        ASSERT_LT(key, first_name_key_count);
        auto [place, added] = key_of_text.emplace(name_at(i), key);
        EXPECT_EQ(place->second, key) << name_at(i) << " has two keys";
    }
    EXPECT_EQ(key_of_text.size(), static_cast<size_t>(first_name_key_count));
    std::map<int, std::string> text_of_key;
    for (const auto &[text, key] : key_of_text)
        EXPECT_TRUE(text_of_key.emplace(key, text).second) << "key " << key << " has two names";
}

// line_max bounds ONYMIX_LINE_MAX (lib/onymix.cpp), so it must be the
// longest line the table gives: the longest first name of either list with
// the longest surname.
TEST(NameTable, TheLongestLineIsLineMax) {
    int longest[3] = {male_first, female_first, surname_first};
    for (int i = 0; i < name_table_size; i++) {
        int &list = longest[i < female_first ? 0 : i < surname_first ? 1 : 2];
        if (name_length(i) > name_length(list))
            list = i;
    }
    size_t most = 0;
    for (int first : {longest[0], longest[1]})
        for (name_format format : {format_text, format_csv, format_jsonl}) {
            char line[longest_line];
            size_t length =
                static_cast<size_t>(write_line(line, drawn_name{first, longest[2]}, format) - line);
            most = std::max(most, length);
        }
    EXPECT_EQ(most, line_max);
}

} // namespace
