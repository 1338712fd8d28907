// Benchmarks of name generation: generate in each mode with a simulated
// clock; the streaming path of onymix-cli by blocks and by the million, with
// and without unique names; and onymix-cli --count 1000000 as a whole
// process against writing a million fixed lines the same way in the same run.
#include "../names/picker.h"
#include "../names/random.h"
#include "../names/stream.h"
#include "../tests/fake_platform.h"

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
    name_stream stream{static_cast<int>(state.range(0)),
                       static_cast<name_format>(state.range(1)),
                       draw_on,
                       0,
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
        name_stream stream{mode,
                           format_text,
                           draw_on,
                           0,
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
