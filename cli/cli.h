// cli.h: what the files of onymix-cli share. options.cpp reads the command
// line, input.cpp the key file and the lines of standard input, output.cpp
// writes the names in blocks and progress.cpp draws the progress line;
// mask.cpp and mask_block.cpp mask a CSV file (over csv.h) or a pg_dump
// (over dump.h and copy_text.h); main.cpp runs them.
#pragma once

#include "onymix.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The command line (options.cpp).

// One --mask COLUMN=KIND: kind is ONYMIX_MASK_FIRST_NAME, _SURNAME or
// _FULL_NAME, or -1 for the pseudonym of the value in mode. index is the
// column's, from 0, once the run has found it.
struct mask_rule {
    std::string column;
    int kind = -1, mode = -1;
    size_t index = 0;
};

// What it asks for. mode is already the default of the kind of run when none
// was given; key holds the key of --key when keyed, and without a key the
// names are keyed with 16 zero bytes.
struct cli_options {
    int mode = -1;
    bool seeded = false, counted = false, started = false, unique = false, weighted = false,
         quiet = false;
    unsigned long long seed = 0, start = 0, first_id = 0, last_id = 0;
    long long count = 1;
    int format = ONYMIX_TEXT;
    bool id_range = false, by_id = false, pseudonymize = false;
    const char *key_text = nullptr, *key_file = nullptr;
    bool keyed = false;
    unsigned char key[ONYMIX_KEY_SIZE];
    // --mask and what goes with it; jobs 0 is every core.
    std::vector<mask_rule> masks;
    bool no_header = false, dump = false, mode_given = false, format_given = false;
    const char *input_path = nullptr, *output_path = nullptr;
    unsigned jobs = 0;
};

// Reads argv into options. -1 when the run goes on; otherwise the exit
// code: 0 after --help or --version, 2 after a usage error.
int read_options(int argc, char **argv, cli_options &options);

// Says on standard error what is wrong with the command line, and value when
// it is not null, in one line, and in a second where the help is. Returns 2,
// the exit code.
int bad_usage(const char *what, const char *value);

// Decimal digits and nothing else, 0 to 2^64 - 1, from begin to end.
bool parse_unsigned(const char *begin, const char *end, unsigned long long &value);

// "" for a key written as 32 hex digits (either case), then in key;
// otherwise what is wrong with the text, without showing it: it may be all
// but a secret.
std::string parse_key(const char *text, size_t length, unsigned char key[ONYMIX_KEY_SIZE]);

// Standard input and the key file (input.cpp).

// The key in the file at path: 16 bytes, or 32 hex digits and LF or CR LF
// or nothing. 0, or 2 after a message.
int read_key_file(const char *path, unsigned char key[ONYMIX_KEY_SIZE]);

// The runs over the lines of standard input: the name of each id read, one
// decimal number a line, and the pseudonym of each line. They return the
// run's exit code, or reader_gone.
int write_by_id(int mode, const unsigned char *key, int format);
int write_pseudonyms_of_lines(int mode, const unsigned char *key, int format);

// The names on standard output (output.cpp), in blocks of block_size bytes,
// the first of which begins with the format's header.

const size_t block_size = 1 << 16;

// The code of a run that ended because the reader of its output has gone:
// the end of the wanted output, no error, so exit code 0.
const int reader_gone = -1;

// Puts the format's header before the first names.
void begin_output(int format);

// The format's header alone, when no names came behind it. False when it
// could not be written, code then the run's exit code.
bool put_header(int &code);

// After a bulk call refused the names: a message and exit code 1.
int out_of_order(const char *call);

// The runs of names. Each gives the run's exit code, or reader_gone: as
// its value, or in code when it returns false.

// The next count names of the sequence of g.
int write_sequence(onymix_generator *g, int format, long long count);
// The names of ids first to last, both included (which may be all 2^64).
int write_id_range(int mode, const unsigned char *key, unsigned long long first,
                   unsigned long long last, int format);
// The names of count ids, and the pseudonyms of count values.
bool write_listed_ids(int mode, const unsigned char *key, const unsigned long long *ids,
                      size_t count, int format, int &code);
bool write_pseudonyms(int mode, const unsigned char *key, const void *const *values,
                      const size_t *lengths, size_t count, int format, int &code);

// The progress line on standard error (progress.cpp).

// Starts the run's meter: show, whether to draw the line at all; names, the
// names of the run when names_known; unit, what it counts.
void progress_begin(bool show, bool names_known, double names, const char *unit = "names");
// Counts names (or units) just written, and draws the line when it is time.
void progress_add(unsigned long long names);
// Clears the line, if one is drawn, leaving the terminal as it was, and
// shows none after.
void progress_clear();

// The --mask run (mask.cpp): the CSV file (or with --dump the plain
// pg_dump) of options.input_path, or standard input, with the fields of the masked columns
// replaced, on standard output or into options.output_path. Returns the exit code.
int run_mask(cli_options &options);

// Bytes whose size grows without clearing what it adds: a block's input,
// which fread writes over at once, and its output, written in place. The
// memory is kept when the size shrinks, so a block takes it once.
class byte_buffer {
  public:
    char *data() {
        return bytes.get();
    }
    const char *data() const {
        return bytes.get();
    }
    size_t size() const {
        return length;
    }
    bool empty() const {
        return length == 0;
    }
    // Room for at least n bytes, the first size() kept.
    void reserve(size_t n);
    // The size n; bytes past the size before are not set.
    void resize(size_t n) {
        if (n > room)
            reserve(n);
        length = n;
    }

  private:
    std::unique_ptr<char[]> bytes;
    size_t length = 0, room = 0;
};

// One block of whole records of the input and what masking it makes
// (mask_block.cpp).
struct mask_span {
    size_t begin, end; // the field's bytes in the block, quotes included
    unsigned rule;     // its rule's place in the options' masks
    bool quoted;       // in a COPY block: it holds a backslash
};
struct mask_block {
    byte_buffer bytes;
    std::vector<mask_span> spans; // in the order of the bytes
    unsigned long long records = 0;
    byte_buffer out;
    const char *refused = nullptr; // the library's call that refused a masking (a bug), or null
    bool copy_text = false;        // the fields are COPY's (copy_text.h), not CSV's
    // Working memory, kept from block to block so that it is taken once:
    // scratch holds a value read out of its quotes (or COPY's escapes),
    // special a masking that needs them.
    struct working {
        std::string scratch, special;
    } work;
};

// Fills block.out: block.bytes with each span's field replaced by its
// masking, quoted as csv_write_field quotes, or escaped as copy_write_field
// escapes: the maskings by masker, the pseudonyms under key. caches, when
// not null, are the calling thread's, one for each rule (mask_cache.h):
// maskings they hold are taken from them, and those made are kept in them.
class mask_cache;
void mask_block_run(mask_block &block, const std::vector<mask_rule> &rules,
                    const unsigned char *key, const onymix_masker *masker,
                    mask_cache *caches = nullptr);
