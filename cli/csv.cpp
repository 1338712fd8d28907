// csv.cpp: the CSV of onymix-cli's --mask runs (csv.h). The reader is a
// small state machine over bytes that looks at each byte once (unquoted,
// inside quotes, after a closing quote) and copies nothing, so that a block
// of a few megabytes is cut into records at the speed of a scan. A line
// without quotes, the common record, is cut at its commas in one pass that
// looks at sixteen bytes at a time with SSE2, or eight in a machine word
// elsewhere, and gives the fields the state machine would.
#include "csv.h"

#include "byte_scan.h"

#include <cstring>

namespace {

using namespace byte_scan;

bool is_line_end(const char *data, size_t size, size_t at) {
    return data[at] == '\n' || (data[at] == '\r' && at + 1 < size && data[at + 1] == '\n');
}

// A record that is one line without quotes, ended by an LF: its fields
// into fields, and at past the LF. False, with at unchanged, for any other
// record, which the state machine reads.
bool read_plain_line(const char *data, size_t size, size_t &at, std::vector<csv_field> &fields) {
    fields.clear();
    size_t field = at;
    bool plain = false;
    each_among<',', '\n', '"'>(data, at, size, [&](size_t b) {
        if (data[b] == ',') {
            fields.push_back(csv_field{field, b, false});
            field = b + 1;
            return true;
        }
        if (data[b] == '\n') {
            // The CR of a CR LF line end is no part of the last field.
            size_t end = b > field && data[b - 1] == '\r' ? b - 1 : b;
            fields.push_back(csv_field{field, end, false});
            at = b + 1;
            plain = true;
        }
        return false;
    });
    return plain;
}

} // namespace

csv_read csv_read_record(const char *data, size_t size, size_t &at, bool last,
                         std::vector<csv_field> &fields, unsigned long long &line,
                         csv_error &error) {
    if (at < size && read_plain_line(data, size, at, fields)) {
        line++;
        return csv_read::record;
    }
    fields.clear();
    unsigned long long lines = line;
    size_t p = at;
    auto fail = [&](unsigned long long where, const char *what) {
        error = {where, fields.size() + 1, what};
        return csv_read::error;
    };
    for (;;) {
        csv_field field{p, p, false};
        if (p < size && data[p] == '"') {
            field.quoted = true;
            unsigned long long opened = lines;
            size_t q = p + 1;
            for (;;) {
                while (q < size && data[q] != '"')
                    lines += data[q++] == '\n';
                if (q == size)
                    return last ? fail(opened, "a quoted field whose quote is never closed")
                                : csv_read::more;
                // "" is a quote within the field, " alone its end: the next
                // byte tells them apart.
                if (q + 1 == size && !last)
                    return csv_read::more;
                if (q + 1 < size && data[q + 1] == '"') {
                    q += 2;
                    continue;
                }
                break;
            }
            p = field.end = q + 1;
            if (p == size && !last)
                return csv_read::more;
            if (p < size && data[p] == '\r' && p + 1 == size && !last)
                return csv_read::more;
            if (p < size && data[p] != ',' && !is_line_end(data, size, p))
                return fail(lines, "bytes after the closing quote of a quoted field");
        } else {
            size_t q = p;
            while (q < size && data[q] != ',' && data[q] != '\n' && data[q] != '"')
                q++;
            if (q < size && data[q] == '"')
                return fail(lines, "a quote inside a field that does not begin with one");
            if (q == size && !last)
                return csv_read::more;
            p = field.end = q;
            if (q < size && data[q] == '\n' && q > field.begin && data[q - 1] == '\r')
                field.end = q - 1;
        }
        fields.push_back(field);
        if (p == size) {
            at = p;
            line = lines;
            return csv_read::record;
        }
        if (data[p] == ',') {
            p++;
            continue;
        }
        p += data[p] == '\r' ? 2 : 1;
        at = p;
        line = lines + 1;
        return csv_read::record;
    }
}

void csv_value(const char *data, const csv_field &field, std::string &scratch, const char *&value,
               size_t &length) {
    if (!field.quoted) {
        value = data + field.begin;
        length = field.end - field.begin;
        return;
    }
    const char *inside = data + field.begin + 1;
    size_t size = field.end - field.begin - 2;
    if (!std::memchr(inside, '"', size)) {
        value = inside;
        length = size;
        return;
    }
    scratch.clear();
    for (size_t i = 0; i < size; i++) {
        scratch += inside[i];
        i += inside[i] == '"'; // the second of ""
    }
    value = scratch.data();
    length = scratch.size();
}

char *csv_write_field(char *to, const char *text, size_t length, bool quoted) {
    if (!quoted && csv_quote_at(text, length) == length) {
        if (length)
            std::memcpy(to, text, length);
        return to + length;
    }
    *to++ = '"';
    for (size_t i = 0; i < length; i++) {
        *to++ = text[i];
        if (text[i] == '"')
            *to++ = '"';
    }
    *to++ = '"';
    return to;
}
