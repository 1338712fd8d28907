// Benchmarks of name generation: generate in each mode with a simulated
// clock, and onymix-cli --count 1000000 as a whole process against writing a
// million fixed lines the same way in the same run.
#include "../names/picker.h"
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
