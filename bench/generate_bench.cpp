// Benchmarks of name generation: generate in each mode with a simulated
// clock; the streaming path of onymix-cli by blocks, even and weighted, and
// by the million, with and without unique names; and onymix-cli --count 1000000 as a whole
// process against writing a million fixed lines the same way in the same run.
#include "../names/by_id.h"
#include "../names/generator.h"
#include "../names/lines.h"
#include "../program/generate.h"
#include "../tests/support/fake_platform.h"
#include "onymix.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void generate_mode(benchmark::State &state) {
    int mode = static_cast<int>(state.range(0));
    set_fake_clock(43200500, 0); // half a day of uptime: the seeding of a usual day
    for (auto _ : state)
        benchmark::DoNotOptimize(generate(mode));
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(mode_labels[mode]);
}
BENCHMARK(generate_mode)->DenseRange(0, 4);

char block[1 << 16];

void stream_block(benchmark::State &state) {
    // One 64 KiB block of names a step, drawn on from one seeding, as
    // onymix-cli --count fills its output; even or weighted picks.
    const long long plenty = 1LL << 62;
    bool weighted = state.range(2);
    name_stream stream{{static_cast<int>(state.range(0)), draw_on, 0, weighted},
                       static_cast<name_format>(state.range(1)),
                       static_cast<uint64_t>(seeded_state(0)),
                       plenty,
                       nullptr};
    for (auto _ : state)
        benchmark::DoNotOptimize(fill_names(stream, block, block + sizeof block));
    state.SetItemsProcessed(plenty - stream.remaining);
    state.SetLabel(std::string(mode_labels[state.range(0)]) + ", " +
                   (state.range(1) == format_text  ? "text"
                    : state.range(1) == format_csv ? "csv"
                                                   : "jsonl") +
                   (weighted ? ", weighted" : ""));
}
BENCHMARK(stream_block)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 6, 1), {format_text}, {0, 1}})
    ->Args({mode_male_surname, format_csv, 0})
    ->Args({mode_male_surname, format_jsonl, 0});

void stream_million(benchmark::State &state) {
    // A million names into blocks, as one onymix-cli --count 1000000 run
    // makes them, with or without --unique (whose set is made afresh).
    int mode = static_cast<int>(state.range(0));
    bool unique = state.range(1);
    for (auto _ : state) {
        name_set seen{nullptr};
        if (unique && !name_set_open(seen, mode))
            state.SkipWithError("no memory for the set");
        name_stream stream{{mode, draw_on, 0},
                           format_text,
                           static_cast<uint64_t>(seeded_state(0)),
                           1000000,
                           unique ? &seen : nullptr};
        while (stream.remaining)
            benchmark::DoNotOptimize(fill_names(stream, block, block + sizeof block));
        name_set_close(seen);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
    state.SetLabel(std::string(mode_labels[mode]) + (unique ? ", unique" : ""));
}
BENCHMARK(stream_million)
    ->ArgsProduct({{mode_male_surname, mode_any_surname}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void library_write(benchmark::State &state) {
    // The library's bulk call, one 64 KiB block a step, as onymix-cli uses
    // it: to be set beside stream_block above.
    int mode = static_cast<int>(state.range(0));
    int format = static_cast<int>(state.range(1));
    onymix_generator *g = onymix_open(mode, 0, 0);
    long long made = 0;
    for (auto _ : state) {
        int n = onymix_write(g, format, 1 << 20, block, sizeof block, nullptr);
        benchmark::DoNotOptimize(block);
        made += n;
    }
    onymix_close(g);
    state.SetItemsProcessed(made);
    state.SetLabel(std::string(mode_labels[mode]) + ", " +
                   (format == ONYMIX_TEXT  ? "text"
                    : format == ONYMIX_CSV ? "csv"
                                           : "jsonl"));
}
BENCHMARK(library_write)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 6, 1), {ONYMIX_TEXT}})
    ->Args({ONYMIX_MALE_SURNAME, ONYMIX_CSV})
    ->Args({ONYMIX_MALE_SURNAME, ONYMIX_JSONL});

void library_next(benchmark::State &state) {
    // One name a call into a caller's buffer; unique in the second case.
    int mode = static_cast<int>(state.range(0));
    onymix_generator *g = onymix_open(mode, 0, state.range(1) ? ONYMIX_UNIQUE : 0);
    char name[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(onymix_next(g, name, sizeof name));
        benchmark::ClobberMemory();
    }
    onymix_close(g);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::string(mode_labels[mode]) + (state.range(1) ? ", unique" : ""));
}
BENCHMARK(library_next)
    ->Args({ONYMIX_MALE_SURNAME, 0})
    ->Args({ONYMIX_ANY_SURNAME, 0})
    ->Args({ONYMIX_SURNAME, 0})
    ->Args({ONYMIX_ANY_SURNAME, 1});

void library_next_name(benchmark::State &state) {
    // The same as records.
    onymix_generator *g = onymix_open(ONYMIX_ANY_SURNAME, 0, 0);
    onymix_name name;
    for (auto _ : state) {
        benchmark::DoNotOptimize(onymix_next_name(g, &name));
        benchmark::ClobberMemory();
    }
    onymix_close(g);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(library_next_name);

// Names by id: eight SipHash-2-4 calls on 18-byte messages, as a name by id
// of a full-name mode makes, beside the name by id itself, one a call and in
// bulk.
const unsigned char bench_key[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

void siphash_eight_calls(benchmark::State &state) {
    unsigned char message[18] = {0};
    uint64_t id = 0, sum = 0;
    for (auto _ : state) {
        for (unsigned char round = 0; round < 8; round++) {
            message[0] = static_cast<unsigned char>(id);
            message[9] = round;
            message[10] = static_cast<unsigned char>(sum);
            sum += siphash(bench_key, message, sizeof message);
        }
        id++;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(siphash_eight_calls);

void number_for_id_alone(benchmark::State &state) {
    int mode = static_cast<int>(state.range(0));
    sip_state key = sip_start(bench_key);
    uint64_t id = 0, sum = 0;
    for (auto _ : state)
        sum += number_for_id(mode, id++, key);
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(mode_labels[mode]);
}
BENCHMARK(number_for_id_alone)
    ->Arg(ONYMIX_MALE_SURNAME)
    ->Arg(ONYMIX_ANY_SURNAME)
    ->Arg(ONYMIX_SURNAME);

void library_name_for_id(benchmark::State &state) {
    // One name a call, as text into a caller's buffer.
    char name[32];
    unsigned long long id = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            onymix_name_for_id(ONYMIX_ANY_SURNAME, id++, bench_key, name, sizeof name));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(library_name_for_id);

void library_write_ids(benchmark::State &state) {
    // The bulk call, a run of ids into one 64 KiB block a step, as text.
    unsigned long long first = 0;
    long long made = 0;
    for (auto _ : state) {
        int n = onymix_write_ids(ONYMIX_ANY_SURNAME, bench_key, first, nullptr, 1 << 20,
                                 ONYMIX_TEXT, block, sizeof block, nullptr);
        first += static_cast<unsigned long long>(n);
        made += n;
    }
    state.SetItemsProcessed(made);
}
BENCHMARK(library_write_ids);

void library_entries_for_ids(benchmark::State &state) {
    static int entries[2 * 4096];
    unsigned long long first = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            onymix_entries_for_ids(ONYMIX_ANY_SURNAME, bench_key, first, nullptr, 4096, entries));
        first += 4096;
    }
    state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(library_entries_for_ids);

void library_seek(benchmark::State &state) {
    // To far places of the sequence: each costs some 130 multiplications.
    onymix_generator *g = onymix_open_seed(ONYMIX_MALE_SURNAME, 4711, 0);
    uint64_t index = 0x9E3779B97F4A7C15u;
    for (auto _ : state) {
        benchmark::DoNotOptimize(onymix_seek(g, index));
        index = index * 6364136223846793005u + 1442695040888963407u;
    }
    onymix_close(g);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(library_seek);

void cli_million_names(benchmark::State &state) {
    std::string command = std::string(ONYMIX_CLI_PATH) + " --seed 0 --count 1000000 >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("onymix-cli failed");
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(cli_million_names)->Unit(benchmark::kMillisecond)->UseRealTime();

void fixed_million_lines(benchmark::State &state) {
    // The floor for the run above: the same output path with no names made.
    for (auto _ : state) {
        std::FILE *out = std::fopen("/dev/null", "w");
        for (int i = 0; i < 1000000; i++) {
            std::fputs("Emmitt Verhagen", out);
            std::fputc('\n', out);
        }
        std::fclose(out);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(fixed_million_lines)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
