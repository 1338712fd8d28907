// Benchmarks of name generation: generate in each mode with a simulated
// clock; the streaming path of onymix-cli by blocks and by the million, with
// and without unique names; and onymix-cli --count 1000000 as a whole
// process against writing a million fixed lines the same way in the same run.
#include "../names/generate.h"
#include "../names/generator.h"
#include "../names/lines.h"
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
    // onymix-cli --count fills its output.
    const long long plenty = 1LL << 62;
    name_stream stream{{static_cast<int>(state.range(0)), draw_on, 0},
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
                                                   : "jsonl"));
}
BENCHMARK(stream_block)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 6, 1), {format_text}})
    ->Args({mode_male_surname, format_csv})
    ->Args({mode_male_surname, format_jsonl});

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
