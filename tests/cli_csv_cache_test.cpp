// Tests of onymix-cli's CSV reader (cli/csv.cpp) on lines that its quick
// path for lines without quotes takes or must leave alone, and of the
// cache of maskings (cli/mask_cache.cpp) as it fills, forgets and rests.
#include "../cli/csv.h"
#include "../cli/mask_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// The fields of every record of data as "field|field|..." lines, or the
// error's line and column.
std::string records(const std::string &data) {
    std::string seen;
    std::vector<csv_field> fields;
    unsigned long long line = 1;
    csv_error error{};
    for (size_t at = 0; at < data.size();) {
        csv_read got = csv_read_record(data.data(), data.size(), at, true, fields, line, error);
        if (got != csv_read::record)
            return seen + "error at " + std::to_string(error.line) + ":" +
                   std::to_string(error.column);
        for (size_t i = 0; i < fields.size(); i++)
            seen += (i ? "|" : "") + data.substr(fields[i].begin, fields[i].end - fields[i].begin);
        seen += "\n";
    }
    return seen + "line " + std::to_string(line);
}

TEST(CliCsv, LinesWithAndWithoutQuotesGiveTheFieldsOfTheStateMachine) {
    EXPECT_EQ(records("a,b\r\n,\n\n\r\nx\ry,z\r\r\n"), "a|b\n|\n\n\nx\ry|z\r\nline 6");
    EXPECT_EQ(records("a,\"b\nc\",d\ne,f"), "a|\"b\nc\"|d\ne|f\nline 3");
    EXPECT_EQ(records("a,b\nc,d\"e\nf,g\n"), "a|b\nerror at 2:2");
    // A quote on a later line leaves an earlier line to the quick path.
    EXPECT_EQ(records("a,b\n\"c\"\"\",d\r\n"), "a|b\n\"c\"\"\"|d\nline 3");
}

TEST(CliMaskCache, WhatItGivesBackIsWhatWasKeptThroughForgettingAndResting) {
    // Few values at most, so that it forgets again and again; values that
    // differ only in length or in a late byte; some too long to keep.
    mask_cache cache(7, 64, 4096);
    std::map<std::string, std::string> kept;
    std::mt19937 random(1);
    size_t found = 0;
    for (int i = 0; i < 20000; i++) {
        size_t pick = random() % (i < 10000 ? 60 : 100000);
        std::string value(pick % 3 == 0 ? 100 : pick % 20, 'a');
        value += std::to_string(pick);
        std::string masking = "masked " + value;
        const char *text;
        size_t length;
        if (cache.find(value.data(), value.size(), text, length)) {
            ASSERT_EQ(std::string(text, length), kept.at(value)) << value;
            ASSERT_LE(value.size(), mask_cache::longest);
            found++;
        } else {
            cache.keep(value.data(), value.size(), masking.data(), masking.size());
            kept[value] = masking;
        }
    }
    // The first half repeats 40 values that are kept: found nearly every
    // time they come (two times in three). The second
    // hardly repeats: the cache forgets, then rests and finds nothing.
    EXPECT_GT(found, 6000u);
    EXPECT_GT(cache.forgotten(), 0u);
    std::string value = "b", masking = "masked b";
    cache.keep(value.data(), value.size(), masking.data(), masking.size());
    const char *text;
    size_t length;
    EXPECT_FALSE(cache.find(value.data(), value.size(), text, length)) << "a resting cache keeps";
}

} // namespace
