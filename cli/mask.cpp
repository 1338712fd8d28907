// mask.cpp: onymix-cli's --mask run (cli.h). The input is read in blocks
// of whole records, found by the CSV reader (csv.h) so that line breaks
// inside quotes never cut a record, or with --dump of whole lines of a
// pg_dump (dump.h), every record checked as it goes. Each thread reads a
// block in its turn, masks it (mask_block.cpp) and, in their order, writes
// the blocks that are done, so that a block stays on the processor that
// read it, and a program writing the input (pg_dump) seldom waits. Output
// to a file goes to a temporary file beside it, put in its place only when
// the run succeeded, so a failed run leaves nothing behind.
#include "cli.h"
#include "csv.h"
#include "dump.h"
#include "mask_cache.h"

#include "../platform/system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <thread>
#include <utility>

namespace {

// A block: large enough that the library's calls and the turns of the
// threads cost little beside it, small enough that a thread's blocks stay
// in its processor's caches from their reading to their writing. The less
// memory a run touches, the faster it is: a page first touched costs the
// system time, and a block its processor holds is masked sooner. Each
// thread may have a few blocks read and not yet written, so that a thread
// the system holds back leaves the others work. From a pipe, a block is
// what the pipe holds (64 KiB on Linux): while one thread masks it, the
// program writing the pipe fills the next, where with a longer block it
// would wait for the reading.
const size_t file_block = 1 << 18, pipe_block = 1 << 16;
const unsigned blocks_a_thread = 4;
const char byte_order_mark[] = "\xEF\xBB\xBF";

struct mask_run {
    explicit mask_run(cli_options &options) : o(options) {}
    cli_options &o;
    std::FILE *in = nullptr, *out = nullptr;
    bool piped = false;        // in is a pipe
    size_t read_size = 0;      // of a block: file_block or pipe_block
    std::string temporary;     // the file written before it takes -o's place
    std::vector<char> pending; // read but not yet in a block: part of a record
    bool ended = false;        // the input has been read to its end
    std::vector<csv_field> fields;
    unsigned long long line = 1;
    size_t width = 0; // the fields of every record, 0 before the first
    bool header_left = false;
    std::vector<size_t> rule_of;                     // for each column, its rule + 1, or 0
    std::vector<std::pair<size_t, unsigned>> masked; // the masked columns, in order, and rules
    bool bad = false;                                // a record was wrong: error says how
    int read_error = 0; // the errno of a reading that failed, told when the threads are done
    csv_error error{};
    dump_scan dump; // with --dump, what its reader knows
};

// The error of run.error: with no line for what concerns the whole input,
// with no column for what concerns a whole line.
int input_error(const mask_run &run) {
    progress_clear();
    if (run.error.line == 0)
        std::fprintf(stderr, "onymix-cli: %s\n", run.error.what);
    else if (run.error.column == 0)
        std::fprintf(stderr, "onymix-cli: line %llu: %s\n", run.error.line, run.error.what);
    else
        std::fprintf(stderr, "onymix-cli: line %llu, column %zu: %s\n", run.error.line,
                     run.error.column, run.error.what);
    return 2;
}

// The rules' columns in the header's fields (or by number). -1, or 2 after
// a message.
int find_columns(mask_run &run, const char *data) {
    std::vector<mask_rule> &rules = run.o.masks;
    run.rule_of.assign(run.width, 0);
    std::string scratch;
    for (size_t r = 0; r < rules.size(); r++) {
        mask_rule &rule = rules[r];
        bool found = false;
        for (size_t c = 0; c < run.width && run.header_left; c++) {
            const char *name;
            size_t length;
            csv_value(data, run.fields[c], scratch, name, length);
            if (length == rule.column.size() &&
                std::memcmp(name, rule.column.data(), length) == 0) {
                if (found) {
                    std::string what =
                        "--mask " + rule.column + ": the header names two columns so";
                    return bad_usage(what.c_str(), nullptr);
                }
                found = true;
                rule.index = c;
            }
        }
        unsigned long long number = 0;
        if (!found &&
            parse_unsigned(rule.column.data(), rule.column.data() + rule.column.size(), number)) {
            if (number == 0 || number > run.width) {
                std::string what = "--mask " + rule.column + ": the first line has " +
                                   std::to_string(run.width) + " columns";
                return bad_usage(what.c_str(), nullptr);
            }
            found = true;
            rule.index = static_cast<size_t>(number - 1);
        }
        if (!found) {
            std::string what = "--mask " + rule.column + ": no column of that name in the header";
            return bad_usage(what.c_str(), nullptr);
        }
        if (run.rule_of[rule.index]) {
            std::string what = "column " + std::to_string(rule.index + 1) + " is masked twice";
            return bad_usage(what.c_str(), nullptr);
        }
        run.rule_of[rule.index] = r + 1;
    }
    return -1;
}

// Reads input into bytes from filled on, up to its size.
bool read_more(mask_run &run, byte_buffer &bytes, size_t filled) {
    size_t got = std::fread(bytes.data() + filled, 1, bytes.size() - filled, run.in);
    if (got < bytes.size() - filled) {
        if (std::ferror(run.in))
            return false;
        run.ended = true;
    }
    bytes.resize(filled + got);
    return true;
}

// Reads into block from bytes[at] on the records after the first that are
// plain lines with the first's number of fields (csv_read_plain_lines),
// up to the block's size, with the spans of their masked fields. Returns
// where it stopped, where csv_read_record goes on. A function of its own,
// not inlined into its caller, so that its loop's few words stay in
// registers.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
size_t
read_plain_records(mask_run &run, mask_block &block, size_t at) {
    // In locals, which the spans written do not change.
    const size_t width = run.width, *rule_of = run.rule_of.data(), masked = run.masked.size();
    std::vector<mask_span> &spans = block.spans;
    size_t column = 0, taken = spans.size(), records = 0;
    at = csv_read_plain_lines(
        block.bytes.data(), at, block.bytes.size(), run.read_size,
        [&](size_t begin, size_t end) {
            if (column < width && rule_of[column])
                spans.push_back({begin, end, static_cast<unsigned>(rule_of[column] - 1), false});
            column++;
        },
        [&] {
            if (column != width)
                return false; // csv_read_record tells what is wrong
            // Every record taken has a span of each masked column.
            column = 0;
            taken += masked;
            records++;
            return true;
        });
    spans.resize(taken);
    block.records += records;
    run.line += records;
    return at;
}

// The next block of whole records, with the spans to mask. -1 when it is
// made (perhaps empty, at the end); 1 when reading failed (run.read_error
// says why), told once no thread writes, as writing draws the progress; 2
// after a message, which only the first block, read before any is
// written, gives; run.bad when a record was wrong, the block then holding
// those before it.
int next_block(mask_run &run, mask_block &block) {
    byte_buffer &bytes = block.bytes;
    // Copied, not swapped: the block keeps the room it had, and no block's
    // memory is given back and taken anew.
    bytes.reserve(2 * run.read_size);
    bytes.resize(run.pending.size());
    if (!run.pending.empty())
        std::memcpy(bytes.data(), run.pending.data(), run.pending.size());
    block.spans.clear();
    block.records = 0;
    block.copy_text = run.o.dump;
    size_t at = 0;
    for (bool short_of_bytes = true;;) {
        if (!run.ended && (short_of_bytes || bytes.size() - at < run.read_size)) {
            size_t filled = bytes.size();
            bytes.resize(filled + run.read_size);
            if (!read_more(run, bytes, filled)) {
                run.read_error = errno;
                return 1;
            }
        }
        if (!run.o.dump && block.records == 0 && at == 0 && run.width == 0 && bytes.size() >= 3 &&
            std::memcmp(bytes.data(), byte_order_mark, 3) == 0)
            at = 3; // the mark is kept, and is no part of the first field
        size_t before = at;
        short_of_bytes = false;
        // A block is full at read_size, or when no record is left.
        while (at < bytes.size() && at < run.read_size) {
            if (!run.o.dump && run.width != 0) {
                at = before = read_plain_records(run, block, at);
                if (at >= bytes.size() || at >= run.read_size)
                    break;
            }
            unsigned long long started = run.line;
            // A dump's line puts the spans of its masked fields in the block
            // itself; a CSV record's fields are sorted out below.
            csv_read got = run.o.dump ? dump_read_line(run.dump, bytes.data(), bytes.size(), at,
                                                       run.ended, run.line, block.spans, run.error)
                                      : csv_read_record(bytes.data(), bytes.size(), at, run.ended,
                                                        run.fields, run.line, run.error);
            if (got == csv_read::more) {
                short_of_bytes = true;
                break;
            }
            if (got == csv_read::error) {
                run.bad = true;
                at = before;
                break;
            }
            if (run.o.dump) {
                block.records++;
                before = at;
                continue;
            }
            if (run.width == 0) {
                run.width = run.fields.size();
                run.header_left = !run.o.no_header;
                if (int code = find_columns(run, bytes.data()); code >= 0)
                    return code;
                for (size_t c = 0; c < run.width; c++)
                    if (run.rule_of[c])
                        run.masked.emplace_back(c, static_cast<unsigned>(run.rule_of[c] - 1));
                if (run.header_left) {
                    run.header_left = false;
                    before = at;
                    continue;
                }
            } else if (run.fields.size() != run.width) {
                bool more = run.fields.size() > run.width;
                run.error = {started, more ? run.width + 1 : run.fields.size(),
                             more ? "a record with more fields than the first"
                                  : "a record with fewer fields than the first"};
                run.bad = true;
                at = before;
                break;
            }
            for (const auto &[c, rule] : run.masked)
                block.spans.push_back(
                    {run.fields[c].begin, run.fields[c].end, rule, run.fields[c].quoted});
            block.records++;
            before = at;
        }
        // Done when the block holds records, or there is nothing more to
        // read into it (an error, or the end).
        if (run.bad || at >= run.read_size || run.ended || block.records > 0)
            break;
    }
    run.pending.assign(bytes.data() + at, bytes.data() + bytes.size());
    bytes.resize(at);
    return -1;
}

// Where the output goes: standard output, or a new file beside -o's. -1,
// or the exit code after a message.
int open_output(mask_run &run) {
    if (!run.o.output_path) {
        run.out = stdout;
        return -1;
    }
    // A device or a pipe takes the masking as it comes: a file renamed into
    // its place would replace it (/dev/null, as root).
    if (platform_is_device(run.o.output_path)) {
        run.out = platform_open_file(run.o.output_path, "wb");
        if (!run.out) {
            std::fprintf(stderr, "onymix-cli: cannot write %s: %s\n", run.o.output_path,
                         std::strerror(errno));
            return 1;
        }
        return -1;
    }
    // A name of its own beside the file, so that the rename stays on one
    // file system and no other file is written over.
    for (int n = 0; n < 1000 && !run.out; n++) {
        run.temporary = std::string(run.o.output_path) + ".onymix-" + std::to_string(n) + ".tmp";
        if (!platform_file_exists(run.temporary.c_str()))
            run.out = platform_open_file(run.temporary.c_str(), "wb");
    }
    if (!run.out) {
        run.temporary.clear();
        std::fprintf(stderr, "onymix-cli: cannot write beside %s: %s\n", run.o.output_path,
                     std::strerror(errno));
        return 1;
    }
    return -1;
}

// Writes a block's masking. -1, reader_gone, or 1 after a message.
int put_block(mask_run &run, const mask_block &block) {
    const byte_buffer &text = block.out;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), run.out) != text.size()) {
        if (run.out == stdout && platform_reader_gone())
            return reader_gone;
        int error = errno;
        progress_clear();
        std::fprintf(stderr, "onymix-cli: writing %s: %s\n",
                     run.o.output_path ? run.o.output_path : "the masked records",
                     std::strerror(error));
        return 1;
    }
    progress_add(block.records);
    return -1;
}

// The blocks of a run in the order of the input, from the reading to the
// writing. Every thread does the same: it reads a block, when no other
// thread is reading and the line has room, and masks it at once, so that a
// block is read, masked and written on one processor, in its caches, never
// handed to another; and it writes the oldest blocks, when they are masked
// and no other thread is writing. Reading and writing each go one block at
// a time, in order, and a thread waits at the gate only when it can do
// neither.
struct line_up {
    struct entry {
        std::unique_ptr<mask_block> block;
        bool masked;
        unsigned thread; // that read it, and takes it back when it is written
    };
    platform_gate *gate;
    std::deque<entry> blocks; // read, not yet written
    // A thread's blocks written, kept for their memory, which is in its
    // processor's caches.
    std::vector<std::vector<std::unique_ptr<mask_block>>> spare;
    size_t most;                           // blocks in the line at most
    bool reading = false, writing = false; // a thread is
    bool more = true;                      // there is more to read
    std::vector<mask_cache> caches;        // a thread's, one a rule; kept from block to block
    const std::vector<mask_rule> *rules;
    const unsigned char *key;
    const onymix_masker *masker; // the run's, which every thread reads
    mask_run *run;
    int code = -1;        // -1, or the exit code that ended the run early
    int read_failed = -1; // -1, or the exit code of a reading that failed
};

// Writes the oldest block, when it is masked and no thread is writing
// (called locked, and locked again at the end). False when there is none.
bool write_next(line_up &l) {
    if (l.writing || l.blocks.empty() || !l.blocks.front().masked)
        return false;
    l.writing = true;
    std::unique_ptr<mask_block> block = std::move(l.blocks.front().block);
    unsigned thread = l.blocks.front().thread;
    l.blocks.pop_front();
    platform_gate_unlock(l.gate);
    int code = block->refused ? out_of_order(block->refused) : put_block(*l.run, *block);
    platform_gate_lock(l.gate);
    l.writing = false;
    l.spare[thread].push_back(std::move(block));
    if (code >= 0 && l.code < 0)
        l.code = code;
    platform_gate_wake(l.gate);
    return true;
}

// Reads the next block and masks it, when no thread is reading and the
// line has room (called locked, and locked again at the end). False when
// it cannot.
bool read_and_mask_next(line_up &l, unsigned thread) {
    if (!l.more || l.reading || l.blocks.size() >= l.most)
        return false;
    l.reading = true;
    std::unique_ptr<mask_block> block;
    if (l.spare[thread].empty()) {
        block = std::make_unique<mask_block>();
    } else {
        block = std::move(l.spare[thread].back());
        l.spare[thread].pop_back();
    }
    platform_gate_unlock(l.gate);
    // When reading fails, the blocks read before the failure are still
    // masked and written, as the records before any error are, and the
    // run then ends with the failure's code.
    mask_run &run = *l.run;
    int code = next_block(run, *block);
    bool more = code < 0 && !run.bad && !(run.ended && run.pending.empty());
    platform_gate_lock(l.gate);
    l.reading = false;
    l.more = more;
    if (code >= 0) {
        l.read_failed = code;
        l.spare[thread].push_back(std::move(block));
        platform_gate_wake(l.gate);
        return true;
    }
    mask_block &read = *block;
    // The entry stays where it is while the line grows at its end and is
    // written from its start.
    l.blocks.push_back({std::move(block), false, thread});
    line_up::entry &e = l.blocks.back();
    platform_gate_wake(l.gate); // another thread may read now
    platform_gate_unlock(l.gate);
    mask_block_run(read, *l.rules, l.key, l.masker, &l.caches[thread * l.rules->size()]);
    platform_gate_lock(l.gate);
    e.masked = true;
    platform_gate_wake(l.gate);
    return true;
}

void mask_some(unsigned thread, void *context) {
    line_up &l = *static_cast<line_up *>(context);
    platform_gate_lock(l.gate);
    while (l.code < 0 && (l.more || l.reading || !l.blocks.empty()))
        if (!write_next(l) && !read_and_mask_next(l, thread))
            platform_gate_wait(l.gate);
    platform_gate_unlock(l.gate);
}

// Reads, masks and writes the whole input. The run's exit code.
int mask_all(mask_run &run) {
    // A plain pg_dump through a pipe comes from one server process, a table
    // at a time, slower than one thread masks it; on the same machine more
    // threads only take the processors that pg_dump and its server need.
    unsigned jobs = run.o.jobs                ? run.o.jobs
                    : run.o.dump && run.piped ? 1
                                              : std::thread::hardware_concurrency();
    jobs = jobs ? jobs : 1;
    line_up l;
    l.gate = platform_gate_open();
    std::unique_ptr<onymix_masker, void (*)(onymix_masker *)> masker(onymix_masker_open(run.o.key),
                                                                     onymix_masker_close);
    if (!l.gate || !masker) {
        if (l.gate)
            platform_gate_close(l.gate);
        progress_clear();
        std::fputs("onymix-cli: out of memory\n", stderr);
        return 1;
    }
    // Room for the blocks masked while an older one still is.
    l.most = static_cast<size_t>(jobs) * blocks_a_thread;
    // The caches' seed: the key's bytes, which no input knows.
    uint64_t seed = 0;
    for (int i = 0; i < ONYMIX_KEY_SIZE; i++)
        seed = seed * 131 + run.o.key[i];
    l.caches.assign(jobs * run.o.masks.size(), mask_cache(seed));
    l.spare.resize(jobs);
    l.rules = &run.o.masks;
    l.key = run.o.key;
    l.masker = masker.get();
    l.run = &run;
    platform_run_parallel(jobs, mask_some, &l);
    platform_gate_close(l.gate);
    if (run.read_error) {
        progress_clear();
        std::fprintf(stderr, "onymix-cli: reading %s: %s\n",
                     run.o.input_path ? run.o.input_path : "standard input",
                     std::strerror(run.read_error));
    }
    if (l.code >= 0)
        return l.code;
    if (l.read_failed >= 0)
        return l.read_failed;
    if (run.bad || (run.o.dump && !dump_finish(run.dump, run.error)))
        return input_error(run);
    if (!run.o.dump && run.width == 0 && !run.o.no_header) {
        progress_clear();
        std::fputs("onymix-cli: the input is empty: it has no first line naming the columns\n",
                   stderr);
        return 2;
    }
    return 0;
}

bool zero_key(const unsigned char *key) {
    for (int i = 0; i < ONYMIX_KEY_SIZE; i++)
        if (key[i])
            return false;
    return true;
}

} // namespace

int run_mask(cli_options &o) {
    if (!o.keyed)
        return bad_usage("--mask needs a secret key: --key or --key-file", nullptr);
    if (zero_key(o.key))
        return bad_usage("the zero key keeps nothing secret: the name lists are public, so "
                         "anyone can mask every name under it and read the maskings back",
                         nullptr);
    mask_run run(o);
    if (o.dump)
        if (int code = dump_begin(run.dump, o.masks); code >= 0)
            return code;
    run.in = o.input_path ? platform_open_file(o.input_path, "rb") : stdin;
    if (!run.in) {
        std::fprintf(stderr, "onymix-cli: cannot read %s: %s\n", o.input_path,
                     std::strerror(errno));
        return 2;
    }
    if (int code = open_output(run); code >= 0) {
        if (o.input_path)
            std::fclose(run.in);
        return code;
    }
    run.piped = platform_is_pipe(run.in);
    run.read_size = run.piped ? pipe_block : file_block;
    bool shown = !o.quiet && platform_is_terminal(stderr) &&
                 (o.output_path || !platform_is_terminal(stdout));
    progress_begin(shown, false, 0, o.dump ? "lines" : "records");
    int code = mask_all(run);
    progress_clear();
    if (o.input_path)
        std::fclose(run.in);
    if (run.out == stdout) {
        if (code == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout)) &&
            !platform_reader_gone()) {
            std::perror("onymix-cli: writing the masked records");
            return 1;
        }
        return code == reader_gone ? 0 : code;
    }
    bool closed = std::fclose(run.out) == 0;
    if (code == 0 && !closed) {
        std::perror(("onymix-cli: writing " + std::string(o.output_path)).c_str());
        code = 1;
    }
    if (run.temporary.empty()) // a device, written as it came
        return code;
    if (code == 0 && !platform_replace_file(run.temporary.c_str(), o.output_path)) {
        std::fprintf(stderr, "onymix-cli: cannot put the masked file at %s: %s\n", o.output_path,
                     std::strerror(errno));
        code = 1;
    }
    if (code != 0)
        platform_remove_file(run.temporary.c_str());
    return code;
}
