// dump.cpp: the reading of a plain-format pg_dump for onymix-cli's --dump
// runs (dump.h). psql runs such a dump line by line and takes the lines
// after a COPY ... FROM stdin as the table's rows up to a line \., so the
// dump is read the same way; names are compared as PostgreSQL compares
// them once pg_dump's quotes are off. Whatever could let a masked
// column's data through unmasked (an INSERT, another COPY format, another
// encoding, a partition named after its data) stops the run.
#include "dump.h"
#include "byte_scan.h"
#include "copy_text.h"

#include <cstring>

namespace {

// Partitions of partitions, at most this deep: a loop in a broken dump
// ends.
const unsigned deepest = 1000;

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_word_byte(char c) {
    return !is_space(c) && !std::strchr(".,();\"'=", c);
}

// The bytes of a line, read from p on.
struct text {
    const char *p, *end;
};

void skip_spaces(text &t) {
    while (t.p < t.end && is_space(*t.p))
        t.p++;
}

// The keyword, in any case, as a whole word after any spaces.
bool take_word(text &t, const char *word) {
    skip_spaces(t);
    size_t n = std::strlen(word);
    if (static_cast<size_t>(t.end - t.p) < n)
        return false;
    for (size_t i = 0; i < n; i++)
        if (lower(t.p[i]) != lower(word[i]))
            return false;
    if (t.p + n < t.end && is_word_byte(t.p[n]))
        return false;
    t.p += n;
    return true;
}

// One identifier: between quotes, "" inside for one, as it is; otherwise
// in lower case, as PostgreSQL folds it.
bool take_identifier(text &t, std::string &out) {
    out.clear();
    if (t.p < t.end && *t.p == '"') {
        for (t.p++;;) {
            const void *quote = std::memchr(t.p, '"', static_cast<size_t>(t.end - t.p));
            if (!quote)
                return false;
            out.append(t.p, static_cast<const char *>(quote));
            t.p = static_cast<const char *>(quote) + 1;
            if (t.p < t.end && *t.p == '"') {
                out += '"';
                t.p++;
                continue;
            }
            return !out.empty();
        }
    }
    while (t.p < t.end && is_word_byte(*t.p))
        out += lower(*t.p++);
    return !out.empty();
}

bool take_table(text &t, dump_table &table) {
    skip_spaces(t);
    std::string first;
    if (!take_identifier(t, first))
        return false;
    if (t.p < t.end && *t.p == '.') {
        t.p++;
        table.schema = first;
        return take_identifier(t, table.name);
    }
    table.schema.clear();
    table.name = first;
    return true;
}

std::string shown(const dump_table &table) {
    return table.schema.empty() ? table.name : table.schema + "." + table.name;
}

// Whether the table, or a table it is a partition of at any depth, is one
// that is_it accepts.
template <typename test>
bool up_the_partitions(const dump_scan &scan, dump_table table, test is_it) {
    for (unsigned depth = 0; depth < deepest; depth++) {
        if (is_it(table))
            return true;
        auto up = scan.parent_of.find(table);
        if (up == scan.parent_of.end())
            return false;
        table = up->second;
    }
    return false;
}

// Whether the rule names the table or a table it is a partition of.
bool covers(const dump_scan &scan, const dump_scan::rule &rule, const dump_table &table) {
    return up_the_partitions(scan, table, [&rule](const dump_table &t) {
        return rule.table == t.name && (!rule.schema_given || rule.schema == t.schema);
    });
}

bool any_rule_covers(const dump_scan &scan, const dump_table &table) {
    for (const dump_scan::rule &rule : scan.rules)
        if (covers(scan, rule, table))
            return true;
    return false;
}

// Whether table is inner or one of its partitions, at any depth.
bool within(const dump_scan &scan, const dump_table &table, const dump_table &inner) {
    return up_the_partitions(scan, table, [&inner](const dump_table &t) {
        return t.schema == inner.schema && t.name == inner.name;
    });
}

csv_read fail(dump_scan &scan, csv_error &error, unsigned long long line, size_t column,
              std::string what) {
    scan.message = std::move(what);
    error = {line, column, scan.message.c_str()};
    return csv_read::error;
}

// child is a partition of parent. Its data, or a partition's of it, that
// has passed already went through unmasked if a rule covers parent.
csv_read link(dump_scan &scan, const dump_table &child, const dump_table &parent,
              unsigned long long line, csv_error &error) {
    scan.parent_of[child] = parent;
    if (!any_rule_covers(scan, parent))
        return csv_read::record;
    for (const dump_table &table : scan.copied)
        if (within(scan, table, child))
            return fail(scan, error, line, 0,
                        shown(child) + " is made a partition of " + shown(parent) +
                            ", a table with a masked column, after the data of " + shown(table) +
                            " has passed unmasked");
    return csv_read::record;
}

bool mentions_stdin(text t) {
    for (; t.end - t.p >= 5; t.p++)
        if (take_word(t, "stdin"))
            return true;
    return false;
}

// A line that begins COPY: the start of a table's data when it reads
// FROM stdin.
csv_read copy_begins(dump_scan &scan, text t, unsigned long long line, csv_error &error) {
    dump_table table;
    std::vector<std::string> columns;
    bool listed = false, read = take_table(t, table);
    skip_spaces(t);
    if (read && t.p < t.end && *t.p == '(') {
        listed = true;
        t.p++;
        for (std::string column;;) {
            skip_spaces(t);
            if (!take_identifier(t, column)) {
                read = false;
                break;
            }
            columns.push_back(column);
            skip_spaces(t);
            if (t.p < t.end && *t.p == ',') {
                t.p++;
                continue;
            }
            read = t.p < t.end && *t.p == ')';
            t.p += read;
            break;
        }
    }
    if (!read)
        return mentions_stdin(t) ? fail(scan, error, line, 0, "a COPY statement that is not read")
                                 : csv_read::record;
    if (!take_word(t, "FROM") || !take_word(t, "stdin"))
        return csv_read::record; // a COPY with no data in the dump
    skip_spaces(t);
    bool options = t.p == t.end || *t.p != ';';
    scan.in_copy = true;
    scan.masking = false;
    scan.copy_line = line;
    scan.copying = table;
    scan.copied.insert(table);
    scan.columns = std::move(columns);
    scan.rule_of.assign(scan.columns.size(), 0);
    if (!any_rule_covers(scan, table))
        return csv_read::record;
    if (options)
        return fail(scan, error, line, 0,
                    "a COPY of " + shown(table) +
                        " with options: only the text format that pg_dump writes is masked");
    if (!listed)
        return fail(scan, error, line, 0,
                    "a COPY of " + shown(table) + " that does not name its columns");
    for (size_t r = 0; r < scan.rules.size(); r++) {
        dump_scan::rule &rule = scan.rules[r];
        if (!covers(scan, rule, table))
            continue;
        for (size_t c = 0; c < scan.columns.size(); c++) {
            if (scan.columns[c] != rule.column)
                continue;
            if (scan.rule_of[c])
                return fail(scan, error, line, 0,
                            "column " + rule.column + " of " + shown(table) +
                                " is masked by two --mask rules");
            scan.rule_of[c] = r + 1;
            rule.used = scan.masking = true;
        }
    }
    if (scan.masking && !scan.encoding_set)
        return fail(scan, error, line, 0,
                    "masked data before any SET client_encoding: the dump's encoding is unknown");
    return csv_read::record;
}

// SET client_encoding: only UTF-8 is masked, as the maskings read UTF-8.
csv_read encoding_set(dump_scan &scan, text t, unsigned long long line, csv_error &error) {
    skip_spaces(t);
    if (t.p < t.end && *t.p == '=')
        t.p++;
    else
        take_word(t, "TO");
    skip_spaces(t);
    // Compared as PostgreSQL compares encoding names: letters and digits
    // alone, in lower case.
    std::string name;
    for (; t.p < t.end && *t.p != ';'; t.p++)
        if ((*t.p >= '0' && *t.p <= '9') || (lower(*t.p) >= 'a' && lower(*t.p) <= 'z'))
            name += lower(*t.p);
    if (name != "utf8" && name != "unicode")
        return fail(scan, error, line, 0,
                    "the dump's client_encoding is not UTF8: convert it, or dump with -E UTF8");
    scan.encoding_set = true;
    return csv_read::record;
}

// A line of SQL, outside the tables' data.
csv_read sql_line(dump_scan &scan, text t, unsigned long long line, csv_error &error) {
    if (t.p == t.end || !std::strchr("CIAScias", *t.p))
        return csv_read::record;
    text w = t;
    if (take_word(w, "COPY"))
        return copy_begins(scan, w, line, error);
    dump_table table, other;
    if (take_word(w, "INSERT")) {
        if (take_word(w, "INTO") && take_table(w, table) && any_rule_covers(scan, table))
            return fail(scan, error, line, 0,
                        "an INSERT into " + shown(table) +
                            ", a table with a masked column: only COPY data is masked, so dump "
                            "without --inserts or --column-inserts");
        return csv_read::record;
    }
    if (take_word(w, "SET")) {
        if (take_word(w, "client_encoding"))
            return encoding_set(scan, w, line, error);
        return csv_read::record;
    }
    if (take_word(w, "CREATE")) {
        // CREATE [UNLOGGED | FOREIGN ...] TABLE [IF NOT EXISTS] child PARTITION OF parent
        for (int words = 0; words < 3 && !take_word(w, "TABLE"); words++) {
            std::string skipped;
            skip_spaces(w);
            if (!take_identifier(w, skipped))
                return csv_read::record;
        }
        if (take_word(w, "IF") && !(take_word(w, "NOT") && take_word(w, "EXISTS")))
            return csv_read::record;
        if (take_table(w, table) && take_word(w, "PARTITION") && take_word(w, "OF") &&
            take_table(w, other))
            return link(scan, table, other, line, error);
        return csv_read::record;
    }
    if (take_word(w, "ALTER") && take_word(w, "TABLE")) {
        // ALTER TABLE [IF EXISTS] [ONLY] parent ATTACH PARTITION child
        if (take_word(w, "IF") && !take_word(w, "EXISTS"))
            return csv_read::record;
        take_word(w, "ONLY");
        if (take_table(w, other) && take_word(w, "ATTACH") && take_word(w, "PARTITION") &&
            take_table(w, table))
            return link(scan, table, other, line, error);
    }
    return csv_read::record;
}

// A row of a COPY block with a masked column: its fields cut at the tabs
// that no backslash escapes, and the masked ones kept as spans, their
// escapes checked when they have a backslash or a CR.
csv_read copy_row(dump_scan &scan, const char *data, size_t begin, size_t end,
                  unsigned long long line, std::vector<mask_span> &spans, csv_error &error) {
    size_t width = scan.columns.size(), field = 0, start = begin, before = spans.size();
    bool escaped = false, carriage_return = false;
    const char *fault = nullptr;
    auto field_ends = [&](size_t at) {
        if (field < width && scan.rule_of[field] &&
            !(at - start == 2 && data[start] == '\\' && data[start + 1] == 'N')) {
            if (escaped || carriage_return)
                fault = copy_field_fault(data + start, at - start);
            if (!fault)
                spans.push_back(
                    {start, at, static_cast<unsigned>(scan.rule_of[field] - 1), escaped});
        }
        field++;
    };
    // Each tab, backslash or CR in turn (the bytes a row's reading stops
    // at); a byte a backslash escapes is passed over.
    size_t next = begin;
    bool lone_backslash = false;
    byte_scan::each_among<'\t', '\\', '\r'>(data, begin, end, [&](size_t p) {
        if (p < next)
            return true;
        next = p + 1;
        if (data[p] == '\t') {
            field_ends(p);
            start = p + 1;
            escaped = carriage_return = false;
        } else if (data[p] == '\\') {
            // psql ends the row at the LF, the server would read on.
            lone_backslash = p + 1 == end;
            escaped = true;
            next = p + 2;
        } else {
            carriage_return = true;
        }
        return !fault && !lone_backslash;
    });
    if (lone_backslash) {
        spans.resize(before);
        return fail(scan, error, line, 0, "a backslash at the end of a line of COPY data");
    }
    if (!fault)
        field_ends(end);
    if (fault) {
        spans.resize(before);
        return fail(scan, error, line, field,
                    "column " + scan.columns[field - 1] + " of " + shown(scan.copying) + ": " +
                        fault);
    }
    if (field != width) {
        spans.resize(before);
        return fail(scan, error, line, 0,
                    "a row of " + std::to_string(field) + " fields in the COPY of " +
                        shown(scan.copying) + ", which names " + std::to_string(width) +
                        " columns");
    }
    return csv_read::record;
}

} // namespace

int dump_begin(dump_scan &scan, const std::vector<mask_rule> &rules) {
    scan.rules.clear();
    for (const mask_rule &given : rules) {
        text t{given.column.data(), given.column.data() + given.column.size()};
        std::vector<std::string> parts;
        for (std::string part; take_identifier(t, part);) {
            parts.push_back(part);
            if (t.p == t.end || *t.p != '.')
                break;
            t.p++;
        }
        if (t.p != t.end || parts.size() < 2 || parts.size() > 3) {
            std::string what = "--mask " + given.column +
                               ": with --dump, COLUMN is table.column or schema.table.column";
            return bad_usage(what.c_str(), nullptr);
        }
        dump_scan::rule rule;
        rule.given = given.column;
        rule.schema_given = parts.size() == 3;
        rule.schema = rule.schema_given ? parts[0] : "";
        rule.table = parts[parts.size() - 2];
        rule.column = parts.back();
        scan.rules.push_back(rule);
    }
    return -1;
}

csv_read dump_read_line(dump_scan &scan, const char *data, size_t size, size_t &at, bool last,
                        unsigned long long &line, std::vector<mask_span> &spans, csv_error &error) {
    const void *lf = std::memchr(data + at, '\n', size - at);
    if (!lf && !last)
        return csv_read::more;
    size_t end = lf ? static_cast<size_t>(static_cast<const char *>(lf) - data) : size;
    csv_read got = csv_read::record;
    if (!scan.in_copy) {
        got = sql_line(scan, text{data + at, data + end}, line, error);
    } else if ((end - at == 2 || (end - at == 3 && data[at + 2] == '\r')) && data[at] == '\\' &&
               data[at + 1] == '.') {
        scan.in_copy = false;
    } else if (scan.masking) {
        got = copy_row(scan, data, at, end, line, spans, error);
    }
    if (got == csv_read::record) {
        at = lf ? end + 1 : end;
        line += lf != nullptr;
    }
    return got;
}

bool dump_finish(dump_scan &scan, csv_error &error) {
    if (scan.in_copy) {
        fail(scan, error, scan.copy_line, 0,
             "the input ends inside the data of this COPY of " + shown(scan.copying) +
                 ", before its line \\.");
        return false;
    }
    for (size_t r = 0; r < scan.rules.size(); r++)
        if (!scan.rules[r].used) {
            fail(scan, error, 0, 0,
                 "--mask " + scan.rules[r].given + ": no COPY data of the dump has that column");
            return false;
        }
    return true;
}
