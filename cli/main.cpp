// main.cpp: onymix-cli, the name generator on the command line, a client of
// the library's public interface (onymix.h); of the system it needs only
// what the platform's seam says of its standard streams and its clock.
//
// Without --count it does what one Generate command does: every pick
// re-seeds from the current whole second of uptime (or from --seed). With
// --count N the generator is seeded once and the picks draw on from its
// sequence, so the N names differ. --ids, --by-id and --pseudonymize write
// names by id and pseudonyms instead, which need no generator, and --mask
// masks the columns of a CSV file (mask.cpp). Every name
// is written by one of the library's bulk calls in large blocks, so memory
// stays the same however many are asked for (only a line of standard input
// longer than the input buffer grows it).
#include "cli.h"

#include "../platform/system.h"

#include <csignal>
#include <cstdio>
#include <new>
#include <string>

namespace {

// The generator of a run of names drawn from a sequence, in generator. -1
// when the run goes on; otherwise its exit code, after a message.
int open_generator(const cli_options &o, onymix_generator *&generator) {
    // Without a count or a start, one Generate: every pick re-seeded. One
    // name is always unique.
    unsigned flags = !o.counted && !o.started ? ONYMIX_RESEED : o.unique ? ONYMIX_UNIQUE : 0;
    if (o.weighted)
        flags |= ONYMIX_WEIGHTED;
    generator =
        o.seeded ? onymix_open_seed(o.mode, o.seed, flags) : onymix_open(o.mode, ONYMIX_NOW, flags);
    if (!generator) {
        std::fputs(o.unique ? "onymix-cli: not enough memory for --unique\n"
                            : "onymix-cli: not enough memory\n",
                   stderr);
        return 1;
    }
    long left = onymix_left(generator);
    if (left >= 0 && o.count > left) {
        onymix_close(generator);
        std::string limit =
            "count is more than the " + std::to_string(left) + " different names of the mode";
        return bad_usage(limit.c_str(), std::to_string(o.count).c_str());
    }
    if (o.started && onymix_seek(generator, o.start) != 0) {
        onymix_close(generator);
        return out_of_order("onymix_seek");
    }
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    cli_options o;
    if (int code = read_options(argc, argv, o); code >= 0)
        return code;
    if (o.key_file) {
        if (int code = read_key_file(o.key_file, o.key))
            return code;
        o.keyed = true;
    }
    if (!o.masks.empty()) {
#ifdef SIGPIPE
        std::signal(SIGPIPE, SIG_IGN);
#endif
        // The records' bytes are what they are, CR LF and Ctrl+Z too.
        platform_binary_stream(stdin);
        platform_binary_stream(stdout);
        try {
            return run_mask(o);
        } catch (const std::bad_alloc &) {
            progress_clear();
            std::fputs("onymix-cli: not enough memory\n", stderr);
            return 1;
        }
    }
    const unsigned char *key = o.keyed ? o.key : nullptr; // null: 16 zero bytes
    onymix_generator *generator = nullptr;
    if (!o.id_range && !o.by_id && !o.pseudonymize)
        if (int code = open_generator(o, generator); code >= 0)
            return code;

            // A closed pipe then fails the write with EPIPE instead of killing the
            // process, and the run ends quietly.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // The blocks are written as they are; stdio must hold nothing back.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // A line's bytes are its value, CR and Ctrl+Z too.
    platform_binary_stream(stdin);

    // Progress only where someone watches it: standard error a terminal
    // that the names do not scroll through.
    bool shown = !o.quiet && platform_is_terminal(stderr) && !platform_is_terminal(stdout);
    begin_output(o.format);

    int code = 0;
    try {
        if (generator) {
            progress_begin(shown && o.counted, true, static_cast<double>(o.count));
            code = write_sequence(generator, o.format, o.count);
            onymix_close(generator);
        } else if (o.id_range) {
            progress_begin(shown, true, static_cast<double>(o.last_id - o.first_id) + 1);
            code = write_id_range(o.mode, key, o.first_id, o.last_id, o.format);
        } else {
            progress_begin(shown, false, 0);
            code = o.by_id ? write_by_id(o.mode, key, o.format)
                           : write_pseudonyms_of_lines(o.mode, key, o.format);
        }
    } catch (const std::bad_alloc &) {
        progress_clear();
        std::fputs("onymix-cli: not enough memory\n", stderr);
        return 1;
    }
    // Input that held no lines still gets the format's header.
    if (code == 0)
        put_header(code);
    progress_clear();
    if (code == reader_gone)
        return 0;
    if (code == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::perror("onymix-cli: writing the names");
        return 1;
    }
    return code;
}
