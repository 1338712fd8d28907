// Tests of onymix-cli --mask --dump on small plain-format dumps, run as a
// separate process: the golden maskings through COPY's escapes, names
// compared as PostgreSQL compares them, partitions, what is refused and
// where, and the same bytes on any number of threads.
#include "support/cli_run.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const std::string key = " --key 000102030405060708090a0b0c0d0e0f";
const std::string head = "SET client_encoding = 'UTF8';\n";

run_result dump_run(const std::string &arguments, const std::string &input) {
    std::string in = testing::TempDir() + "cli_dump_in_" + std::to_string(getpid());
    std::ofstream(in, std::ios::binary) << input;
    run_result result = run_cli("--dump" + key + " " + arguments, in);
    std::remove(in.c_str());
    return result;
}

// A golden file's text (\\ \t \n \r \xHH) as bytes.
std::string unescape(const std::string &text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i] == '\\' ? text[++i] : 0;
        if (c == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += c == 0 ? text[i] : c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        }
    }
    return bytes;
}

// bytes as COPY TO writes them; with variant, each byte that COPY would
// write as \X (and every third other one) in another escape that COPY FROM
// reads as the same byte: octal, hex, or a backslash before itself.
std::string copy_text(const std::string &bytes, int variant = 0) {
    static const char escapes[] = "\bb\ff\nn\rr\tt\vv\\\\"; // a byte, then its letter
    std::string text;
    char octal[8];
    for (size_t i = 0; i < bytes.size(); i++) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        const char *letter = nullptr;
        for (const char *e = escapes; *e && !letter; e += 2)
            letter = *e == bytes[i] ? e + 1 : nullptr;
        bool special = letter != nullptr;
        if (variant == 1 && (special || i % 3 == 0)) {
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            text += octal;
        } else if (variant == 2 && (special || i % 3 == 0)) {
            std::snprintf(octal, sizeof octal, "\\x%02X", c);
            text += octal;
        } else if (variant == 3 && i % 3 == 0 && std::isalpha(c) && !std::strchr("bfnrtvx", c)) {
            text += std::string("\\") + static_cast<char>(c); // \a is a
        } else if (special) {
            text += std::string("\\") + *letter;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

TEST(CliDump, TheGoldenMaskingsThroughCopysEscapes) {
    for (const char *kind : {"first", "surname", "full"}) {
        std::ifstream golden(std::string(ONYMIX_SOURCE_DIR "/tests/golden/mask-") + kind +
                             "-000102030405060708090a0b0c0d0e0f.txt");
        // The value between two fields that stay as they are, one of them
        // NULL; the value itself NULL once.
        std::string input = head + "COPY public.people (id, name, note) FROM stdin;\n";
        std::string expected = input, line;
        int count = 0;
        while (std::getline(golden, line)) {
            size_t tab = line.find('\t');
            std::string value = unescape(line.substr(0, tab));
            std::string masked = unescape(line.substr(tab + 1));
            std::string id = std::to_string(count) + "\t";
            std::string note = count % 2 ? "\t\\N\n" : "\tMary\\\\Smith\n";
            input += id + copy_text(value, count++ % 4) + note;
            expected += id + copy_text(masked) + note;
        }
        input += "99\t\\N\tx\n\\.\n";
        expected += "99\t\\N\tx\n\\.\n";
        ASSERT_GT(count, 40) << kind;
        run_result r = dump_run(std::string("--mask people.name=") + kind, input);
        EXPECT_EQ(r.exit_code, 0) << kind << ": " << r.err;
        EXPECT_EQ(r.out, expected) << kind;
    }
}

TEST(CliDump, NamesAsPostgresqlComparesThemAndPartitions) {
    // Rows of one column, Mary: which tables get it masked tells which
    // rules matched.
    const char *tables[] = {"public.t",          "other.t",         "\"My Schema\".\"T\"\"x\"",
                            "public.\"Tx\"",     "public.part_1",   "public.part_1_a",
                            "public.late_child", "public.unrelated"};
    std::string input = head + "CREATE TABLE public.part_1 PARTITION OF public.parent\n" +
                        "ALTER TABLE ONLY public.part_1 ATTACH PARTITION public.part_1_a FOR "
                        "VALUES IN (1);\n";
    for (const char *table : tables)
        input += std::string("COPY ") + table + " (\"Name\", name) FROM stdin;\nMary\tMary\n\\.\n";
    // A partition named after its data, of a table with no masked column.
    input += "ALTER TABLE public.unrelated ATTACH PARTITION public.late_child FOR VALUES IN (2);\n";
    run_result r = dump_run("--mask t.name=first --mask '\"My Schema\".\"T\"\"x\".\"Name\"=first' "
                            "--mask 'Public.\"Tx\".NAME=first' --mask parent.name=first",
                            input);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    const char *masked[] = {"Mary\tHildegarde", "Mary\tHildegarde", "Hildegarde\tMary",
                            "Mary\tHildegarde", "Mary\tHildegarde", "Mary\tHildegarde",
                            "Mary\tMary",       "Mary\tMary"};
    std::string expected = input;
    for (size_t at = 0, i = 0; (at = expected.find("Mary\tMary\n", at)) != std::string::npos; at++)
        expected.replace(at, 9, masked[i++]);
    EXPECT_EQ(r.out, expected);
}

TEST(CliDump, WhatCouldLetDataThroughIsRefusedWithItsPlaceNeverItsValue) {
    const std::string copy = "COPY public.t (id, name) FROM stdin;\n";
    struct {
        std::string arguments, input, message;
    } const cases[] = {
        {"--mask t.name=first", head + "INSERT INTO public.t VALUES (1, 'Secret');\n",
         "line 2: an INSERT into public.t, a table with a masked column"},
        {"--mask t.name=first", head + "SET client_encoding = 'LATIN1';\n" + copy + "\\.\n",
         "line 2: the dump's client_encoding is not UTF8"},
        {"--mask t.name=first", copy + "1\tSecret\n\\.\n",
         "line 1: masked data before any SET client_encoding"},
        {"--mask t.name=first", head + copy + "1\tSecret\t3\n\\.\n",
         "line 3: a row of 3 fields in the COPY of public.t, which names 2 columns"},
        {"--mask t.name=first", head + copy + "1\tSec\\0ret\n\\.\n",
         "line 3, column 2: column name of public.t: an escape of a zero byte"},
        {"--mask t.name=first", head + copy + "1\tSec\rret\n\\.\n",
         "line 3, column 2: column name of public.t: a carriage return that is not written \\r"},
        {"--mask t.name=first", head + copy + "1\tSecret\\.\n\\.\n",
         "line 3, column 2: column name of public.t: an end-of-data mark \\. inside a line"},
        {"--mask t.name=first", head + copy + "1\tSecret\\\n\\.\n",
         "line 3: a backslash at the end of a line of COPY data"},
        {"--mask t.name=first", head + copy + "1\tSecret\n",
         "line 2: the input ends inside the data of this COPY of public.t, before its line \\."},
        {"--mask t.name=first",
         head + "COPY public.t (id, name) FROM stdin WITH (FORMAT csv);\n1,Secret\n\\.\n",
         "line 2: a COPY of public.t with options: only the text format that pg_dump writes"},
        {"--mask t.name=first --mask public.t.name=surname", head + copy + "\\.\n",
         "line 2: column name of public.t is masked by two --mask rules"},
        {"--mask 't.\"Name\"=first'", head + copy + "1\tSecret\n\\.\n",
         "--mask t.\"Name\": no COPY data of the dump has that column"},
        {"--mask p.name=first",
         head + copy + "\\.\nALTER TABLE ONLY public.p ATTACH PARTITION public.t FOR VALUES;\n",
         "line 4: public.t is made a partition of public.p, a table with a masked column, after "
         "the data of public.t has passed unmasked"},
        {"--mask name=first", head, "--mask name: with --dump, COLUMN is table.column or "},
        {"--mask t.name=first --no-header", head, "--dump does not go with --no-header"},
    };
    for (const auto &c : cases) {
        run_result r = dump_run(c.arguments, c.input);
        EXPECT_EQ(r.exit_code, 2) << c.input;
        EXPECT_EQ(r.err.substr(0, 12 + c.message.size()), "onymix-cli: " + c.message) << r.err;
        EXPECT_EQ(r.err.find("Secret"), std::string::npos) << r.err;
    }
    // The encoding compared as PostgreSQL compares its names.
    for (const char *name : {"'utf-8'", "'Unicode'", "UTF8"}) {
        run_result r = dump_run("--mask t.name=first", std::string("SET client_encoding = ") +
                                                           name + ";\n" + copy + "\\.\n");
        EXPECT_EQ(r.exit_code, 0) << name << ": " << r.err;
    }
}

TEST(CliDump, AnyNumberOfThreadsWritesTheSameBytes) {
    // About 6 MB, past several blocks of 1 MiB, SQL lines between the
    // tables' data.
    std::string input = head;
    for (int table = 0; table < 3; table++) {
        input += "COPY s.t" + std::to_string(table) + " (id, full_name, note) FROM stdin;\n";
        for (int i = 0; i < 60000; i++)
            input += std::to_string(i) + (i % 7 ? "\tMary Ann Smith-Jones\t" : "\t\\N\t") +
                     "a\\tnote of a few bytes\n";
        input += "\\.\nCREATE INDEX x ON s.t (id);\n";
    }
    input += std::string(3 << 20, '-') + "\n"; // a long line of SQL
    std::string rules = "--mask t0.full_name=full --mask t2.full_name=full --mask t1.note=Surname";
    run_result one = dump_run(rules + " --jobs 1", input);
    run_result four = dump_run(rules + " --jobs 4", input);
    EXPECT_EQ(one.exit_code, 0) << one.err;
    EXPECT_EQ(four.exit_code, 0) << four.err;
    EXPECT_GT(one.out.size(), 6u << 20);
    EXPECT_TRUE(one.out == four.out) << "--jobs 1 and --jobs 4 differ";
    EXPECT_EQ(one.out.substr(one.out.size() - 100), input.substr(input.size() - 100));
}

} // namespace
