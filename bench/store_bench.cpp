// Benchmarks of the stored-names file and of Store: loading and saving a
// 10 MB list (real files in a temporary folder), and Store into lists of
// growing length, which should take time in proportion to the list.
#include "../platform/system.h"
#include "../program/fields.h"
#include "../program/stored_names.h"
#include "../tests/support/fake_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A temporary folder holding stored.txt for the whole run.
struct bench_folder {
    std::string path;
    bench_folder() {
        std::string pattern =
            std::filesystem::temp_directory_path().string() + "/onymix_bench_XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path = pattern;
        set_fake_executable_path(path + "/onymix");
        form_stored_names_path();
    }
    ~bench_folder() {
        std::filesystem::remove_all(path);
    }
};

void use_bench_folder() {
    static bench_folder folder;
}

// count names, one a line with CR LF, as the stored-names box holds them.
std::string list_of(int count) {
    std::string list;
    for (int i = 0; i < count; i++)
        list += "Name" + std::to_string(i) + " Verhagen\r\n";
    return list;
}

// About 10 MB of names.
const std::string &ten_megabytes() {
    static const std::string list = list_of(10 * 1000 * 1000 / 19);
    return list;
}

void load_10mb(benchmark::State &state) {
    use_bench_folder();
    std::FILE *file = std::fopen(stored_names_path, "wb");
    std::fwrite(ten_megabytes().data(), 1, ten_megabytes().size(), file);
    std::fclose(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(load_stored_names());
    state.SetBytesProcessed(state.iterations() * int64_t(ten_megabytes().size()));
}
BENCHMARK(load_10mb)->Unit(benchmark::kMillisecond);

void save_10mb(benchmark::State &state) {
    use_bench_folder();
    set_fake_field(field_stored_names, ten_megabytes());
    for (auto _ : state)
        save_stored_names();
    state.SetBytesProcessed(state.iterations() * int64_t(ten_megabytes().size()));
}
BENCHMARK(save_10mb)->Unit(benchmark::kMillisecond);

void store_into_list(benchmark::State &state) {
    const std::string list = list_of(static_cast<int>(state.range(0)));
    set_fake_field(field_name_box, "Emmitt Verhagen");
    for (auto _ : state) {
        state.PauseTiming();
        set_fake_field(field_stored_names, list);
        state.ResumeTiming();
        store_name();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(store_into_list)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
