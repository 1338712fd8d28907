// dump.h: a plain-format pg_dump as onymix-cli's --dump runs read it
// (dump.cpp): one line at a time, the SQL between the tables' data looked
// at only for what decides the masking (the client encoding, partitions,
// INSERT statements), and in each COPY block of a table with a masked
// column the fields of that column found, for mask_block_run to mask.
#pragma once

#include "cli.h"
#include "csv.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// A table as PostgreSQL names it: each part without pg_dump's quotes, an
// unquoted part in lower case; schema empty when the dump gave none.
struct dump_table {
    std::string schema, name;
    bool operator<(const dump_table &other) const {
        return schema != other.schema ? schema < other.schema : name < other.name;
    }
};

// What the reader knows of the dump so far.
struct dump_scan {
    // The --mask rules, read as schema.table.column or table.column.
    struct rule {
        std::string given; // as --mask wrote it
        bool schema_given = false;
        std::string schema, table, column;
        bool used = false; // it has matched a column of a COPY block
    };
    std::vector<rule> rules;
    std::map<dump_table, dump_table> parent_of; // a partition's table
    std::set<dump_table> copied;                // tables whose data has passed
    bool encoding_set = false;
    // Inside a COPY block: its table, its columns and, when one of them is
    // masked, for each its rule + 1 or 0.
    bool in_copy = false, masking = false;
    unsigned long long copy_line = 0;
    dump_table copying;
    std::vector<std::string> columns;
    std::vector<size_t> rule_of;
    std::string message; // the text of the last error
};

// Reads the rules' columns. -1, or 2 after a message.
int dump_begin(dump_scan &scan, const std::vector<mask_rule> &rules);

// Reads the line that begins at data[at], as csv_read_record reads a
// record: record (at past its LF, line moved on, the spans of its masked
// fields added), more (no LF before size and last false: nothing changed)
// or error (error says where and what; error.what points into scan).
csv_read dump_read_line(dump_scan &scan, const char *data, size_t size, size_t &at, bool last,
                        unsigned long long &line, std::vector<mask_span> &spans, csv_error &error);

// After the last line: false, with error, when the input ended inside a
// COPY block or a rule matched no column.
bool dump_finish(dump_scan &scan, csv_error &error);
