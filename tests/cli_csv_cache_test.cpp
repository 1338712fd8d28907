// Tests of onymix-cli's CSV reader and writer (cli/csv.cpp) on lines that
// the reader's quick path for lines without quotes takes or must leave
// alone, on bytes at every place of the stretches it looks at together, and
// of the scans under them (byte_scan.h), and of the cache of maskings
// (cli/mask_cache.cpp) as it fills, forgets and rests. Built twice: with
// SSE2 where the machine has it, and with words.
#include "../cli/csv.h"
#include "../cli/mask_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(CliCsv, RecordsOfEveryLengthAreCutWhereTheyWereJoined) {
    // Fields of 0 to 40 bytes, plain or quoted, so that commas, quotes and
    // line ends fall at every place of a stretch; the last record may have
    // no line end.
    std::mt19937 random(3);
    for (int round = 0; round < 200; round++) {
        std::string data;
        std::vector<std::vector<std::string>> written;
        unsigned long long lines = 1;
        for (int r = 0; r < 6; r++) {
            written.emplace_back();
            for (int f = 0, n = 1 + random() % 5; f < n; f++) {
                bool quoted = random() % 4 == 0;
                std::string field;
                for (size_t i = 0, length = random() % 41; i < length; i++) {
                    const char *bytes = quoted ? "ab,\"\n\r" : "ab \r\xC3";
                    field += bytes[random() % (quoted ? 6 : 5)];
                }
                if (!quoted && !field.empty() && field.back() == '\r')
                    field.back() = 'b'; // before a line end, it would be part of it
                std::string quoted_field = "\"";
                for (char c : field) {
                    quoted_field += c == '"' ? "\"\"" : std::string(1, c);
                    lines += c == '\n';
                }
                written.back().push_back(quoted ? quoted_field + "\"" : field);
                data += (f ? "," : "") + written.back().back();
            }
            if (r < 5 || random() % 2) {
                data += random() % 2 ? "\r\n" : "\n";
                lines++;
            }
        }
        std::vector<csv_field> fields;
        unsigned long long line = 1;
        csv_error error{};
        size_t at = 0;
        for (const auto &record : written) {
            ASSERT_EQ(csv_read_record(data.data(), data.size(), at, true, fields, line, error),
                      csv_read::record)
                << data;
            ASSERT_EQ(fields.size(), record.size()) << data;
            for (size_t i = 0; i < fields.size(); i++)
                EXPECT_EQ(data.substr(fields[i].begin, fields[i].end - fields[i].begin), record[i])
                    << data;
        }
        EXPECT_EQ(at, data.size());
        EXPECT_EQ(line, lines) << data;
    }
}

TEST(CliCsv, PlainLinesAreReadAsTheStateMachineReadsThemUpToTheFirstThatIsNot) {
    // Lines of fields of a, b, spaces and CRs, LF or CR LF ended; now and
    // then a quote, or a last record without a line end; a stop anywhere.
    std::mt19937 random(9);
    for (int round = 0; round < 400; round++) {
        std::string data;
        for (int r = 0, lines = 1 + random() % 8; r < lines; r++) {
            for (int f = 0, n = 1 + random() % 5; f < n; f++) {
                data += f ? "," : "";
                for (size_t i = 0, length = random() % 30; i < length; i++)
                    data += "ab \r"[random() % 4];
                if (random() % 40 == 0)
                    data += "\"";
            }
            data += random() % 2 ? "\r\n" : "\n";
        }
        if (random() % 3 == 0)
            data += "x,y";
        size_t stop = 1 + random() % data.size();
        std::vector<std::vector<std::pair<size_t, size_t>>> plain(1);
        size_t at = csv_read_plain_lines(
            data.data(), 0, data.size(), stop,
            [&](size_t begin, size_t end) { plain.back().emplace_back(begin, end); },
            [&] {
                plain.emplace_back();
                return true;
            });
        plain.pop_back();
        // The same records from the state machine, up to where it stopped.
        std::vector<csv_field> fields;
        unsigned long long line = 1;
        csv_error error{};
        size_t from = 0;
        for (const auto &record : plain) {
            ASSERT_EQ(csv_read_record(data.data(), data.size(), from, true, fields, line, error),
                      csv_read::record);
            ASSERT_EQ(fields.size(), record.size()) << data;
            for (size_t i = 0; i < fields.size(); i++)
                EXPECT_EQ(std::make_pair(fields[i].begin, fields[i].end), record[i]) << data;
        }
        ASSERT_EQ(from, at) << data;
        // It stopped at the end, at the stop, or before a record that is
        // no plain line.
        size_t lf = data.find('\n', at);
        EXPECT_TRUE(at == data.size() || at >= stop || lf == std::string::npos ||
                    data.find('"', at) < lf)
            << data << " at " << at;
    }
}

TEST(CliCsv, AFieldIsQuotedWhenAByteAnywhereInItNeedsIt) {
    char out[64];
    for (size_t length = 0; length <= 40; length++) {
        std::string plain(length, 'n');
        char *end = csv_write_field(out, plain.data(), length, false);
        EXPECT_EQ(std::string(out, end), plain);
        for (size_t at = 0; at < length; at++)
            for (char c : {',', '"', '\r', '\n'}) {
                std::string text = plain;
                text[at] = c;
                std::string expected = "\"" + text.substr(0, at) +
                                       (c == '"' ? "\"\"" : text.substr(at, 1)) +
                                       text.substr(at + 1) + "\"";
                end = csv_write_field(out, text.data(), length, false);
                EXPECT_EQ(std::string(out, end), expected) << length << " " << at;
            }
    }
}

TEST(ByteScan, TheBytesSoughtAreFoundAtEveryPlaceOfTextsOfEveryLength) {
    // first_among looks at a short text in two loads that overlap, at a
    // long one stretch by stretch and its tail again; each_among at 64
    // bytes at once, then stretch by stretch.
    for (size_t length = 0; length <= 80; length++)
        for (size_t first = 0; first <= length; first++) {
            std::string text(length, 'n');
            if (first < length)
                text[first] = '"';
            // A later one, which must not be taken for the first.
            if (first + 3 < length)
                text[length - 1] = '\n';
            EXPECT_EQ(csv_quote_at(text.data(), length), first) << length;
        }
    std::mt19937 random(5);
    for (int round = 0; round < 300; round++) {
        std::string text(random() % 300, 'n');
        std::vector<size_t> sought, seen;
        for (size_t i = 0; i < text.size(); i++)
            if (random() % 7 == 0) {
                text[i] = ",\n\""[random() % 3];
                sought.push_back(i);
            }
        size_t begin = text.empty() ? 0 : random() % (text.size() / 4 + 1);
        sought.erase(sought.begin(), std::lower_bound(sought.begin(), sought.end(), begin));
        bool whole =
            byte_scan::each_among<',', '\n', '"'>(text.data(), begin, text.size(), [&](size_t at) {
                seen.push_back(at);
                return true;
            });
        EXPECT_TRUE(whole);
        EXPECT_EQ(seen, sought) << text.size() << " from " << begin;
    }
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
