// Throughput of the file digest. The file to hash comes from TANDREL_BENCH_FILE
// (scripts/bench makes a 512 MiB one); without it a 64 MiB file is made here.
#include "core/crypto.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string BenchFile() {
  if (const char* given = std::getenv("TANDREL_BENCH_FILE")) return given;
  const auto path = std::filesystem::temp_directory_path() / "tandrel-md5-bench.dat";
  if (!std::filesystem::exists(path) || std::filesystem::file_size(path) != (64u << 20)) {
    std::ofstream out(path, std::ios::binary);
    std::string block(1 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7919);
    for (int i = 0; i < 64; ++i) out << block;
  }
  return path.string();
}

void BM_GetFileMd5(benchmark::State& state) {
  const std::string path = BenchFile();
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) benchmark::DoNotOptimize(tandrel::GetFileMd5(path));
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_GetFileMd5)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
